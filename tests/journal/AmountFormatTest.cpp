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
    double expected;
};

TEST(AmountFormat, parsesGermanInput) {
    const ParseCase cases[] = {
        {"119", 119},    {"119,5", 119.5}, {" 7,25 ", 7.25},     {"-3,5", -3.5}, {"12.5", 12.5},
        {"12.50", 12.5}, {"1.234", 1234},  {"1.234,50", 1234.5}, {"", 0},        {"abc", 0},
        {"12a", 0},      {"inf", 0},       {"nan", 0},           {"1,2,3", 0},   {"+4", 4},
    };
    for (const ParseCase& c : cases) EXPECT_DOUBLE_EQ(parseAmount(QString::fromUtf8(c.text)), c.expected) << c.text;
}

TEST(AmountFormat, parsesEnglishInput) {
    testsupport::ScopedLocale english(QLocale(QLocale::English, QLocale::UnitedStates));
    const ParseCase cases[] = {
        {"119.5", 119.5}, {"1,234.5", 1234.5}, {"-0.25", -0.25}, {"x", 0}, {"", 0},
    };
    for (const ParseCase& c : cases) EXPECT_DOUBLE_EQ(parseAmount(QString::fromUtf8(c.text)), c.expected) << c.text;
}

}  // namespace
