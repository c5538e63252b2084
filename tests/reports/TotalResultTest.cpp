// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "ReportDataFixtures.h"
#include "journal/JournalFilter.h"
#include "reports/data/TotalResult.h"

namespace {

using reporttest::Buchung;
using reporttest::day;

const Zeitraum year2024{day(2024, 1, 1), day(2024, 12, 31)};

struct TotalResultTest : ::testing::Test {
    reporttest::BookingsTable bookings;
    ReportArrays arrays;
    ReportData data;

    void run(const Zeitraum& zeitraum = year2024) { TotalResult::build(bookings.table(), zeitraum, arrays, data); }
    void add(const char* art, double brutto, double mwst, int konto, QDate datum = QDate(2024, 5, 1)) {
        bookings.add(Buchung{datum, QString::fromLatin1(art), brutto, mwst, konto});
    }
};

TEST_F(TotalResultTest, GroupsPerAccountAndPerRate) {
    add("E", 119, 19, 2);
    add("E", 107, 7, 2);
    add("E", 238, 19, 1);
    add("E", 11.9, 19, 2);
    add("E", 1.19, 19, 2);
    run();
    ASSERT_EQ(arrays.ein.Count(), 2u);
    EXPECT_EQ(arrays.ein.at(0).konto, 1);
    EXPECT_DOUBLE_EQ(arrays.ein.at(0).brutto, 238);
    EXPECT_EQ(arrays.ein.at(1).konto, 2);
    EXPECT_DOUBLE_EQ(arrays.ein.at(1).brutto, 119 + 107 + 11.9 + 1.19);
    EXPECT_DOUBLE_EQ(arrays.ein.at(1).mwst, 19 + 7 + 1.9 + 0.19);
    EXPECT_DOUBLE_EQ(arrays.ein.at(1).netto, 100 + 100 + 10 + 1);
    EXPECT_EQ(arrays.ein.at(1).beleg, nullptr);
    EXPECT_EQ(arrays.ein.at(1).mwstsatz, 0);

    ASSERT_EQ(arrays.mwstsE.Count(), 2u);
    EXPECT_EQ(arrays.mwstsE.at(0).mwstsatz, 7);
    EXPECT_DOUBLE_EQ(arrays.mwstsE.at(0).netto, 100);
    EXPECT_EQ(arrays.mwstsE.at(1).mwstsatz, 19);
    EXPECT_DOUBLE_EQ(arrays.mwstsE.at(1).brutto, 119 + 238 + 11.9 + 1.19);
    EXPECT_DOUBLE_EQ(arrays.mwstsE.at(1).mwst, 19 + 38 + 1.9 + 0.19);
    EXPECT_EQ(arrays.aus.Count(), 0u);
    EXPECT_EQ(arrays.mwstsA.Count(), 0u);

    EXPECT_EQ(data.modus, 0);
    EXPECT_EQ(data.cap, QStringLiteral("Gesamtergebnis 01.01.2024 - 31.12.2024"));
    EXPECT_EQ(data.ein, &arrays.ein);
    EXPECT_EQ(data.amwst, &arrays.amwst);
}

TEST_F(TotalResultTest, ExpensesApartNeutralAndOtherLettersLeftOut) {
    add("A", 119, 19, 2);  // same number as an income account: its own group
    add("E", 100, 0, 2);
    add("N", 500, 19, 2);
    add("S", 500, 19, 2);
    add("X", 500, 19, 2);
    add("A", -50, 7, 2);  // negative gross keeps its sign
    add("A", 107.5, 7.5, 3);
    run();
    ASSERT_EQ(arrays.ein.Count(), 1u);
    EXPECT_DOUBLE_EQ(arrays.ein.at(0).brutto, 100);
    EXPECT_DOUBLE_EQ(arrays.ein.at(0).mwst, 0);
    EXPECT_DOUBLE_EQ(arrays.ein.at(0).netto, 100);
    ASSERT_EQ(arrays.aus.Count(), 2u);
    EXPECT_DOUBLE_EQ(arrays.aus.at(0).brutto, 69);
    EXPECT_EQ(arrays.aus.at(0).mwst, 15.73);  // 19,00 - 3,27: each booking's VAT to the cent
    EXPECT_EQ(arrays.aus.at(1).konto, 3);
    ASSERT_EQ(arrays.mwstsA.Count(), 3u);  // 7, 7.5 and 19 are three rates
    EXPECT_EQ(arrays.mwstsA.at(0).mwstsatz, 7);
    EXPECT_EQ(arrays.mwstsA.at(0).netto, -46.73);  // -50,00 less -3,27
    EXPECT_EQ(arrays.mwstsA.at(1).mwstsatz, 7.5);
    EXPECT_DOUBLE_EQ(arrays.mwstsA.at(1).mwst, 7.5);
    EXPECT_EQ(arrays.mwstsA.at(2).mwstsatz, 19);
}

TEST_F(TotalResultTest, PeriodEndsCountTheDayOutsideDoesNot) {
    add("E", 1, 0, 1, QDate(2024, 3, 31));
    add("E", 2, 0, 1, QDate(2024, 4, 1));
    add("E", 4, 0, 1, QDate(2024, 6, 30));
    add("E", 8, 0, 1, QDate(2024, 7, 1));
    add("E", 16, 0, 1, QDate());  // no date: day 0
    run(Zeitraum{day(2024, 4, 1), day(2024, 6, 30)});
    ASSERT_EQ(arrays.ein.Count(), 1u);
    EXPECT_EQ(arrays.ein.at(0).brutto, 6);
    EXPECT_EQ(data.cap, QStringLiteral("Gesamtergebnis 01.04.2024 - 30.06.2024"));
}

TEST_F(TotalResultTest, SeesOnlyWhatTheJournalShows) {
    bookings.add(Buchung{QDate(2024, 2, 1), QStringLiteral("E"), 100, 19, 1, 0, 0, {}, QStringLiteral("Miete")});
    bookings.add(Buchung{QDate(2024, 2, 2), QStringLiteral("E"), 50, 19, 1, 0, 0, {}, QStringLiteral("Porto")});
    JournalFilter filter;
    filter.startUp(bookings.table(), false, year2024);
    filter.FilterbtnClick(bookings.table(), QStringLiteral("miete"));
    run();
    ASSERT_EQ(arrays.ein.Count(), 1u);
    EXPECT_EQ(arrays.ein.at(0).brutto, 100);
    EXPECT_TRUE(bookings.table().Eof());  // the pass leaves the table at its end
}

TEST_F(TotalResultTest, RateMinusHundredDoesNotPoisonTheSums) {
    add("E", 100, -100, 1);
    add("E", 119, 19, 1);
    run();
    EXPECT_DOUBLE_EQ(arrays.ein.at(0).mwst, 19);
    EXPECT_DOUBLE_EQ(arrays.ein.at(0).netto, 200);
}

TEST_F(TotalResultTest, EmptyTableGivesEmptyArrays) {
    run();
    EXPECT_EQ(arrays.ein.Count() + arrays.aus.Count() + arrays.mwstsE.Count() + arrays.mwstsA.Count(), 0u);
    EXPECT_EQ(data.modus, 0);
}

}  // namespace
