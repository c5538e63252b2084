// Every figure of the total result and of the signed list, computed a second time the slow, literal way:
// linear walks over the arrays with the iteration idiom and the plain exchange sort with Change, over a
// random year with negative, neutral, 0 %, 7 % and 7.5 % bookings, scanned in a sorted journal order.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <tuple>

#include "ReportDataFixtures.h"
#include "reports/data/ExchangeSort.h"
#include "reports/data/ListReport.h"
#include "reports/data/TotalResult.h"
#include "storage/DayNumber.h"

namespace {

using reporttest::Buchung;

struct Row {
    double datum;
    QString art, beleg, text;
    double brutto, mwst;
    int konto, sammelkonto;
};

std::vector<Row> scan(DbfTable& t) {
    std::vector<Row> rows;
    for (t.First(); !t.Eof(); t.Next())
        rows.push_back(Row{t.Fields(0).AsDateTime(), t.Fields(1).AsString(), t.Fields(2).AsString(),
                           t.Fields(3).AsString(), t.Fields(4).AsFloat(), t.Fields(5).AsFloat(),
                           t.Fields(6).AsInteger(), t.Fields(9).AsInteger()});
    return rows;
}

void add(double& sum, long double term) {
    sum = static_cast<double>(sum + term);
}

void fillYear(reporttest::BookingsTable& bookings, unsigned seed) {
    std::mt19937 rng(seed);
    const char* arts[] = {"E", "A", "N", "S", "E", "A"};
    const double rates[] = {0, 7, 7.5, 19, 19};
    for (int i = 0; i < 400; ++i) {
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

    ReportArrays expected;
    for (const Row& r : scan(bookings.table())) {
        if (!z.contains(r.datum) || (r.art != u"E" && r.art != u"A")) continue;
        const bool e = r.art == u"E";
        const long double g = r.brutto, p = r.mwst;
        const long double v = g * p / (p + 100), n = g * 100 / (p + 100);
        TKontoArray& konten = e ? expected.ein : expected.aus;
        TKontoRec* found = nullptr;
        konten.First();
        while (!found && konten.WhileNext())
            if (expected.akonto->konto == r.konto) found = expected.akonto;
        if (!found) (found = konten.Add())->konto = r.konto;
        found->brutto += r.brutto;
        add(found->mwst, v);
        add(found->netto, n);
        TMwstArray& saetze = e ? expected.mwstsE : expected.mwstsA;
        TMwstRec* satz = nullptr;
        saetze.First();
        while (!satz && saetze.WhileNext())
            if (expected.amwst->mwstsatz == r.mwst) satz = expected.amwst;
        if (!satz) (satz = saetze.Add())->mwstsatz = r.mwst;
        satz->brutto += r.brutto;
        add(satz->mwst, v);
        add(satz->netto, n);
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
            EXPECT_EQ(a->at(i).brutto, b->at(i).brutto);
            EXPECT_EQ(a->at(i).mwst, b->at(i).mwst);
            EXPECT_EQ(a->at(i).netto, b->at(i).netto);
        }
    }
    for (auto [a, b] : {std::pair{&expected.mwstsE, &actual.mwstsE}, std::pair{&expected.mwstsA, &actual.mwstsA}}) {
        ASSERT_EQ(a->Count(), 4u);  // 0, 7, 7.5 and 19
        ASSERT_EQ(a->Count(), b->Count());
        for (std::uint32_t i = 0; i < a->Count(); ++i)
            EXPECT_EQ(std::memcmp(&a->at(i), &b->at(i), sizeof(TMwstRec)), 0) << i;
    }
}

TEST_P(ReportCrossCheck, CollectiveAccountListFigureByFigure) {
    reporttest::BookingsTable bookings;
    fillYear(bookings, GetParam());
    bookings.table().AddIndex(QStringLiteral("TEXT"), QStringLiteral("TEXT"));
    bookings.table().setIndexName(QStringLiteral("TEXT"));
    const Zeitraum z{reporttest::day(2024, 4, 1), reporttest::day(2024, 6, 30)};

    double gross = 0, vat = 0, net = 0;
    ReportArrays expected;
    for (const Row& r : scan(bookings.table())) {
        if (r.sammelkonto != 1) continue;
        const int s = (r.art == u"E" || r.art == u"N") ? 1 : -1;
        const long double g = s * r.brutto, p = r.mwst;
        if (r.datum < z.vondatum) {
            gross += double(g);
            add(vat, g * p / (p + 100));
            add(net, g * 100 / (p + 100));
        } else if (z.contains(r.datum)) {
            TKontoRec* rec = expected.ein.Add();
            *rec = TKontoRec{r.konto, double(s * p), double(g), double(g * p / (p + 100)), double(g * 100 / (p + 100)),
                             nullptr, nullptr,       r.datum};
            rec->beleg = KontoStrings::copy(r.beleg);
            rec->text = KontoStrings::copy(r.text);
        }
    }
    ExchangeSort::plainSort(expected.ein, [](const TKontoRec& r) { return r.datum; });

    ReportArrays actual;
    ReportData data;
    ListReport::Request request;
    request.kind = ListKind::Sammelkonto;
    request.zeitraum = z;
    request.nr = 1;
    request.anfangsbestand = true;
    ListReport::build(bookings.table(), nullptr, request, actual, data);
    EXPECT_EQ(data.Aeinnahmen, gross);
    EXPECT_EQ(data.Aeinnahmenmwst, vat);
    EXPECT_EQ(data.Aeinnahmennetto, net);
    ASSERT_EQ(actual.ein.Count(), expected.ein.Count());
    ASSERT_GT(actual.ein.Count(), 10u);
    for (std::uint32_t i = 0; i < actual.ein.Count(); ++i) {
        const TKontoRec& a = expected.ein.at(i);
        const TKontoRec& b = actual.ein.at(i);
        EXPECT_EQ(std::tie(a.konto, a.mwstsatz, a.brutto, a.mwst, a.netto, a.datum),
                  std::tie(b.konto, b.mwstsatz, b.brutto, b.mwst, b.netto, b.datum))
            << i;
        EXPECT_EQ(QString::fromUtf16(a.beleg), QString::fromUtf16(b.beleg)) << i;
        EXPECT_EQ(QString::fromUtf16(a.text), QString::fromUtf16(b.text)) << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Years, ReportCrossCheck, ::testing::Values(1u, 2u, 3u));

}  // namespace
