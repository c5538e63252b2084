#include "reports/data/ListReport.h"

#include "journal/Booking.h"
#include "journal/CentSum.h"
#include "journal/JournalFilter.h"
#include "reports/data/ExchangeSort.h"
#include "reports/data/ReportHeading.h"
#include "storage/DbfTable.h"

namespace {

using namespace Booking;

bool matchesAccount(const DbfTable& bookings, int field, int nr) {
    return field < 0 || bookings.Fields(field).AsInteger() == nr;
}

}  // namespace

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
        for (bookings.First(); !bookings.Eof(); bookings.Next()) {
            if (!(bookings.Fields(Datum).AsDateTime() < vondatum)) continue;
            if (!matchesAccount(bookings, field, nr)) continue;
            const int s = sign(bookings.Fields(Art).AsString());
            const double g = s * bookings.Fields(Brutto).AsFloat();
            const Split part = split(g, bookings.Fields(MwSt).AsFloat());
            brutto.add(g);
            mwst.add(part.mwst);
            netto.add(part.netto);
        }
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
    for (bookings.First(); !bookings.Eof(); bookings.Next()) {
        const double datum = bookings.Fields(Datum).AsDateTime();
        if (!zeitraum.contains(datum)) continue;
        if (!matchesAccount(bookings, field, nr)) continue;
        const QString art = bookings.Fields(Art).AsString();
        TKontoArray* target = &arrays.ein;
        int s = 1;
        if (signedReport)
            s = sign(art);
        else if (art == u"A")
            target = &arrays.aus;
        else if (art != u"E")
            continue;
        const double g = s * bookings.Fields(Brutto).AsFloat();
        const double p = bookings.Fields(MwSt).AsFloat();
        const Split part = split(g, p);
        TKontoRec* record = target->Add();
        record->konto = bookings.Fields(Konto).AsInteger();
        record->mwstsatz = s * p + 0.0;  // an expense at 0 % has the rate 0, not -0
        record->brutto = g;
        record->mwst = part.mwst;
        record->netto = part.netto;
        record->datum = datum;
        KontoStrings::fill(*record, bookings.Fields(Beleg).AsString(), bookings.Fields(Text).AsString());
    }
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
