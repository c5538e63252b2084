// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "ReportDataFixtures.h"
#include "journal/JournalFilter.h"
#include "reports/data/ListReport.h"
#include "reports/data/ReportHeading.h"

namespace {

using reporttest::Buchung;
using reporttest::day;

const Zeitraum quarter2{day(2024, 4, 1), day(2024, 6, 30)};

QString text(const char16_t* s) {
    return s ? QString::fromUtf16(s) : QStringLiteral("<none>");
}

struct ListReportsTest : ::testing::Test {
    reporttest::BookingsTable bookings;
    ReportArrays arrays;
    ReportData data;
    JournalFilter filter;

    void SetUp() override { filter.startUp(bookings.table(), false, quarter2); }

    void run(ListKind kind, int nr = 0, bool anfangsbestand = false, const Zeitraum& zeitraum = quarter2) {
        ListReport::Request request;
        request.kind = kind;
        request.zeitraum = zeitraum;
        request.nr = nr;
        request.name = QStringLiteral("Bank");
        request.anfangsbestand = anfangsbestand;
        ListReport::build(bookings.table(), &filter, request, arrays, data);
    }

    // The collective account of the worked example: two bookings before the period, one in it.
    void collectiveAccountYear() {
        bookings.add(Buchung{QDate(2024, 1, 10), QStringLiteral("E"), 100, 19, 8400, 3, 0, QStringLiteral("1"),
                             QStringLiteral("Honorar")});
        bookings.add(Buchung{QDate(2024, 3, 15), QStringLiteral("A"), 50, 7, 4900, 3, 0, QStringLiteral("2"),
                             QStringLiteral("Bücher")});
        bookings.add(Buchung{QDate(2024, 5, 2), QStringLiteral("E"), 238, 19, 8400, 3, 0, QStringLiteral("R-3"),
                             QStringLiteral("Beratung")});
        bookings.add(Buchung{QDate(2024, 5, 3), QStringLiteral("E"), 999, 19, 8400, 4});  // other account
    }
};

TEST_F(ListReportsTest, CollectiveAccountWithOpeningBalance) {
    collectiveAccountYear();
    data.Aeinnahmen = 777;
    run(ListKind::Sammelkonto, 3, true);
    EXPECT_TRUE(data.anfangsbestand);
    EXPECT_DOUBLE_EQ(data.Aeinnahmen, 50);
    // Each booking's VAT to the cent: 15,97 - 3,27 and 84,03 - 46,73.
    EXPECT_EQ(data.Aeinnahmenmwst, 12.7);
    EXPECT_EQ(data.Aeinnahmennetto, 37.3);
    ASSERT_EQ(arrays.ein.Count(), 1u);
    const TKontoRec& r = arrays.ein.at(0);
    EXPECT_EQ(r.konto, 8400);
    EXPECT_DOUBLE_EQ(r.brutto, 238);
    EXPECT_DOUBLE_EQ(r.mwst, 38);
    EXPECT_DOUBLE_EQ(r.netto, 200);
    EXPECT_EQ(r.mwstsatz, 19);
    EXPECT_EQ(r.datum, day(2024, 5, 2));
    EXPECT_EQ(text(r.beleg), QStringLiteral("R-3"));
    EXPECT_EQ(text(r.text), QStringLiteral("Beratung"));
    EXPECT_EQ(arrays.aus.Count(), 0u);
    EXPECT_EQ(data.modus, 3);
    EXPECT_EQ(data.cap, QStringLiteral("Auswertung 01.04.2024 - 30.06.2024 Konto 3: Bank"));
}

TEST_F(ListReportsTest, PlainTwinLeavesTheOpeningBalanceAsItWas) {
    collectiveAccountYear();
    data.Aeinnahmen = 777;
    run(ListKind::Kostenstelle, 0);  // every booking above has cost centre 0
    EXPECT_FALSE(data.anfangsbestand);
    EXPECT_EQ(data.Aeinnahmen, 777);
    EXPECT_EQ(arrays.ein.Count(), 2u);
    EXPECT_EQ(data.modus, 4);
}

TEST_F(ListReportsTest, OpeningBalanceUnderPeriodFilterReadsTheEarlierBookings) {
    collectiveAccountYear();
    filter.FilternnachZeitraumToggled(bookings.table(), true, QString());
    ASSERT_EQ(bookings.table().RecordCount(), 2);  // the journal hides the two earlier bookings
    run(ListKind::Sammelkonto, 3, true);
    EXPECT_DOUBLE_EQ(data.Aeinnahmen, 50);
    EXPECT_EQ(data.Aeinnahmenmwst, 12.7);
    ASSERT_EQ(arrays.ein.Count(), 1u);
    EXPECT_TRUE(filter.periodFilter());
    EXPECT_EQ(bookings.table().RecordCount(), 2);  // the journal shows what it showed
}

TEST_F(ListReportsTest, LiftedPeriodFilterReturnsWhenTheWalkFails) {
    collectiveAccountYear();
    filter.FilternnachZeitraumToggled(bookings.table(), true, QString());
    int seen = 0;
    const auto failingWalk = [&] {
        seen = bookings.table().RecordCount();
        throw QuorvelError(QStringLiteral("Abbruch"));
    };
    EXPECT_THROW(filter.withTextFilterOnly(bookings.table(), failingWalk), QuorvelError);
    EXPECT_EQ(seen, 4);
    EXPECT_TRUE(filter.periodFilter());
    EXPECT_TRUE(filter.filtering());
    EXPECT_EQ(bookings.table().RecordCount(), 2);
}

TEST_F(ListReportsTest, TextFilterAppliesToBothPasses) {
    collectiveAccountYear();
    filter.FilternnachZeitraumToggled(bookings.table(), true, QString());
    filter.FilterbtnClick(bookings.table(), QStringLiteral("honorar"));
    run(ListKind::Sammelkonto, 3, true);
    EXPECT_DOUBLE_EQ(data.Aeinnahmen, 100);  // only the January booking matches the text
    EXPECT_EQ(arrays.ein.Count(), 0u);
    EXPECT_EQ(bookings.table().RecordCount(), 0);
}

TEST_F(ListReportsTest, NeutralBookingsSignedInAllBookingsAbsentFromIncomeList) {
    bookings.add(Buchung{QDate(2024, 4, 5), QStringLiteral("N"), 100, 0, 1});
    bookings.add(Buchung{QDate(2024, 4, 6), QStringLiteral("S"), 100, 0, 1});
    bookings.add(Buchung{QDate(2024, 4, 7), QStringLiteral("A"), 119, 19, 1});
    bookings.add(Buchung{QDate(2024, 4, 8), QStringLiteral("E"), 10, 7, 1});
    run(ListKind::AlleBuchungen);
    ASSERT_EQ(arrays.ein.Count(), 4u);
    EXPECT_EQ(arrays.ein.at(0).brutto, 100);
    EXPECT_EQ(arrays.ein.at(1).brutto, -100);
    EXPECT_DOUBLE_EQ(arrays.ein.at(2).brutto, -119);
    EXPECT_DOUBLE_EQ(arrays.ein.at(2).mwst, -19);
    EXPECT_DOUBLE_EQ(arrays.ein.at(2).netto, -100);
    EXPECT_EQ(arrays.ein.at(2).mwstsatz, -19);
    EXPECT_FALSE(std::signbit(arrays.ein.at(1).mwstsatz));  // 0 %, not -0 %
    EXPECT_EQ(data.cap, QStringLiteral("Alle Buchungen 01.04.2024 - 30.06.2024"));

    ReportArrays income;
    ReportData incomeData;
    ListReport::Request request;
    request.kind = ListKind::Einnahmenliste;
    request.zeitraum = quarter2;
    ListReport::build(bookings.table(), &filter, request, income, incomeData);
    ASSERT_EQ(income.ein.Count(), 1u);
    EXPECT_EQ(income.ein.at(0).brutto, 10);
    ASSERT_EQ(income.aus.Count(), 1u);
    EXPECT_EQ(income.aus.at(0).brutto, 119);  // unsigned in the plain lists
    EXPECT_EQ(income.aus.at(0).mwstsatz, 19);
    EXPECT_EQ(incomeData.modus, 2);
}

TEST_F(ListReportsTest, AccountReportTestsOnlyKonto) {
    bookings.add(Buchung{QDate(2024, 4, 5), QStringLiteral("E"), 1, 0, 5});
    bookings.add(Buchung{QDate(2024, 4, 6), QStringLiteral("A"), 2, 0, 5});
    bookings.add(Buchung{QDate(2024, 4, 7), QStringLiteral("S"), 4, 0, 5});
    bookings.add(Buchung{QDate(2024, 4, 8), QStringLiteral("A"), 8, 0, 6});
    run(ListKind::Ausgabenkonto, 5);
    ASSERT_EQ(arrays.aus.Count(), 1u);
    EXPECT_EQ(arrays.aus.at(0).brutto, 2);
    ASSERT_EQ(arrays.ein.Count(), 1u);  // lands in ein; the expense layout draws only aus
    EXPECT_EQ(data.modus, 1);
    EXPECT_EQ(data.cap, QStringLiteral("Ausgaben 01.04.2024 - 30.06.2024 Konto 5: Bank"));
}

TEST_F(ListReportsTest, SameDayOrderFollowsTheScanOrder) {
    const QDate march5(2024, 4, 5);
    bookings.add(Buchung{march5, QStringLiteral("E"), 1, 0, 1, 0, 0, QStringLiteral("first")});
    bookings.add(Buchung{march5, QStringLiteral("E"), 2, 0, 1, 0, 0, QStringLiteral("second")});
    bookings.add(Buchung{QDate(2024, 4, 1), QStringLiteral("E"), 3, 0, 1, 0, 0, QStringLiteral("early")});
    run(ListKind::Einnahmenliste);
    ASSERT_EQ(arrays.ein.Count(), 3u);
    EXPECT_EQ(text(arrays.ein.at(0).beleg), QStringLiteral("early"));
    EXPECT_EQ(text(arrays.ein.at(1).beleg), QStringLiteral("second"));
    EXPECT_EQ(text(arrays.ein.at(2).beleg), QStringLiteral("first"));
}

TEST_F(ListReportsTest, EmptyDateCountsInEveryOpeningBalanceNeverInAList) {
    bookings.add(Buchung{QDate(), QStringLiteral("S"), 30, 0, 1, 2, 7});
    run(ListKind::AlleBuchungen, 0, true, Zeitraum{day(2024, 1, 1), day(2024, 12, 31)});
    EXPECT_EQ(data.Aeinnahmen, -30);
    EXPECT_EQ(arrays.ein.Count(), 0u);
    ReportArrays other;
    ListReport::Request request;
    request.kind = ListKind::Kostenstelle;
    request.zeitraum = quarter2;
    request.nr = 7;
    request.anfangsbestand = true;
    ListReport::build(bookings.table(), &filter, request, other, data);
    EXPECT_EQ(data.Aeinnahmen, -30);
}

// A long build tells its progress every few thousand steps, in order, and stops when told: the hand-over
// is then as it was, the table at its end and the journal's filter as it was.
TEST_F(ListReportsTest, ProgressIsToldInStepsAndStopsTheBuildWhenAsked) {
    for (int i = 0; i < 20000; ++i)
        bookings.add(Buchung{QDate(2024, 1 + i % 12, 1 + i % 28), i % 3 ? QStringLiteral("E") : QStringLiteral("A"),
                             double(i % 500) + 0.5, 19, 8400, 3});
    bookings.table().AddIndex(QStringLiteral("BRUTTO"), QStringLiteral("BRUTTO"));
    const struct {
        const char* index;
        bool anfangsbestand;
        bool periodFilter;  // the balance lifts it for its walk
        int stopAt;         // the call that says stop, 0: none
    } cases[] = {{"", false, false, 0},      {"", true, true, 0},         {"BRUTTO", true, false, 0},
                 {"BRUTTO", false, false, 0}, {"", true, true, 1},         {"BRUTTO", true, false, 3},
                 {"BRUTTO", false, false, 1}, {"BRUTTO", true, true, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.index) + (c.anfangsbestand ? " with balance" : "") +
                     (c.periodFilter ? " period filter" : "") + ", stop at " + std::to_string(c.stopAt));
        bookings.table().setIndexName(QString::fromLatin1(c.index));
        filter.FilternnachZeitraumToggled(bookings.table(), c.periodFilter, QString());
        const int visible = bookings.table().RecordCount();
        ReportArrays plainArrays;
        ReportData plain;
        ListReport::Request request;
        request.kind = ListKind::Sammelkonto;
        request.zeitraum = quarter2;
        request.nr = 3;
        request.anfangsbestand = c.anfangsbestand;
        ASSERT_TRUE(ListReport::build(bookings.table(), &filter, request, plainArrays, plain));

        std::vector<std::pair<qint64, qint64>> calls;
        ReportArrays told;
        ReportData data;
        data.cap = QStringLiteral("vorher");
        const bool done = ListReport::build(bookings.table(), &filter, request, told, data, [&](qint64 d, qint64 t) {
            calls.emplace_back(d, t);
            return int(calls.size()) != c.stopAt;
        });
        EXPECT_EQ(done, c.stopAt == 0);
        ASSERT_FALSE(calls.empty());
        for (std::size_t i = 0; i < calls.size(); ++i) {
            EXPECT_EQ(calls[i].second, (c.anfangsbestand ? 20000 : 0) + 2 * visible);
            EXPECT_LE(calls[i].first, calls[i].second);
            if (i > 0) {
                EXPECT_GE(calls[i].first, calls[i - 1].first);
            }
        }
        EXPECT_EQ(bookings.table().RecordCount(), visible);
        EXPECT_EQ(bookings.table().RecNo(), visible - 1);
        EXPECT_EQ(filter.periodFilter(), c.periodFilter);
        if (done) {
            EXPECT_EQ(data.cap, plain.cap);
            EXPECT_EQ(data.Aeinnahmen, plain.Aeinnahmen);
            ASSERT_EQ(told.ein.Count(), plainArrays.ein.Count());
            for (std::uint32_t i = 0; i < told.ein.Count(); ++i)
                ASSERT_EQ(told.ein.at(i).brutto, plainArrays.ein.at(i).brutto) << i;
        } else {
            EXPECT_EQ(data.cap, QStringLiteral("vorher"));
            EXPECT_EQ(int(calls.size()), c.stopAt);
        }
    }
}

TEST(ReportHeading, FollowsTheLocaleShortDate) {
    const Zeitraum z{day(2024, 4, 1), day(2024, 6, 30)};
    EXPECT_EQ(ReportHeading::list(ListKind::Einnahmekonto, z, 0, QStringLiteral("Konto 0")),
              QStringLiteral("Einnahmen 01.04.2024 - 30.06.2024 Konto 0: Konto 0"));
    const testsupport::ScopedLocale english(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(ReportHeading::totalResult(z), QStringLiteral("Gesamtergebnis 4/1/2024 - 6/30/2024"));
}

}  // namespace
