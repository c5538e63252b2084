// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QRandomGenerator>
#include <QString>
#include <cmath>
#include <limits>

#include "journal/Booking.h"
#include "journal/CentSum.h"

namespace {

// The cents of |value| taken at 15 significant digits, rounded half up, in whole numbers from the
// printed digits: an oracle that shares nothing with the code under test.
long long referenceCents(double value) {
    const QByteArray text = QString::number(std::fabs(value), 'e', 14).toLatin1();  // not localised
    long long mantissa = 0;
    const char* p = text.constData();
    for (; *p != 'e'; ++p)
        if (*p != '.') mantissa = mantissa * 10 + (*p - '0');
    const int exponent = std::atoi(p + 1);  // value = mantissa * 10^(exponent - 14)
    const int shift = 12 - exponent;        // cents = mantissa / 10^shift
    if (shift <= 0) return mantissa * static_cast<long long>(std::pow(10, -shift));
    if (shift > 18) return 0;
    long long divisor = 1;
    for (int i = 0; i < shift; ++i) divisor *= 10;
    return mantissa / divisor + (2 * (mantissa % divisor) >= divisor ? 1 : 0);
}

struct RoundCase {
    double value;
    double expected;
};

TEST(BookingTest, roundToCent) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const RoundCase cases[] = {
        {1.005, 1.01},  // 1.00499999999999989... in binary, 1.005 at 15 digits
        {2.675, 2.68},
        {-2.675, -2.68},
        {0.125, 0.13},
        {-0.125, -0.13},
        {0.005, 0.01},
        {0.0049999, 0.0},
        {-0.004, 0.0},
        {0.01, 0.01},
        {19.0, 19.0},
        {15.966386554621849, 15.97},
        {1e12 + 0.005, 1e12 + 0.01},
        {9999999999999.0, 9999999999999.0},
        {123456.785, 123456.79},
        {-123456.785, -123456.79},
        {1.234567890125, 1.23},
        {2.5e-3, 0.0},
        {0.0, 0.0},
    };
    for (const RoundCase& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(Booking::roundToCent(c.value), c.expected);
    }
    EXPECT_FALSE(std::signbit(Booking::roundToCent(-0.001)));  // no "-0,00"
    EXPECT_EQ(Booking::roundToCent(1e13 + 0.3), 1e13 + 0.3);   // beyond 15 digits: unchanged
    EXPECT_EQ(Booking::roundToCent(inf), inf);
    EXPECT_TRUE(std::isnan(Booking::roundToCent(nan)));

    // Values on and a few units of the last place around half cents, and plain random amounts.
    QRandomGenerator rng(13);
    for (int i = 0; i < 200000; ++i) {
        double v = i % 2 ? (double(rng.bounded(20000000)) * 10 + 5) / 1000 : rng.generateDouble() * 1e7;
        for (int k = int(rng.bounded(7)) - 3; k != 0; k += k > 0 ? -1 : 1)
            v = std::nextafter(v, k > 0 ? 1e300 : -1e300);
        if (i % 3 == 0) v = -v;
        const double expected = double(referenceCents(v)) / 100 * (v < 0 ? -1 : 1);
        ASSERT_EQ(Booking::roundToCent(v), expected + 0.0) << std::hexfloat << v;
    }
}

struct SplitCase {
    double brutto, rate, mwst, netto;
};

TEST(BookingTest, split) {
    const SplitCase cases[] = {
        {119, 19, 19, 100},         {100, 19, 15.97, 84.03},
        {-100, 19, -15.97, -84.03}, {10, 7, 0.65, 9.35},
        {0.01, 19, 0, 0.01},        {0.03, 19, 0, 0.03},
        {0.025, 25, 0.01, 0.015},   {-0.025, 25, -0.01, -0.015},
        {5.35, 100, 2.68, 2.67},    {50, 0, 0, 50},
        {119, -100, 0, 119},        {0, -100, 0, 0},
        {107, 7, 7, 100},           {1e9, 19, 159663865.55, 840336134.45},
        {1.07, 7.5, 0.07, 1.0},     {-1e9, 19, -159663865.55, -840336134.45},
    };
    for (const SplitCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.brutto << " at " << c.rate);
        const Booking::Split s = Booking::split(c.brutto, c.rate);
        EXPECT_EQ(s.mwst, c.mwst);
        EXPECT_DOUBLE_EQ(s.netto, c.netto);
        EXPECT_EQ(s.netto, c.brutto - s.mwst);  // net is what the VAT leaves of the gross
    }
    EXPECT_TRUE(std::isnan(Booking::split(std::numeric_limits<double>::quiet_NaN(), 19).mwst));
}

// Sums of rounded VAT amounts are exact and do not depend on the order of their terms.
TEST(BookingTest, centSumIsExactAndOrderFree) {
    QRandomGenerator rng(5);
    std::vector<double> terms;
    long long cents = 0;
    for (int i = 0; i < 20000; ++i) {
        const double gross = (double(rng.bounded(2000000)) - 500000) / 100;
        const Booking::Split s = Booking::split(gross, i % 3 ? 19 : 7);
        terms.push_back(s.netto);
        cents += std::llround(gross * 100) - std::llround(s.mwst * 100);
    }
    CentSum forward, backward;
    for (double t : terms) forward.add(t);
    for (auto it = terms.rbegin(); it != terms.rend(); ++it) backward.add(*it);
    EXPECT_TRUE(forward.exact());
    EXPECT_EQ(forward.value(), double(cents) / 100);
    EXPECT_EQ(forward.value(), backward.value());
    forward.add(0.001);
    EXPECT_FALSE(forward.exact());
    forward.subtract(0.001);
    EXPECT_DOUBLE_EQ(forward.value(), double(cents) / 100);
}

}  // namespace
