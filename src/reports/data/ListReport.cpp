// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/data/ListReport.h"

#include "journal/Booking.h"
#include "journal/BookingRows.h"
#include "journal/CentSum.h"
#include "journal/JournalFilter.h"
#include "reports/data/ExchangeSort.h"
#include "reports/data/ReportHeading.h"
#include "storage/DbfTable.h"

#include <vector>

using namespace Booking;

namespace ListReport {

int modus(ListKind kind) {
    switch (kind) {
        case ListKind::Ausgabenliste:
        case ListKind::Ausgabenkonto:
            return 1;
        case ListKind::Einnahmenliste:
        case ListKind::Einnahmekonto:
            return 2;
        case ListKind::Sammelkonto:
            return 3;
        case ListKind::Kostenstelle:
            return 4;
        case ListKind::AlleBuchungen:
            return 5;
    }
    return -1;
}

bool isSigned(ListKind kind) {
    return kind == ListKind::Sammelkonto || kind == ListKind::Kostenstelle || kind == ListKind::AlleBuchungen;
}

int accountField(ListKind kind) {
    switch (kind) {
        case ListKind::Ausgabenkonto:
        case ListKind::Einnahmekonto:
            return Konto;
        case ListKind::Sammelkonto:
            return Sammelkonto;
        case ListKind::Kostenstelle:
            return Kostenstelle;
        default:
            return -1;
    }
}

namespace {

// How many rows ahead a walk asks for the bytes it will read.
constexpr int kPrefetchDistance = 8;

// The visible rows in the order their records lie in the file, the pending insert row last. A pass whose
// result does not depend on the order reads the records front to back this way, instead of jumping
// through memory in the journal's sort order.
std::vector<int> rowsInFileOrder(const DbfTable& bookings) {
    const int count = bookings.RecordCount();
    std::vector<int> rowAt(size_t(bookings.physicalRecordCount()), -1);
    int pending = -1;
    for (int row = 0; row < count; ++row) {
        const int physical = bookings.physicalOf(row);
        if (physical < 0)
            pending = row;
        else
            rowAt[size_t(physical)] = row;
    }
    std::vector<int> order;
    order.reserve(size_t(count));
    for (const int row : rowAt)
        if (row >= 0) order.push_back(row);
    if (pending >= 0) order.push_back(pending);
    return order;
}

}  // namespace

OpeningBalance collectOpeningBalance(DbfTable& bookings, JournalFilter* filter, double vondatum, ListKind kind,
                                     int nr) {
    const int field = accountField(kind);
    CentSum brutto, mwst, netto;
    const auto walk = [&] {
        // The rows are read where they stand (no view told about each); the cursor ends where a walk to
        // the end leaves it. Sums of whole cents do not depend on the order of their terms.
        bookings.First();
        if (bookings.RecordCount() > 0) {
            const BookingRows rows(bookings);
            for (const int row : rowsInFileOrder(bookings)) {
                if (!(rows.datum(row) < vondatum)) continue;
                if (field >= 0 && rows.integer(row, field) != nr) continue;
                const double g = sign(rows.art(row)) * rows.brutto(row);
                const Split part = split(g, rows.mwst(row));
                brutto.add(g);
                mwst.add(part.mwst);
                netto.add(part.netto);
            }
        }
        bookings.Last();
    };
    if (filter)
        filter->withTextFilterOnly(bookings, walk);
    else
        walk();
    return {brutto.value(), mwst.value(), netto.value()};
}

void collect(DbfTable& bookings, const Zeitraum& zeitraum, ListKind kind, int nr, ReportArrays& arrays) {
    const int field = accountField(kind);
    const bool signedReport = isSigned(kind);
    bookings.First();
    const int count = bookings.RecordCount();
    if (count > 0) {
        const BookingRows rows(bookings);
        // Which rows the report takes, and into which array, read front to back through the file.
        constexpr signed char skipped = -1, toEin = 0, toAus = 1;
        std::vector<signed char> target(static_cast<size_t>(count), skipped);
        std::vector<double> dates(static_cast<size_t>(count));
        for (const int row : rowsInFileOrder(bookings)) {
            const double d = rows.datum(row);
            if (!zeitraum.contains(d)) continue;
            if (field >= 0 && rows.integer(row, field) != nr) continue;
            const char art = rows.art(row);
            if (!signedReport && art != 'E' && art != 'A') continue;
            target[size_t(row)] = !signedReport && art == 'A' ? toAus : toEin;
            dates[size_t(row)] = d;
        }
        // Each array in date order as the exchange sort leaves it: its ties keep the order the journal
        // shows, so the keys go in that order. The records are then read in the final order, which for a
        // year booked day by day is the order of the file.
        for (const signed char t : {toEin, toAus}) {
            std::vector<int> taken;
            std::vector<double> keys;
            for (int row = 0; row < count; ++row) {
                if (target[size_t(row)] != t) continue;
                taken.push_back(row);
                keys.push_back(dates[size_t(row)]);
            }
            const std::vector<std::uint32_t> order = ExchangeSort::order(keys);
            const auto rowAt = [&](size_t p) { return taken[order.empty() ? p : order[p]]; };
            TKontoArray& array = t == toAus ? arrays.aus : arrays.ein;
            for (size_t p = 0; p < taken.size(); ++p) {
                if (p + kPrefetchDistance < taken.size()) rows.prefetch(rowAt(p + kPrefetchDistance));
                const int row = rowAt(p);
                const char art = rows.art(row);
                const int s = signedReport ? sign(art) : 1;
                const double g = s * rows.brutto(row);
                const double rate = rows.mwst(row);
                const Split part = split(g, rate);
                TKontoRec* record = array.Add();
                record->konto = rows.integer(row, Konto);
                record->mwstsatz = s * rate + 0.0;  // an expense at 0 % has the rate 0, not -0
                record->brutto = g;
                record->mwst = part.mwst;
                record->netto = part.netto;
                record->datum = dates[size_t(row)];
                KontoStrings::fill(*record, rows.text(row, Beleg), rows.text(row, Text));
            }
        }
    }
    bookings.Last();
}

void build(DbfTable& bookings, JournalFilter* filter, const Request& request, ReportArrays& arrays, ReportData& data) {
    data.modus = modus(request.kind);
    data.cap = ReportHeading::list(request.kind, request.zeitraum, request.nr, request.name);
    data.anfangsbestand = request.anfangsbestand && isSigned(request.kind);
    if (data.anfangsbestand) {
        const OpeningBalance balance =
            collectOpeningBalance(bookings, filter, request.zeitraum.vondatum, request.kind, request.nr);
        data.Aeinnahmen = balance.brutto;
        data.Aeinnahmenmwst = balance.mwst;
        data.Aeinnahmennetto = balance.netto;
    }
    collect(bookings, request.zeitraum, request.kind, request.nr, arrays);
    arrays.handTo(data);
}

}  // namespace ListReport
