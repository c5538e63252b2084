// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QLocale>
#include <limits>

#include "journal/AmountFormat.h"
#include "support/TestSupport.h"

namespace {

struct FormatCase {
    double value;
    const char* german;
    const char* english;
};

// Rounding is half away from zero after taking the value to 15 significant digits.
const FormatCase formatCases[] = {
    {0.0, "0,00", "0.00"},
    {119.0, "119,00", "119.00"},
    {19.0, "19,00", "19.00"},
    {-7.5, "-7,50", "-7.50"},
    {9.345794392523365, "9,35", "9.35"},
    {0.6542056074766355, "0,65", "0.65"},
    {1.005, "1,01", "1.01"},     // 1.00499999999999989... in binary
    {2.675, "2,68", "2.68"},     // 2.67499999999999982...
    {-2.675, "-2,68", "-2.68"},  // away from zero on the negative side too
    {0.005, "0,01", "0.01"},
    {0.004999, "0,00", "0.00"},
    {-0.004, "0,00", "0.00"},  // no "-0,00"
    {-0.0, "0,00", "0.00"},
    {999.995, "1000,00", "1000.00"},
    {1234567.891, "1234567,89", "1234567.89"},  // no thousands separator
    {123456789.12345678, "123456789,12", "123456789.12"},
    {1e15, "1000000000000000,00", "1000000000000000.00"},
};

TEST(AmountFormat, formatsTwoDecimalsInBothLocales) {
    for (const FormatCase& c : formatCases) {
        EXPECT_EQ(formatAmount(c.value).toStdString(), c.german) << c.value;
        testsupport::ScopedLocale english(QLocale(QLocale::English, QLocale::UnitedStates));
        EXPECT_EQ(formatAmount(c.value).toStdString(), c.english) << c.value;
    }
}

TEST(AmountFormat, nonFiniteValuesGiveNoText) {
    EXPECT_TRUE(formatAmount(std::numeric_limits<double>::infinity()).isEmpty());
    EXPECT_TRUE(formatAmount(std::numeric_limits<double>::quiet_NaN()).isEmpty());
}

TEST(AmountFormat, currencyFollowsAfterABlank) {
    EXPECT_EQ(formatAmountWithCurrency(19, QStringLiteral("€")), QStringLiteral("19,00 €"));
    EXPECT_EQ(formatAmountWithCurrency(-12, QStringLiteral("EUR")), QStringLiteral("-12,00 EUR"));
}

struct ParseCase {
    const char* text;
    bool ok;
    double expected;
};

void expectParses(const ParseCase& c) {
    bool ok = !c.ok;
    const double value = parseAmount(QString::fromUtf8(c.text), &ok);
    EXPECT_EQ(ok, c.ok) << c.text;
    EXPECT_DOUBLE_EQ(value, c.expected) << c.text;
}

TEST(AmountFormat, parsesGermanInput) {
    const ParseCase cases[] = {
        {"119", true, 119},
        {"119,5", true, 119.5},
        {" 7,25 ", true, 7.25},
        {"-3,5", true, -3.5},
        {"+4", true, 4},
        {"", true, 0},
        {"   ", true, 0},
        // A point followed by other than three digits is the decimal separator.
        {"119.50", true, 119.5},
        {"12.5", true, 12.5},
        {"0.5", true, 0.5},
        {".5", true, 0.5},
        {"1.2345", true, 1.2345},
        // Thousands separators where they group by three.
        {"1.234", true, 1234},
        {"1.234,56", true, 1234.56},
        {"1.234.567,89", true, 1234567.89},
        {"12,", true, 12},
        // No amount.
        {"abc", false, 0},
        {"12a,50", false, 0},
        {"12a", false, 0},
        {"inf", false, 0},
        {"nan", false, 0},
        {"1e5", false, 0},
        {"1,2,3", false, 0},
        {"1.2.3", false, 0},
        {"12.34.567", false, 0},
        {"1.23,4", false, 0},
        {"1,234.56", false, 0},
        {"--5", false, 0},
        {"5-", false, 0},
        {"-", false, 0},
        {",", false, 0},
        {"12 50", false, 0},
        {"12,50 €", false, 0},
        {"9999999999999999999999999999999999999999999999999999999999999999999999999999999999999999999999999999999999"
         "9999999999999999999999999999999999999999999999999999999999999999999999999999999999999999999999999999999999"
         "9999999999999999999999999999999999999999999999999999999999999999999999999999999999999999999999999999999999",
         false, 0},
    };
    for (const ParseCase& c : cases) expectParses(c);
}

TEST(AmountFormat, parsesEnglishInput) {
    testsupport::ScopedLocale english(QLocale(QLocale::English, QLocale::UnitedStates));
    const ParseCase cases[] = {
        {"119.5", true, 119.5},  {"1,234.5", true, 1234.5},    {"-0.25", true, -0.25}, {"1,234", true, 1234},
        {"119,50", true, 119.5}, {"1,234,567", true, 1234567}, {"", true, 0},          {"x", false, 0},
        {"1.234,56", false, 0},  {"1.2.3", false, 0},
    };
    for (const ParseCase& c : cases) expectParses(c);
}

TEST(AmountFormat, refusalMessageNamesTheTextAndAnExample) {
    const QString text = amountMessage(QStringLiteral(" 12a "));
    EXPECT_TRUE(text.startsWith(QStringLiteral("„12a“ ist kein Betrag.")));
    EXPECT_TRUE(text.contains(QStringLiteral("119,50")));
}

}  // namespace
