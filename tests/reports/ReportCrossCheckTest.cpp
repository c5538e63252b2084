// SPDX-License-Identifier: GPL-3.0-or-later
// Every figure of the total result and of the signed list, computed a second time the slow, literal way:
// linear walks over the arrays with the iteration idiom, the plain exchange sort with Change, and each
// booking's VAT rounded to the cent in whole numbers (gross in cents times the rate, divided, half away
// from zero), over random years with negative, neutral, 0 %, 7 %, 7.5 % and 19 % bookings, scanned in a
// sorted journal order. The printed lines of every list then add up to their sums to the cent.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <tuple>

#include "ReportDataFixtures.h"
#include "journal/Booking.h"
#include "journal/VatSummary.h"
#include "reports/data/ExchangeSort.h"
#include "reports/data/ListReport.h"
#include "reports/data/TotalResult.h"
#include "storage/DayNumber.h"

namespace {

using reporttest::Buchung;

struct Row {
    double datum;
    QString art, beleg, text;
    long long brutto;  // cents
    double mwst;
    int konto, sammelkonto;
};

std::vector<Row> scan(DbfTable& t) {
    std::vector<Row> rows;
    for (t.First(); !t.Eof(); t.Next())
        rows.push_back(Row{t.Fields(Booking::Datum).AsDateTime(), t.Fields(Booking::Art).AsString(),
                           t.Fields(Booking::Beleg).AsString(), t.Fields(Booking::Text).AsString(),
                           std::llround(t.Fields(Booking::Brutto).AsFloat() * 100), t.Fields(Booking::MwSt).AsFloat(),
                           t.Fields(Booking::Konto).AsInteger(), t.Fields(Booking::Sammelkonto).AsInteger()});
    return rows;
}

// VAT in cents of `cents` at `rate` percent (a whole number of tenths), exactly, half away from zero.
long long vatCents(long long cents, double rate) {
    const long long tenths = std::llround(rate * 10);
    const long long num = cents * tenths, den = tenths + 1000;
    const long long q = (2 * std::llabs(num) + den) / (2 * den);
    return num < 0 ? -q : q;
}

// An amount printed with two decimals, as cents.
long long printed(double amount) {
    return std::llround(amount * 100);
}

void fillYear(reporttest::BookingsTable& bookings, unsigned seed, int count = 400) {
    std::mt19937 rng(seed);
    const char* arts[] = {"E", "A", "N", "S", "E", "A"};
    const double rates[] = {0, 7, 7.5, 19, 19};
    for (int i = 0; i < count; ++i) {
        Buchung b;
        b.datum = QDate(2024, 1, 1).addDays(int(rng() % 366));
        b.art = QString::fromLatin1(arts[rng() % 6]);
        b.brutto = (int(rng() % 20000) - 2000) / 100.0;
        b.mwst = rates[rng() % 5];
        b.konto = int(rng() % 6);
        b.sammelkonto = int(rng() % 3);
        b.beleg = QString::number(i);
        b.text = i % 9 == 0 ? QString() : QStringLiteral("Text %1").arg(i);
        bookings.add(b);
    }
}

class ReportCrossCheck : public ::testing::TestWithParam<unsigned> {};

TEST_P(ReportCrossCheck, TotalResultFigureByFigure) {
    reporttest::BookingsTable bookings;
    fillYear(bookings, GetParam());
    bookings.table().AddIndex(QStringLiteral("BRUTTO"), QStringLiteral("BRUTTO"));
    bookings.table().setIndexName(QStringLiteral("BRUTTO"));
    const Zeitraum z{reporttest::day(2024, 3, 1), reporttest::day(2024, 9, 30)};

    // The expected arrays hold cents.
    ReportArrays expected;
    for (const Row& r : scan(bookings.table())) {
        if (!z.contains(r.datum) || (r.art != u"E" && r.art != u"A")) continue;
        const bool e = r.art == u"E";
        const long long v = vatCents(r.brutto, r.mwst);
        TKontoArray& konten = e ? expected.ein : expected.aus;
        TKontoRec* found = nullptr;
        konten.First();
        while (!found && konten.WhileNext())
            if (expected.akonto->konto == r.konto) found = expected.akonto;
        if (!found) (found = konten.Add())->konto = r.konto;
        found->brutto += double(r.brutto);
        found->mwst += double(v);
        found->netto += double(r.brutto - v);
        TMwstArray& saetze = e ? expected.mwstsE : expected.mwstsA;
        TMwstRec* satz = nullptr;
        saetze.First();
        while (!satz && saetze.WhileNext())
            if (expected.amwst->mwstsatz == r.mwst) satz = expected.amwst;
        if (!satz) (satz = saetze.Add())->mwstsatz = r.mwst;
        satz->brutto += double(r.brutto);
        satz->mwst += double(v);
        satz->netto += double(r.brutto - v);
    }
    ExchangeSort::plainSort(expected.ein, [](const TKontoRec& r) { return r.konto; });
    ExchangeSort::plainSort(expected.aus, [](const TKontoRec& r) { return r.konto; });
    ExchangeSort::plainSort(expected.mwstsE, [](const TMwstRec& r) { return r.mwstsatz; });
    ExchangeSort::plainSort(expected.mwstsA, [](const TMwstRec& r) { return r.mwstsatz; });

    ReportArrays actual;
    ReportData data;
    TotalResult::build(bookings.table(), z, actual, data);
    for (auto [a, b] : {std::pair{&expected.ein, &actual.ein}, std::pair{&expected.aus, &actual.aus}}) {
        ASSERT_EQ(a->Count(), b->Count());
        for (std::uint32_t i = 0; i < a->Count(); ++i) {
            EXPECT_EQ(a->at(i).konto, b->at(i).konto);
            EXPECT_EQ(a->at(i).brutto / 100, b->at(i).brutto);
            EXPECT_EQ(a->at(i).mwst / 100, b->at(i).mwst);
            EXPECT_EQ(a->at(i).netto / 100, b->at(i).netto);
        }
    }
    for (auto [a, b] : {std::pair{&expected.mwstsE, &actual.mwstsE}, std::pair{&expected.mwstsA, &actual.mwstsA}}) {
        ASSERT_EQ(a->Count(), 4u);  // 0, 7, 7.5 and 19
        ASSERT_EQ(a->Count(), b->Count());
        for (std::uint32_t i = 0; i < a->Count(); ++i) {
            EXPECT_EQ(a->at(i).mwstsatz, b->at(i).mwstsatz);
            EXPECT_EQ(a->at(i).brutto / 100, b->at(i).brutto);
            EXPECT_EQ(a->at(i).mwst / 100, b->at(i).mwst);
            EXPECT_EQ(a->at(i).netto / 100, b->at(i).netto);
        }
    }
}

// The collective-account list with its opening balance, and the expense list (its own array), figure by
// figure over a journal sorted by TEXT: same-day bookings stand as the plain exchange sort leaves them.
TEST_P(ReportCrossCheck, ListsFigureByFigureOverASortedJournal) {
    reporttest::BookingsTable bookings;
    fillYear(bookings, GetParam());
    bookings.table().AddIndex(QStringLiteral("TEXT"), QStringLiteral("TEXT"));
    bookings.table().setIndexName(QStringLiteral("TEXT"));
    const Zeitraum z{reporttest::day(2024, 4, 1), reporttest::day(2024, 6, 30)};

    for (const ListKind kind : {ListKind::Sammelkonto, ListKind::Ausgabenliste}) {
        const bool collective = kind == ListKind::Sammelkonto;
        long long gross = 0, vat = 0, net = 0;
        ReportArrays expected;
        TKontoArray& lines = collective ? expected.ein : expected.aus;
        for (const Row& r : scan(bookings.table())) {
            if (collective ? r.sammelkonto != 1 : r.art != u"A") continue;
            const int s = !collective || r.art == u"E" || r.art == u"N" ? 1 : -1;
            const long long g = s * r.brutto, v = vatCents(g, r.mwst);
            if (r.datum < z.vondatum) {
                gross += g;
                vat += v;
                net += g - v;
            } else if (z.contains(r.datum)) {
                TKontoRec* rec = lines.Add();
                *rec = TKontoRec{r.konto,   s * r.mwst + 0.0, g / 100.0, v / 100.0, (g - v) / 100.0,
                                 nullptr,   nullptr,          r.datum};
                rec->beleg = expected.strings().copy(r.beleg);
                rec->text = expected.strings().copy(r.text);
            }
        }
        ExchangeSort::plainSort(lines, [](const TKontoRec& r) { return r.datum; });

        ReportArrays actual;
        ReportData data;
        ListReport::Request request;
        request.kind = kind;
        request.zeitraum = z;
        request.nr = 1;
        request.anfangsbestand = collective;
        ListReport::build(bookings.table(), nullptr, request, actual, data);
        if (collective) {
            EXPECT_EQ(data.Aeinnahmen, gross / 100.0);
            EXPECT_EQ(data.Aeinnahmenmwst, vat / 100.0);
            EXPECT_EQ(data.Aeinnahmennetto, net / 100.0);
        }
        const TKontoArray& got = collective ? actual.ein : actual.aus;
        ASSERT_EQ(got.Count(), lines.Count());
        ASSERT_GT(got.Count(), 10u);
        for (std::uint32_t i = 0; i < got.Count(); ++i) {
            const TKontoRec& a = lines.at(i);
            const TKontoRec& b = got.at(i);
            EXPECT_EQ(std::tie(a.konto, a.mwstsatz, a.brutto, a.mwst, a.datum),
                      std::tie(b.konto, b.mwstsatz, b.brutto, b.mwst, b.datum))
                << i;
            EXPECT_DOUBLE_EQ(a.netto, b.netto) << i;
            EXPECT_EQ(QString::fromUtf16(a.beleg), QString::fromUtf16(b.beleg)) << i;
            EXPECT_EQ(QString::fromUtf16(a.text), QString::fromUtf16(b.text)) << i;
        }
    }
}

// Over a larger year: the lines of the income and expense lists, as printed, add up to the account sums
// and the rate sums of the total result and to the VAT summary; gross = VAT + net on every line; the
// opening balance of the all-bookings list equals the lines of the same list before its period.
TEST_P(ReportCrossCheck, PrintedLinesAddUpToTheirSums) {
    reporttest::BookingsTable bookings;
    fillYear(bookings, GetParam() + 100, 2000);
    for (const Zeitraum& z : {Zeitraum{reporttest::day(2024, 1, 1), reporttest::day(2024, 12, 31)},
                              Zeitraum{reporttest::day(2024, 4, 1), reporttest::day(2024, 6, 30)},
                              Zeitraum{reporttest::day(2024, 11, 1), reporttest::day(2024, 11, 30)}}) {
        ReportArrays total;
        ReportData data;
        TotalResult::build(bookings.table(), z, total, data);
        const VatSums summary = calcMwst(bookings.table(), z);
        for (const ListKind kind : {ListKind::Einnahmenliste, ListKind::Ausgabenliste}) {
            const bool income = kind == ListKind::Einnahmenliste;
            ReportArrays list;
            ListReport::Request request;
            request.kind = kind;
            request.zeitraum = z;
            ListReport::build(bookings.table(), nullptr, request, list, data);
            const TKontoArray& lines = income ? list.ein : list.aus;
            long long gross = 0, vat = 0, net = 0;
            for (std::uint32_t i = 0; i < lines.Count(); ++i) {
                const TKontoRec& r = lines.at(i);
                EXPECT_EQ(printed(r.brutto), printed(r.mwst) + printed(r.netto));
                gross += printed(r.brutto);
                vat += printed(r.mwst);
                net += printed(r.netto);
            }
            long long accountGross = 0, accountVat = 0, accountNet = 0, rateVat = 0, rateNet = 0;
            const TKontoArray& accounts = income ? total.ein : total.aus;
            for (std::uint32_t i = 0; i < accounts.Count(); ++i) {
                accountGross += printed(accounts.at(i).brutto);
                accountVat += printed(accounts.at(i).mwst);
                accountNet += printed(accounts.at(i).netto);
            }
            const TMwstArray& rates = income ? total.mwstsE : total.mwstsA;
            for (std::uint32_t i = 0; i < rates.Count(); ++i) {
                rateVat += printed(rates.at(i).mwst);
                rateNet += printed(rates.at(i).netto);
            }
            EXPECT_EQ(std::tie(gross, vat, net), std::tie(accountGross, accountVat, accountNet));
            EXPECT_EQ(std::tie(vat, net), std::tie(rateVat, rateNet));
            EXPECT_EQ(vat, printed(income ? summary.mwst : summary.vorsteuer));
        }

        ReportArrays before, all;
        ListReport::Request request;
        request.kind = ListKind::AlleBuchungen;
        request.zeitraum = Zeitraum{0, z.vondatum - 1};
        ListReport::build(bookings.table(), nullptr, request, before, data);
        request.zeitraum = z;
        request.anfangsbestand = true;
        ListReport::build(bookings.table(), nullptr, request, all, data);
        long long gross = 0, vat = 0, net = 0;
        for (std::uint32_t i = 0; i < before.ein.Count(); ++i) {
            gross += printed(before.ein.at(i).brutto);
            vat += printed(before.ein.at(i).mwst);
            net += printed(before.ein.at(i).netto);
        }
        EXPECT_EQ(std::tuple(gross, vat, net),
                  std::tuple(printed(data.Aeinnahmen), printed(data.Aeinnahmenmwst), printed(data.Aeinnahmennetto)));
    }
}

INSTANTIATE_TEST_SUITE_P(Years, ReportCrossCheck, ::testing::Values(1u, 2u, 3u));

}  // namespace
