// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/data/ListReport.h"

#include "journal/Booking.h"
#include "journal/BookingRows.h"
#include "journal/CentSum.h"
#include "journal/JournalFilter.h"
#include "reports/data/ExchangeSort.h"
#include "reports/data/ReportHeading.h"
#include "storage/DbfTable.h"

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

OpeningBalance collectOpeningBalance(DbfTable& bookings, JournalFilter* filter, double vondatum, ListKind kind,
                                     int nr) {
    const int field = accountField(kind);
    CentSum brutto, mwst, netto;
    const auto walk = [&] {
        // The rows are read where they stand (no view told about each); the cursor ends where a walk to
        // the end leaves it.
        bookings.First();
        const int count = bookings.RecordCount();
        if (count > 0) {
            const BookingRows rows(bookings);
            for (int row = 0; row < count; ++row) {
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
        for (int row = 0; row < count; ++row) {
            const double datum = rows.datum(row);
            if (!zeitraum.contains(datum)) continue;
            if (field >= 0 && rows.integer(row, field) != nr) continue;
            const char art = rows.art(row);
            TKontoArray* target = &arrays.ein;
            int s = 1;
            if (signedReport)
                s = sign(art);
            else if (art == 'A')
                target = &arrays.aus;
            else if (art != 'E')
                continue;
            const double g = s * rows.brutto(row);
            const double p = rows.mwst(row);
            const Split part = split(g, p);
            TKontoRec* record = target->Add();
            record->konto = rows.integer(row, Konto);
            record->mwstsatz = s * p + 0.0;  // an expense at 0 % has the rate 0, not -0
            record->brutto = g;
            record->mwst = part.mwst;
            record->netto = part.netto;
            record->datum = datum;
            KontoStrings::fill(*record, rows.text(row, Beleg), rows.text(row, Text));
        }
    }
    bookings.Last();
}

void sort(ReportArrays& arrays) {
    const auto byDatum = [](const TKontoRec& r) { return r.datum; };
    ExchangeSort::sort(arrays.ein, byDatum);
    ExchangeSort::sort(arrays.aus, byDatum);
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
    sort(arrays);
    arrays.handTo(data);
}

}  // namespace ListReport
