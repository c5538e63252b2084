// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QLocale>

#include "storage/LocaleFormat.h"
#include "support/TestSupport.h"

using testsupport::ScopedLocale;

TEST(LocaleFormat, ShortDateHasFourDigitYear) {
    EXPECT_EQ(LocaleFormat::shortDateFormat(), QStringLiteral("dd.MM.yyyy"));
    EXPECT_EQ(LocaleFormat::formatDate(QDate(2026, 1, 5)), QStringLiteral("05.01.2026"));
    ScopedLocale english(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(LocaleFormat::shortDateFormat(), QStringLiteral("M/d/yyyy"));
    EXPECT_EQ(LocaleFormat::formatDate(QDate(2026, 1, 5)), QStringLiteral("1/5/2026"));
}

TEST(LocaleFormat, ParseDate) {
    const int year = QDate::currentDate().year();
    struct Case {
        const char* text;
        QDate expected;
    };
    const Case cases[] = {
        {"05.01.2026", QDate(2026, 1, 5)},
        {"5.1.2026", QDate(2026, 1, 5)},
        {" 5.1.2026 ", QDate(2026, 1, 5)},
        {"5.1.", QDate(year, 1, 5)},
        {"5.1", QDate(year, 1, 5)},
        {"29.02.2023", QDate()},
        {"1.13.2026", QDate()},
        {"", QDate()},
        {"5.1.2026.7", QDate()},
        {"am 5.1.2026", QDate()},
        {"05012026", QDate()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(LocaleFormat::parseDate(QLatin1String(c.text)), c.expected);
    }
    // Two-digit years stay within 50 years of today.
    EXPECT_EQ(LocaleFormat::parseDate(QStringLiteral("1.1.%1").arg(year % 100, 2, 10, QLatin1Char('0'))).year(), year);
    ScopedLocale english(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(LocaleFormat::parseDate(QStringLiteral("1/5/2026")), QDate(2026, 1, 5));
}

TEST(LocaleFormat, FloatTextAndParsing) {
    struct Case {
        double value;
        const char* german;
        const char* english;
    };
    const Case cases[] = {{19, "19", "19"},          {-0.5, "-0,5", "-0.5"},
                          {0.1 + 0.2, "0,3", "0.3"}, {123456789012345.0, "123456789012345", "123456789012345"},
                          {1e20, "1E20", "1E20"},    {1.5e-7, "1,5E-7", "1.5E-7"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.german);
        EXPECT_EQ(LocaleFormat::formatFloat(c.value), QLatin1String(c.german));
        double parsed = 0;
        EXPECT_TRUE(LocaleFormat::parseFloat(QLatin1String(c.german), &parsed));
        EXPECT_DOUBLE_EQ(parsed, QByteArray(c.english).toDouble());  // not stod: the C locale may be German
        ScopedLocale english(QLocale(QLocale::English));
        EXPECT_EQ(LocaleFormat::formatFloat(c.value), QLatin1String(c.english));
    }
    double v = 0;
    for (const char* bad : {"", " ", "1.000,5", "1,2,3", "e5", "1E", "--1", "1 2", "0x10", "nan", "inf"}) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(LocaleFormat::parseFloat(QLatin1String(bad), &v));
    }
}
