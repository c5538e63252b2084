// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "JournalFixtures.h"
#include "journal/AmountFormat.h"
#include "journal/JournalFilter.h"
#include "journal/VatSummary.h"
#include "storage/StorageError.h"

using namespace journaltest;

namespace {

class VatSummaryTest : public ::testing::Test {
protected:
    testsupport::TempFolder folder;
    std::unique_ptr<DbfTable> bookings = createTable(folder, QStringLiteral("records_1_2024.dbf"), bookingsDefs());
};

TEST_F(VatSummaryTest, exampleOfIncomeExpenseAndNeutral) {
    addBooking(*bookings, {QDate(2024, 3, 1), QStringLiteral("E"), {}, QStringLiteral("Verkauf"), 119, 19});
    addBooking(*bookings, {QDate(2024, 3, 2), QStringLiteral("A"), {}, QStringLiteral("Bücher"), 107, 7});
    addBooking(*bookings, {QDate(2024, 3, 3), QStringLiteral("N"), {}, QStringLiteral("Eröffnung"), 1000, 19});
    addBooking(*bookings, {QDate(2024, 3, 4), QStringLiteral("S"), {}, QStringLiteral("Privat"), 500, 19});
    addBooking(*bookings, {QDate(2024, 3, 5), QStringLiteral("e"), {}, QStringLiteral("klein"), 119, 19});
    addBooking(*bookings, {QDate(2024, 3, 6), QString(), {}, QStringLiteral("ohne Art"), 119, 19});

    const VatSums sums = calcMwst(*bookings, CalcZeitraum(PeriodItem::GanzesJahr, 2024));
    EXPECT_NEAR(sums.mwst, 19.0, 1e-9);
    EXPECT_NEAR(sums.vorsteuer, 7.0, 1e-9);
    EXPECT_NEAR(sums.abzufuehren(), 12.0, 1e-9);
    EXPECT_EQ(mwstLabelText(sums, QStringLiteral("€")), QStringLiteral("MwSt für eingestellten Zeitraum: 19,00 €"));
    EXPECT_EQ(vorsteuerLabelText(sums, QStringLiteral("€")),
              QStringLiteral("Vorsteuer für eingestellten Zeitraum: 7,00 €"));
    EXPECT_EQ(abfuehrenLabelText(sums, QStringLiteral("€")),
              QStringLiteral("Abzuführen für eingestellten Zeitraum: 12,00 €"));
}

TEST_F(VatSummaryTest, initialCaptions) {
    EXPECT_EQ(mwstLabelCaption(), QStringLiteral("MwSt für eingestellten Zeitraum:"));
    EXPECT_EQ(vorsteuerLabelCaption(), QStringLiteral("Vorsteuer für eingestellten Zeitraum:"));
    EXPECT_EQ(abfuehrenLabelCaption(), QStringLiteral("Abzuführen für eingestellten Zeitraum:"));
}

TEST_F(VatSummaryTest, onlyExpensesGiveANegativeAmountToPay) {
    addBooking(*bookings, {QDate(2024, 5, 1), QStringLiteral("A"), {}, {}, 107, 7});
    const VatSums sums = calcMwst(*bookings, CalcZeitraum(PeriodItem::GanzesJahr, 2024));
    EXPECT_EQ(abfuehrenLabelText(sums, QStringLiteral("€")),
              QStringLiteral("Abzuführen für eingestellten Zeitraum: -7,00 €"));
}

TEST_F(VatSummaryTest, periodEndsAreInclusive) {
    addBooking(*bookings, {QDate(2024, 12, 31), QStringLiteral("E"), {}, {}, 119, 19});
    addBooking(*bookings, {QDate(2024, 1, 1), QStringLiteral("E"), {}, {}, 238, 19});
    addBooking(*bookings, {QDate(2025, 1, 1), QStringLiteral("E"), {}, {}, 1190, 19});
    EXPECT_NEAR(calcMwst(*bookings, CalcZeitraum(PeriodItem::GanzesJahr, 2024)).mwst, 57.0, 1e-9);
    EXPECT_NEAR(calcMwst(*bookings, CalcZeitraum(PeriodItem::N1Halbjahr, 2024)).mwst, 38.0, 1e-9);
    EXPECT_NEAR(calcMwst(*bookings, CalcZeitraum(PeriodItem::Dezember, 2024)).mwst, 19.0, 1e-9);
}

TEST_F(VatSummaryTest, walksOnlyWhatTheJournalShows) {
    addBooking(*bookings, {QDate(2024, 2, 1), QStringLiteral("A"), {}, QStringLiteral("Miete Februar"), 119, 19});
    addBooking(*bookings, {QDate(2024, 2, 2), QStringLiteral("A"), {}, QStringLiteral("Strom"), 107, 7});
    JournalFilter filter;
    filter.startUp(*bookings, false, CalcZeitraum(PeriodItem::GanzesJahr, 2024));
    filter.FilterbtnClick(*bookings, QStringLiteral("miete"));
    EXPECT_NEAR(calcMwst(*bookings, CalcZeitraum(PeriodItem::GanzesJahr, 2024)).vorsteuer, 19.0, 1e-9);
    filter.AllezeigenBtnClick(*bookings);
    EXPECT_NEAR(calcMwst(*bookings, CalcZeitraum(PeriodItem::GanzesJahr, 2024)).vorsteuer, 26.0, 1e-9);
}

TEST_F(VatSummaryTest, aRateOfMinusHundredAddsNothing) {
    addBooking(*bookings, {QDate(2024, 2, 1), QStringLiteral("E"), {}, {}, 119, 19});
    addBooking(*bookings, {QDate(2024, 2, 2), QStringLiteral("E"), {}, {}, 50, -100});
    addBooking(*bookings, {QDate(2024, 2, 3), QStringLiteral("E"), {}, {}, 0, -100});
    const VatSums sums = calcMwst(*bookings, CalcZeitraum(PeriodItem::GanzesJahr, 2024));
    EXPECT_EQ(mwstLabelText(sums, QStringLiteral("€")), QStringLiteral("MwSt für eingestellten Zeitraum: 19,00 €"));
}

TEST_F(VatSummaryTest, eachBookingsVatIsRoundedToTheCent) {
    // 100 x 0.01 at 19 %: each receipt shows 0,00 VAT, and so does their sum (unrounded it read 0,16).
    for (int i = 0; i < 100; ++i) addBooking(*bookings, {QDate(2024, 4, 1), QStringLiteral("E"), {}, {}, 0.01, 19});
    // 3 x 100,00 at 19 %: 15,97 each, 47,91 in all (unrounded 47,90).
    for (int i = 0; i < 3; ++i) addBooking(*bookings, {QDate(2024, 4, 2), QStringLiteral("A"), {}, {}, 100, 19});
    const VatSums sums = calcMwst(*bookings, CalcZeitraum(PeriodItem::GanzesJahr, 2024));
    EXPECT_EQ(sums.mwst, 0.0);
    EXPECT_EQ(sums.vorsteuer, 47.91);
    EXPECT_EQ(formatAmount(sums.abzufuehren()), QStringLiteral("-47,91"));
}

TEST_F(VatSummaryTest, closedTableFails) {
    bookings->Close();
    EXPECT_THROW(calcMwst(*bookings, CalcZeitraum(PeriodItem::GanzesJahr, 2024)), QuorvelError);
}

TEST_F(VatSummaryTest, englishLocaleUsesThePoint) {
    testsupport::ScopedLocale english(QLocale(QLocale::English, QLocale::UnitedStates));
    addBooking(*bookings, {QDate(2024, 3, 1), QStringLiteral("E"), {}, {}, 119, 19});
    const VatSums sums = calcMwst(*bookings, CalcZeitraum(PeriodItem::GanzesJahr, 2024));
    EXPECT_EQ(mwstLabelText(sums, QStringLiteral("$")), QStringLiteral("MwSt für eingestellten Zeitraum: 19.00 $"));
}

}  // namespace
