// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "journal/Period.h"
#include "storage/DayNumber.h"
#include "storage/StorageError.h"

namespace {

QDate from(const Zeitraum& z) {
    return DayNumber::toDate(z.vondatum);
}
QDate to(const Zeitraum& z) {
    return DayNumber::toDate(z.bisdatum);
}

struct ItemCase {
    PeriodItem item;
    const char* caption;
    const char* component;
    QDate first;
    QDate last;
};

TEST(Period, everyItemOf2024) {
    const ItemCase cases[] = {
        {PeriodItem::GanzesJahr, "Ganzes Jahr", "GanzesJahr1", {2024, 1, 1}, {2024, 12, 31}},
        {PeriodItem::N1Halbjahr, "1. Halbjahr", "N1Halbjahr1", {2024, 1, 1}, {2024, 6, 30}},
        {PeriodItem::N2Halbjahr, "2. Halbjahr", "N2Halbjahr1", {2024, 7, 1}, {2024, 12, 31}},
        {PeriodItem::N1Quartal, "1. Quartal", "N1Quartal1", {2024, 1, 1}, {2024, 3, 31}},
        {PeriodItem::N2Quartal, "2. Quartal", "N2Quartal1", {2024, 4, 1}, {2024, 6, 30}},
        {PeriodItem::N3Quartal, "3. Quartal", "N3Quartal1", {2024, 7, 1}, {2024, 9, 30}},
        {PeriodItem::N4Quartal, "4. Quartal", "N4Quartal1", {2024, 10, 1}, {2024, 12, 31}},
        {PeriodItem::Januar, "Januar", "Januar1", {2024, 1, 1}, {2024, 1, 31}},
        {PeriodItem::Februar, "Februar", "Februar1", {2024, 2, 1}, {2024, 2, 29}},
        {PeriodItem::Maerz, "März", "Mrz1", {2024, 3, 1}, {2024, 3, 31}},
        {PeriodItem::April, "April", "April1", {2024, 4, 1}, {2024, 4, 30}},
        {PeriodItem::Mai, "Mai", "Mai1", {2024, 5, 1}, {2024, 5, 31}},
        {PeriodItem::Juni, "Juni", "Juni1", {2024, 6, 1}, {2024, 6, 30}},
        {PeriodItem::Juli, "Juli", "Juli1", {2024, 7, 1}, {2024, 7, 31}},
        {PeriodItem::August, "August", "August1", {2024, 8, 1}, {2024, 8, 31}},
        {PeriodItem::September, "September", "September1", {2024, 9, 1}, {2024, 9, 30}},
        {PeriodItem::Oktober, "Oktober", "Oktober1", {2024, 10, 1}, {2024, 10, 31}},
        {PeriodItem::November, "November", "November1", {2024, 11, 1}, {2024, 11, 30}},
        {PeriodItem::Dezember, "Dezember", "Dezember1", {2024, 12, 1}, {2024, 12, 31}},
    };
    ASSERT_EQ(std::size(cases), allPeriodItems.size());
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const ItemCase& c = cases[i];
        EXPECT_EQ(allPeriodItems[i], c.item) << "menu order at " << i;
        const Zeitraum z = CalcZeitraum(c.item, 2024);
        EXPECT_EQ(from(z), c.first) << c.caption;
        EXPECT_EQ(to(z), c.last) << c.caption;
        EXPECT_EQ(periodCaption(c.item), QString::fromUtf8(c.caption));
        EXPECT_EQ(periodComponentName(c.item), QString::fromUtf8(c.component));
    }
}

TEST(Period, lastDayOfFebruaryFollowsTheGregorianRule) {
    const std::pair<int, int> cases[] = {{1900, 28}, {2000, 29}, {2023, 28}, {2024, 29}, {2100, 28}, {2400, 29}};
    for (auto [year, lastDay] : cases) {
        const Zeitraum z = CalcZeitraum(PeriodItem::Februar, year);
        EXPECT_EQ(from(z), QDate(year, 2, 1)) << year;
        EXPECT_EQ(to(z), QDate(year, 2, lastDay)) << year;
    }
}

TEST(Period, dayNumbersAreThoseOfTheStoredDates) {
    // 1 January 2024 is day 45292 of the date system starting 30 December 1899.
    const Zeitraum z = CalcZeitraum(PeriodItem::GanzesJahr, 2024);
    EXPECT_EQ(z.vondatum, 45292.0);
    EXPECT_EQ(z.bisdatum, 45292.0 + 365);
}

TEST(Period, thirtyFirstOfDecemberBelongsToTheYearNotToTheFirstHalf) {
    const double silvester = DayNumber::fromDate(QDate(2024, 12, 31));
    EXPECT_TRUE(CalcZeitraum(PeriodItem::GanzesJahr, 2024).contains(silvester));
    EXPECT_FALSE(CalcZeitraum(PeriodItem::N1Halbjahr, 2024).contains(silvester));
    EXPECT_TRUE(CalcZeitraum(PeriodItem::N4Quartal, 2024).contains(silvester));
}

TEST(Period, aYearThatMakesNoDateIsRefusedInGerman) {
    for (int year : {0, -5, 10000}) {
        try {
            CalcZeitraum(PeriodItem::GanzesJahr, year);
            FAIL() << year;
        } catch (const QuorvelError& e) {
            EXPECT_TRUE(e.message().contains(QStringLiteral("kein gültiges Datum"))) << e.message().toStdString();
        }
    }
    EXPECT_NO_THROW(CalcZeitraum(PeriodItem::Dezember, 1));
    EXPECT_NO_THROW(CalcZeitraum(PeriodItem::Dezember, 9999));
}

TEST(Period, monthItems) {
    EXPECT_EQ(monthItem(1), PeriodItem::Januar);
    EXPECT_EQ(monthItem(3), PeriodItem::Maerz);
    EXPECT_EQ(monthItem(12), PeriodItem::Dezember);
    EXPECT_THROW(monthItem(0), QuorvelError);
    EXPECT_THROW(monthItem(13), QuorvelError);
}

}  // namespace
