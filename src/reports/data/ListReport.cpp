// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/data/ListReport.h"

#include "journal/Booking.h"
#include "journal/BookingRows.h"
#include "journal/CentSum.h"
#include "journal/JournalFilter.h"
#include "reports/data/ExchangeSort.h"
#include "reports/data/ReportHeading.h"
#include "storage/CodePage.h"
#include "storage/DbfTable.h"
#include "storage/LargeBlock.h"

#include <QtGlobal>
#include <algorithm>
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

struct OpeningBalance {
    double brutto = 0;
    double mwst = 0;
    double netto = 0;
};

// Thrown through the walks when the caller stops a build.
struct Stopped {};

// Counts the steps of a build (a row read, a record made) and tells the caller every few thousand, so a
// window can show how far it has come and stay responsive; throws Stopped when the caller says stop.
class Ticker {
public:
    Ticker(const Progress& progress, qint64 total) : m_progress(progress), m_total(total) {}
    void step(qint64 n = 1) {
        m_done += n;
        if (m_done >= m_next) tell();
    }
    // Tells now, before a stretch of work without steps.
    void tell() {
        m_next = m_done + kEvery;
        if (m_progress && !m_progress(m_done, m_total)) throw Stopped{};
    }

private:
    static constexpr qint64 kEvery = 16384;
    const Progress& m_progress;
    qint64 m_total;
    qint64 m_done = 0;
    qint64 m_next = kEvery;
};

// A visible row and where its record lies in the file (-1 for the pending insert row).
struct FileRow {
    int row = 0;
    int physical = -1;
};

// The visible rows in the order their records lie in the file, the pending insert row last. A pass whose
// result does not depend on the order reads the records front to back this way, instead of jumping
// through memory in the journal's sort order.
LargeBlock::Vector<FileRow> rowsInFileOrder(const DbfTable& bookings) {
    const int count = bookings.RecordCount();
    LargeBlock::Vector<FileRow> order;
    order.reserve(size_t(count));
    if (bookings.IndexName().isEmpty()) {
        // Without a sort order the rows already stand in the order of the file.
        for (int row = 0; row < count; ++row) order.push_back({row, bookings.physicalOf(row)});
        return order;
    }
    LargeBlock::Vector<int> rowAt(size_t(bookings.physicalRecordCount()), -1);
    int pending = -1;
    for (int row = 0; row < count; ++row) {
        const int physical = bookings.physicalOf(row);
        if (physical < 0)
            pending = row;
        else
            rowAt[size_t(physical)] = row;
    }
    for (size_t physical = 0; physical < rowAt.size(); ++physical)
        if (rowAt[physical] >= 0) order.push_back({rowAt[physical], int(physical)});
    if (pending >= 0) order.push_back({pending, -1});
    return order;
}

// A copy of a text field of the row among the report's strings, decoded straight from the stored bytes.
char16_t* textCopy(const BookingRows& rows, BookingRows::Row row, int field, KontoStrings& strings) {
    const char* bytes = nullptr;
    const int n = rows.storedText(row, field, &bytes);
    if (n < 0) return strings.copy(rows.text(row.row, field));
    char16_t* copy = strings.room(std::size_t(n));
    rows.codePage().decodeInto(bytes, n, copy);
    return copy;
}

// The record of one booking: its gross with the sign factor s, the VAT rounded to the cent.
void fillRecord(TKontoRec* record, KontoStrings& strings, const BookingRows& rows, BookingRows::Row row, int s,
                double datum) {
    const double g = s * rows.brutto(row);
    const double rate = rows.mwst(row);
    const Split part = split(g, rate);
    record->konto = rows.integer(row, Konto);
    record->mwstsatz = s * rate + 0.0;  // an expense at 0 % has the rate 0, not -0
    record->brutto = g;
    record->mwst = part.mwst;
    record->netto = part.netto;
    record->datum = datum;
    record->beleg = textCopy(rows, row, Beleg, strings);
    record->text = textCopy(rows, row, Text, strings);
}

// Where a booking goes: 0 ein, 1 aus, -1 not into this report; and its sign factor.
struct Target {
    int array = -1;
    int s = 1;
};

Target targetOf(const BookingRows& rows, BookingRows::Row row, double datum, const Zeitraum& zeitraum, ListKind kind,
                int nr) {
    const int field = accountField(kind);
    if (!zeitraum.contains(datum)) return {};
    if (field >= 0 && rows.integer(row, field) != nr) return {};
    const char art = rows.art(row);
    if (isSigned(kind)) return {0, sign(art)};
    if (art == 'E') return {0, 1};
    if (art == 'A') return {1, 1};
    return {};
}

// Which rows go where is read front to back through the file; the date keys then go to the exchange sort
// in the journal's order (its ties keep that order), which gives each record its place. The records are
// then made in the order of the file, each into its place, in blocks taken once for all of them: the
// reads go front to back through the file, and the writes stay among the records of about one day when
// the year was booked day by day. The working tables are indexed by the place in the file.
void collectInto(const DbfTable& bookings, const BookingRows& rows, const Zeitraum& zeitraum, ListKind kind, int nr,
                 ReportArrays& arrays, Ticker& ticker) {
    const LargeBlock::Vector<FileRow> fileRows = rowsInFileOrder(bookings);
    const size_t count = fileRows.size();
    LargeBlock::Vector<Target> targets(count);
    LargeBlock::Vector<double> dates(count);
    LargeBlock::Vector<std::uint32_t> inFileOf(count);  // by row
    std::size_t taken[2] = {0, 0};
    for (size_t k = 0; k < count; ++k) {
        ticker.step();
        const FileRow at = fileRows[k];
        const BookingRows::Row row = rows.at(at.row, at.physical);
        dates[k] = rows.datum(row);
        targets[k] = targetOf(rows, row, dates[k], zeitraum, kind, nr);
        if (targets[k].array >= 0) ++taken[targets[k].array];
        inFileOf[size_t(at.row)] = std::uint32_t(k);
    }
    LargeBlock::Vector<std::uint32_t> placeOf(count);
    for (const int array : {0, 1}) {
        if (taken[array] == 0) continue;       // the signed lists fill ein alone
        LargeBlock::Vector<double> keys;       // in the journal's order
        LargeBlock::Vector<std::uint32_t> of;  // the place in the file of each key
        keys.reserve(taken[array]);
        of.reserve(taken[array]);
        for (size_t row = 0; row < count; ++row) {
            const std::uint32_t k = inFileOf[row];
            if (targets[k].array != array) continue;
            keys.push_back(dates[k]);
            of.push_back(k);
        }
        ticker.tell();
        const ExchangeSort::Order order = ExchangeSort::order(keys);
        for (size_t p = 0; p < keys.size(); ++p) placeOf[of[order.empty() ? p : order[p]]] = std::uint32_t(p);
        (array == 1 ? arrays.aus : arrays.ein).AddZeroed(std::uint32_t(keys.size()));
    }
    for (size_t k = 0; k < count; ++k) {
        const Target t = targets[k];
        if (t.array < 0) continue;
        ticker.step();
        TKontoArray& list = t.array == 1 ? arrays.aus : arrays.ein;
        const BookingRows::Row row = rows.at(fileRows[k].row, fileRows[k].physical);
        fillRecord(&list.at(placeOf[k]), arrays.strings(), rows, row, t.s, dates[k]);
    }
    ticker.step(qint64(count) - qint64(taken[0] + taken[1]));  // the rows no list takes count as made
}

OpeningBalance openingBalance(DbfTable& bookings, JournalFilter* filter, double vondatum, ListKind kind, int nr,
                              Ticker& ticker) {
    const int field = accountField(kind);
    CentSum brutto, mwst, netto;
    const auto walk = [&] {
        // The rows are read where they stand (no view told about each); the cursor ends where a walk to
        // the end leaves it. Sums of whole cents do not depend on the order of their terms.
        bookings.First();
        if (bookings.RecordCount() > 0) {
            const BookingRows rows(bookings);
            for (const FileRow at : rowsInFileOrder(bookings)) {
                ticker.step();
                const BookingRows::Row row = rows.at(at.row, at.physical);
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

void collectWith(DbfTable& bookings, const Zeitraum& zeitraum, ListKind kind, int nr, ReportArrays& arrays,
                 Ticker& ticker) {
    bookings.First();
    if (bookings.RecordCount() > 0) collectInto(bookings, BookingRows(bookings), zeitraum, kind, nr, arrays, ticker);
    bookings.Last();
}

}  // namespace

std::size_t memoryFor(int bookings) {
    // A record, its two texts (about 40 characters together), and the working tables of the build (place in
    // the file, target, date, places, keys and their order: about 60 bytes), with room for the pieces
    // between blocks.
    constexpr std::size_t kPerBooking = sizeof(TKontoRec) + 80 + 56;
    return std::size_t(std::max(bookings, 0)) * kPerBooking;
}

void prepareMemory(int bookings) {
    constexpr int kFrom = 200000;
    if (bookings >= kFrom) LargeBlock::prepareInBackground(memoryFor(bookings));
}

bool build(DbfTable& bookings, JournalFilter* filter, const Request& request, ReportArrays& arrays, ReportData& data,
           const Progress& progress) {
    const bool anfangsbestand = request.anfangsbestand && isSigned(request.kind);
    // Steps: a row read for the opening balance (which may lift the period filter, so every record counts),
    // a row read for the collection, a record made.
    Ticker ticker(progress,
                  (anfangsbestand ? qint64(bookings.physicalRecordCount()) : 0) + 2 * qint64(bookings.RecordCount()));
    try {
        OpeningBalance balance;
        if (anfangsbestand)
            balance = openingBalance(bookings, filter, request.zeitraum.vondatum, request.kind, request.nr, ticker);
        collectWith(bookings, request.zeitraum, request.kind, request.nr, arrays, ticker);
        data.modus = modus(request.kind);
        data.cap = ReportHeading::list(request.kind, request.zeitraum, request.nr, request.name);
        data.anfangsbestand = anfangsbestand;
        if (anfangsbestand) {
            data.Aeinnahmen = balance.brutto;
            data.Aeinnahmenmwst = balance.mwst;
            data.Aeinnahmennetto = balance.netto;
        }
    } catch (const Stopped&) {
        bookings.Last();
        return false;
    }
    arrays.handTo(data);
    return true;
}

}  // namespace ListReport
