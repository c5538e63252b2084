// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QRandomGenerator>
#include <charconv>
#include <cmath>
#include <cstring>

#include "storage/DayNumber.h"
#include "storage/FieldCodec.h"

namespace {

// What every stored number reads as: the text between the blanks, comma as point, through from_chars.
double viaFromChars(const QByteArray& field) {
    QByteArray text = field.trimmed();
    text.replace(',', '.');
    const char* first = text.constData();
    if (*first == '+') ++first;
    double v = 0;
    const auto [ptr, ec] = std::from_chars(first, text.constData() + text.size(), v);
    (void)ptr;
    return ec == std::errc() && std::isfinite(v) ? v : 0.0;
}

void expectSameNumber(const QByteArray& field) {
    SCOPED_TRACE(field.constData());
    double v = -1;
    ASSERT_TRUE(FieldCodec::readNumber(field.constData(), int(field.size()), &v));
    const double expected = viaFromChars(field);
    EXPECT_EQ(std::memcmp(&v, &expected, sizeof v), 0) << v << " vs " << expected;  // bit for bit, -0 too
}

TEST(FieldCodecReadTest, numbersReadBitForBitAsAFullConversion) {
    for (const char* text : {"119.50", "-0.00", "+7", "0,1", "1234567890.12345", "123456789012345", "1234567890123456",
                             "0.000000000000001", "99999999.99999999", "1e5", "12a,50", "5.", ".5", "-", "+-5",
                             "00000000000000000012.5", "-9.99", "   42   ", "3,14159"}) {
        expectSameNumber(QByteArray(text).rightJustified(20, ' '));
    }
    QRandomGenerator rng(11);
    for (int i = 0; i < 20000; ++i) {
        const int decimals = int(rng.bounded(9));
        const double value = (rng.generateDouble() - 0.5) * std::pow(10.0, rng.bounded(14));
        expectSameNumber(QByteArray::number(value, 'f', decimals).rightJustified(20, ' '));
    }
}

// Stored numbers are the fixed notation of the value, rounded half away from zero on its exact binary value
// (exact halves such as 0.125 included), without the sign of a zero, right-aligned.
TEST(FieldCodecReadTest, numbersEncodeAsTheirExactFixedNotation) {
    auto expected = [](double value, int width, int decimals) {
        QByteArray text = QByteArray::number(decimals > 0 ? value : std::round(value), 'f', decimals);
        if (text.startsWith('-') && text.count('0') + text.count('.') == text.size() - 1) text.remove(0, 1);
        return text.size() > width ? QByteArray() : text.rightJustified(width, ' ');
    };
    auto check = [&](double value, int width, int decimals) {
        char field[32];
        QString reason;
        const QByteArray got =
            FieldCodec::encodeNumber(value, width, decimals, field, &reason) ? QByteArray(field, width) : QByteArray();
        ASSERT_EQ(got, expected(value, width, decimals)) << value << " " << width << " " << decimals;
    };
    const double edges[] = {0.0,
                            -0.0,
                            0.005,
                            -0.004,
                            0.125,
                            -0.125,
                            2.675,
                            1.005,
                            0.5,
                            -0.5,
                            2.5,
                            -2.5,
                            119.5,
                            -119.995,
                            1e15,
                            1e20,
                            1e14 + 0.5,
                            -1e15 - 1,
                            999999999999999.0,
                            123456789.125,
                            4503599627370497.0};
    for (const double v : edges)
        for (const int decimals : {0, 1, 2, 3, 8, 9, 10})
            for (const int width : {4, 12, 25}) check(v, width, decimals);
    QRandomGenerator rng(7);
    for (int i = 0; i < 100000; ++i) {
        const int decimals = int(rng.bounded(11));
        const double value = (rng.generateDouble() - 0.5) * std::pow(10.0, rng.bounded(17));
        // Amounts as typed: few decimals, so often near a rounding boundary of fewer decimals.
        const double typed = std::round(value * 1000) / 1000;
        check(value, 20, decimals);
        check(typed, 20, decimals);
    }
}

TEST(FieldCodecReadTest, datesGiveTheDayNumberOfTheCalendar) {
    for (QDate d(1600, 1, 1); d < QDate(2500, 1, 1); d = d.addDays(13)) {
        const QByteArray field = d.toString(QStringLiteral("yyyyMMdd")).toLatin1();
        ASSERT_EQ(FieldCodec::dayNumber(field.constData()), DayNumber::fromDate(d)) << field.constData();
    }
    for (const char* odd : {"20240230", "20230229", "20241301", "20240000", "00000101", "2024 101", "        ",
                            "2024010a", "20240229", "21000229", "20000229"}) {
        QDate d;
        const double expected = FieldCodec::readDate(odd, &d) ? DayNumber::fromDate(d) : 0;
        EXPECT_EQ(FieldCodec::dayNumber(odd), expected) << odd;
    }
}

}  // namespace
