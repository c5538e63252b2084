// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/data/TotalResult.h"

#include <unordered_map>
#include <vector>

#include "journal/Booking.h"
#include "journal/BookingRows.h"
#include "journal/CentSum.h"
#include "reports/data/ExchangeSort.h"
#include "reports/data/ReportHeading.h"
#include "storage/DbfTable.h"

namespace {

// One booking's amounts, taken apart into cents once for the account and the rate it adds to.
struct Term {
    double brutto;
    Booking::Split split;
    std::int64_t bruttoCents = 0, mwstCents = 0, nettoCents = 0;
    bool wholeCents;
    Term(double g, double p) : brutto(g), split(Booking::split(g, p)) {
        wholeCents = CentSum::wholeCents(g, &bruttoCents) && CentSum::wholeCents(split.mwst, &mwstCents) &&
                     CentSum::wholeCents(split.netto, &nettoCents);
    }
};

// The sums of one record, kept exact while the bookings are added and written into the record at the end.
struct Sums {
    CentSum brutto, mwst, netto;
    void add(const Term& term) {
        if (term.wholeCents) {
            brutto.addCents(term.bruttoCents);
            mwst.addCents(term.mwstCents);
            netto.addCents(term.nettoCents);
        } else {
            brutto.add(term.brutto);
            mwst.add(term.split.mwst);
            netto.add(term.split.netto);
        }
    }
    template <typename Record>
    void writeTo(Record& record) const {
        record.brutto = brutto.value();
        record.mwst = mwst.value();
        record.netto = netto.value();
    }
};

// The sums of account k in `array`, whose record is added (konto set, sums zero) at its first occurrence.
// The index finds the same record the linear walk of the array would find: numbers are unique in it.
Sums& accountSums(TKontoArray& array, std::vector<Sums>& sums, std::unordered_map<int, std::uint32_t>& index,
                  int konto) {
    const auto it = index.find(konto);
    if (it != index.end()) return sums[it->second];
    array.Add()->konto = konto;
    index.emplace(konto, array.Count() - 1);
    return sums.emplace_back();
}

// The sums of rate p, found by exact equality of the stored values (0 and -0 are equal; NaN equals
// nothing, so every such booking gets a record of its own, as a walk comparing with == would give).
Sums& rateSums(TMwstArray& array, std::vector<Sums>& sums, std::unordered_map<double, std::uint32_t>& index,
               double rate) {
    if (rate == rate) {
        const auto it = index.find(rate);
        if (it != index.end()) return sums[it->second];
    }
    array.Add()->mwstsatz = rate;
    if (rate == rate) index.emplace(rate, array.Count() - 1);
    return sums.emplace_back();
}

template <typename Array>
void writeSums(Array& array, const std::vector<Sums>& sums) {
    for (std::uint32_t i = 0; i < array.Count(); ++i) sums[i].writeTo(array.at(i));
}

}  // namespace

namespace TotalResult {

void collect(DbfTable& bookings, const Zeitraum& zeitraum, ReportArrays& arrays) {
    std::unordered_map<int, std::uint32_t> einKonten, ausKonten;
    std::unordered_map<double, std::uint32_t> einSaetze, ausSaetze;
    std::vector<Sums> einSums, ausSums, einSatzSums, ausSatzSums;
    // The rows are read where they stand (no view told about each); the cursor ends where a walk to the
    // end leaves it.
    bookings.First();
    const int count = bookings.RecordCount();
    if (count > 0) {
        const BookingRows rows(bookings);
        for (int row = 0; row < count; ++row) {
            const char art = rows.art(row);
            if (art != 'E' && art != 'A') continue;
            if (!zeitraum.contains(rows.datum(row))) continue;
            const bool einnahme = art == 'E';
            const double g = rows.brutto(row);
            const double p = rows.mwst(row);
            const int k = rows.integer(row, Booking::Konto);
            const Term term(g, p);
            (einnahme ? accountSums(arrays.ein, einSums, einKonten, k) : accountSums(arrays.aus, ausSums, ausKonten, k))
                .add(term);
            (einnahme ? rateSums(arrays.mwstsE, einSatzSums, einSaetze, p)
                      : rateSums(arrays.mwstsA, ausSatzSums, ausSaetze, p))
                .add(term);
        }
    }
    bookings.Last();
    writeSums(arrays.ein, einSums);
    writeSums(arrays.aus, ausSums);
    writeSums(arrays.mwstsE, einSatzSums);
    writeSums(arrays.mwstsA, ausSatzSums);
}

void sort(ReportArrays& arrays) {
    const auto byKonto = [](const TKontoRec& r) { return r.konto; };
    const auto bySatz = [](const TMwstRec& r) { return r.mwstsatz; };
    ExchangeSort::sort(arrays.ein, byKonto);
    ExchangeSort::sort(arrays.aus, byKonto);
    ExchangeSort::sort(arrays.mwstsE, bySatz);
    ExchangeSort::sort(arrays.mwstsA, bySatz);
}

void build(DbfTable& bookings, const Zeitraum& zeitraum, ReportArrays& arrays, ReportData& data) {
    data.modus = 0;
    data.cap = ReportHeading::totalResult(zeitraum);
    data.anfangsbestand = false;
    collect(bookings, zeitraum, arrays);
    sort(arrays);
    arrays.handTo(data);
}

}  // namespace TotalResult
