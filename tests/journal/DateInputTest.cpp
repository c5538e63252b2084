// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "journal/DateInput.h"

namespace {

using DateInput::Problem;

struct DateCase {
    const char* text;
    int bookingYear;
    QDate expected;  // invalid: refused with `problem`
    Problem problem;
};

TEST(DateInput, readsTheWaysADateIsTypedInGerman) {
    const QDate april16(2026, 4, 16);
    const DateCase cases[] = {
        {"16.04.2026", 2026, april16, Problem::None},
        {"16.4.2026", 2026, april16, Problem::None},
        {"16042026", 2026, april16, Problem::None},
        {"16.04.26", 2026, april16, Problem::None},
        {" 16.04.26 ", 2026, april16, Problem::None},
        {"160426", 2026, april16, Problem::None},
        {"16.4.", 2026, april16, Problem::None},
        {"16.4", 2026, april16, Problem::None},
        {"1604", 2026, april16, Problem::None},
        {"2026-04-16", 2026, april16, Problem::None},
        {"1.1.2000", 2026, QDate(2000, 1, 1), Problem::None},
        // Short years belong to the booking year's century, not to a fixed window.
        {"16.04.99", 2026, QDate(2099, 4, 16), Problem::None},
        {"16.04.99", 1999, QDate(1999, 4, 16), Problem::None},
        {"31.12.5", 2026, QDate(2005, 12, 31), Problem::None},
        {"29.02.2024", 2026, QDate(2024, 2, 29), Problem::None},
        // Dates that do not exist.
        {"31.02.2026", 2026, {}, Problem::NoSuchDate},
        {"31.02.", 2026, {}, Problem::NoSuchDate},
        {"29.02.2025", 2026, {}, Problem::NoSuchDate},
        {"00.04.2026", 2026, {}, Problem::NoSuchDate},
        {"16.13.2026", 2026, {}, Problem::NoSuchDate},
        {"32012026", 2026, {}, Problem::NoSuchDate},
        {"2026-02-30", 2026, {}, Problem::NoSuchDate},
        // Not written as a date.
        {"", 2026, {}, Problem::Empty},
        {"  ", 2026, {}, Problem::Empty},
        {"16", 2026, {}, Problem::Unreadable},
        {"16.04.202", 2026, {}, Problem::Unreadable},
        {"16.04.20266", 2026, {}, Problem::Unreadable},
        {"16..2026", 2026, {}, Problem::Unreadable},
        {"16.04.2026.", 2026, {}, Problem::Unreadable},
        {"1604202", 2026, {}, Problem::Unreadable},
        {"a.b.c", 2026, {}, Problem::Unreadable},
        {"16/04/2026", 2026, {}, Problem::Unreadable},
        {"123.4.2026", 2026, {}, Problem::Unreadable},
        {"16.04.0026", 2026, {}, Problem::Unreadable},
        {"heute", 2026, {}, Problem::Unreadable},
    };
    for (const DateCase& c : cases) {
        const DateInput::Result r = DateInput::parse(QString::fromUtf8(c.text), c.bookingYear);
        EXPECT_EQ(r.problem, c.problem) << c.text;
        EXPECT_EQ(r.date, c.expected) << c.text;
    }
}

TEST(DateInput, showsDayMonthAndFourDigitYear) {
    EXPECT_EQ(DateInput::format(QDate(2026, 4, 6)), QStringLiteral("06.04.2026"));
}

TEST(DateInput, messagesNameTheTextAndShowAnExample) {
    const QString noSuchDate = DateInput::message(QStringLiteral("31.02.2026"), Problem::NoSuchDate);
    EXPECT_TRUE(noSuchDate.startsWith(QStringLiteral("Das Datum „31.02.2026“ gibt es nicht.")));
    EXPECT_TRUE(DateInput::message(QStringLiteral("x"), Problem::Unreadable).contains(QStringLiteral("16.04.2026")));
    EXPECT_TRUE(DateInput::message({}, Problem::None).isEmpty());
}

}  // namespace
