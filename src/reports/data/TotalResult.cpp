#include "reports/data/TotalResult.h"

#include <unordered_map>

#include "reports/data/BookingFields.h"
#include "reports/data/ExchangeSort.h"
#include "reports/data/ReportHeading.h"
#include "storage/DbfTable.h"

namespace {

using namespace BookingFields;

// The record of account k in `array`, added (konto set, sums zero) at its first occurrence. The index
// finds the same record the linear walk of the array would find: numbers are unique in the array.
TKontoRec& accountRecord(TKontoArray& array, std::unordered_map<int, std::uint32_t>& index, int konto) {
    const auto it = index.find(konto);
    if (it != index.end()) return *array.GetObject(it->second);
    TKontoRec* record = array.Add();
    record->konto = konto;
    index.emplace(konto, array.Count() - 1);
    return *record;
}

// The record of rate p, found by exact equality of the stored values (0 and -0 are equal; NaN equals
// nothing, so every such booking gets a record of its own, as a walk comparing with == would give).
TMwstRec& rateRecord(TMwstArray& array, std::unordered_map<double, std::uint32_t>& index, double rate) {
    if (rate == rate) {
        const auto it = index.find(rate);
        if (it != index.end()) return *array.GetObject(it->second);
    }
    TMwstRec* record = array.Add();
    record->mwstsatz = rate;
    if (rate == rate) index.emplace(rate, array.Count() - 1);
    return *record;
}

}  // namespace

namespace TotalResult {

void collect(DbfTable& bookings, const Zeitraum& zeitraum, ReportArrays& arrays) {
    std::unordered_map<int, std::uint32_t> einKonten, ausKonten;
    std::unordered_map<double, std::uint32_t> einSaetze, ausSaetze;
    for (bookings.First(); !bookings.Eof(); bookings.Next()) {
        if (!zeitraum.contains(bookings.Fields(Datum).AsDateTime())) continue;
        const QString art = bookings.Fields(Art).AsString();
        const bool einnahme = art == u"E";
        if (!einnahme && art != u"A") continue;
        const double g = bookings.Fields(Brutto).AsFloat();
        const double p = bookings.Fields(MwSt).AsFloat();
        const int k = bookings.Fields(Konto).AsInteger();
        const Split s = split(g, p);

        TKontoRec& konto = einnahme ? accountRecord(arrays.ein, einKonten, k) : accountRecord(arrays.aus, ausKonten, k);
        konto.brutto += g;
        addTo(konto.mwst, s.mwst);
        addTo(konto.netto, s.netto);

        TMwstRec& satz = einnahme ? rateRecord(arrays.mwstsE, einSaetze, p) : rateRecord(arrays.mwstsA, ausSaetze, p);
        satz.brutto += g;
        addTo(satz.mwst, s.mwst);
        addTo(satz.netto, s.netto);
    }
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
