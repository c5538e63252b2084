// SPDX-License-Identifier: GPL-3.0-or-later
#include "storage/FieldCodec.h"

#include <QByteArray>
#include <charconv>
#include <cmath>
#include <cstring>

#include "storage/DayNumber.h"

namespace {

// Plain decimal text ("-1234,56", "19.00", "7") with at most 15 digits: the digits form an exact
// integer and the division by an exact power of ten rounds once, to the same double as a full
// conversion. Anything else (exponents, more digits, trailing characters) is left to from_chars.
bool readPlainDecimal(const char* p, int length, double* value) {
    static constexpr double powersOfTen[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                             1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    int i = 0;
    bool negative = false;
    if (i < length && (p[i] == '-' || p[i] == '+')) negative = p[i++] == '-';
    quint64 mantissa = 0;
    int digits = 0;
    int intDigits = 0;
    while (i < length && p[i] >= '0' && p[i] <= '9') mantissa = mantissa * 10 + quint64(p[i++] - '0'), ++intDigits;
    digits = intDigits;
    int fractionDigits = 0;
    if (i < length && (p[i] == '.' || p[i] == ',')) {
        ++i;
        while (i < length && p[i] >= '0' && p[i] <= '9')
            mantissa = mantissa * 10 + quint64(p[i++] - '0'), ++fractionDigits;
        if (fractionDigits == 0) return false;
        digits += fractionDigits;
    }
    if (i != length || intDigits == 0 || digits > 15) return false;
    const double magnitude = double(mantissa) / powersOfTen[fractionDigits];
    *value = negative ? -magnitude : magnitude;
    return true;
}

// Days since 1 March of year 0 of the proleptic Gregorian calendar, shifted; only differences are used.
qint64 daysFromCivil(int year, int month, int day) {
    year -= month <= 2 ? 1 : 0;
    const qint64 era = (year >= 0 ? year : year - 399) / 400;
    const qint64 yearOfEra = year - era * 400;
    const qint64 dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const qint64 dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra;
}

int daysInMonth(int year, int month) {
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month != 2) return days[month - 1];
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return leap ? 29 : 28;
}

}  // namespace

namespace FieldCodec {

namespace {

double dayNumberViaDate(const char* p) {
    QDate d;
    if (!readDate(p, &d)) return 0;
    return DayNumber::fromDate(d);
}

}  // namespace

bool isBlank(const char* p, int width) {
    for (int i = 0; i < width; ++i)
        if (p[i] != ' ' && p[i] != '\0') return false;
    return true;
}

bool isNullNumber(const char* p, int width) {
    for (int i = 0; i < width; ++i)
        if (p[i] != ' ' && p[i] != '\0' && p[i] != '*') return false;
    return true;
}

bool isWellFormedNumber(const char* p, int width) {
    if (isNullNumber(p, width)) return true;
    int i = 0;
    int end = width;
    while (i < end && (p[i] == ' ' || p[i] == '\0')) ++i;
    while (end > i && (p[end - 1] == ' ' || p[end - 1] == '\0')) --end;
    auto digit = [&](int k) { return k < end && p[k] >= '0' && p[k] <= '9'; };
    if (i < end && (p[i] == '+' || p[i] == '-')) ++i;
    int digits = 0;
    while (digit(i)) ++i, ++digits;
    if (i < end && (p[i] == '.' || p[i] == ',')) {
        ++i;
        while (digit(i)) ++i, ++digits;
    }
    if (digits == 0) return false;
    if (i < end && (p[i] == 'e' || p[i] == 'E')) {
        ++i;
        if (i < end && (p[i] == '+' || p[i] == '-')) ++i;
        int exponent = 0;
        while (digit(i)) ++i, ++exponent;
        if (exponent == 0) return false;
    }
    return i == end;
}

bool isWellFormedDate(const char* p) {
    if (isBlank(p, 8)) return true;
    for (int i = 0; i < 8; ++i)
        if (p[i] < '0' || p[i] > '9') return false;
    auto two = [p](int k) { return (p[k] - '0') * 10 + (p[k + 1] - '0'); };
    const int year = two(0) * 100 + two(2);
    return year > 0 && QDate(year, two(4), two(6)).isValid();
}

bool readNumber(const char* p, int width, double* value) {
    if (isNullNumber(p, width)) {
        *value = 0;
        return false;
    }
    int begin = 0;
    int end = width;
    while (begin < end && (p[begin] == ' ' || p[begin] == '\0')) ++begin;
    while (end > begin && (p[end - 1] == ' ' || p[end - 1] == '\0')) --end;
    if (begin == end) {
        *value = 0;
        return false;
    }
    if (readPlainDecimal(p + begin, end - begin, value)) return true;
    char text[64];
    const int n = std::min(end - begin, int(sizeof text));
    for (int i = 0; i < n; ++i) {
        const char c = p[begin + i];
        text[i] = c == ',' ? '.' : c;
    }
    const char* first = text;
    if (first[0] == '+') ++first;  // from_chars takes no plus sign
    double result = 0;
    const auto [ptr, ec] = std::from_chars(first, text + n, result);
    *value = (ec == std::errc() && std::isfinite(result)) ? result : 0.0;
    (void)ptr;  // trailing garbage after a number is tolerated as other readers do
    return true;
}

bool readDate(const char* p, QDate* date) {
    if (isBlank(p, 8)) {
        *date = QDate();
        return false;
    }
    int digits[8];
    for (int i = 0; i < 8; ++i) {
        if (p[i] < '0' || p[i] > '9') {
            *date = DayNumber::epoch();
            return true;
        }
        digits[i] = p[i] - '0';
    }
    const int year = digits[0] * 1000 + digits[1] * 100 + digits[2] * 10 + digits[3];
    const int month = digits[4] * 10 + digits[5];
    const int day = digits[6] * 10 + digits[7];
    const QDate d(year, month, day);
    *date = (d.isValid() && year > 0) ? d : DayNumber::epoch();
    return true;
}

double dayNumber(const char* p) {
    // The common case without a QDate: eight digits of a real date. Everything else (blank, odd
    // characters, impossible dates) goes the long way, which reads them as day 0.
    int digits[8];
    for (int i = 0; i < 8; ++i) {
        if (p[i] < '0' || p[i] > '9') return dayNumberViaDate(p);
        digits[i] = p[i] - '0';
    }
    const int year = digits[0] * 1000 + digits[1] * 100 + digits[2] * 10 + digits[3];
    const int month = digits[4] * 10 + digits[5];
    const int day = digits[6] * 10 + digits[7];
    if (year <= 0 || month < 1 || month > 12 || day < 1 || day > daysInMonth(year, month)) return dayNumberViaDate(p);
    static const qint64 epochDays = daysFromCivil(1899, 12, 30);
    return double(daysFromCivil(year, month, day) - epochDays);
}

bool encodeNumber(double value, int width, int decimals, char* out, QString* reason) {
    if (!std::isfinite(value)) {
        *reason = QStringLiteral("keine gültige Zahl");
        return false;
    }
    if (std::fabs(value) >= 1e21) {
        *reason = QStringLiteral("zu groß");
        return false;
    }
    // Most values lie well inside the 64-bit range and clearly on one side of a rounding boundary: their
    // digits are those of one integer. value * 10^decimals as a double is off by at most 1/8 below 2^50,
    // so a product within 1/4 of an integer rounds exactly to it.
    static constexpr double powers[] = {1, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};
    if (decimals >= 0 && decimals < int(std::size(powers))) {
        const double scaled = decimals > 0 ? value * powers[decimals] : std::round(value);
        const double nearest = std::nearbyint(scaled);
        if (std::fabs(scaled) < 1e15 && std::fabs(scaled - nearest) <= 0.25) {
            char digits[24];
            char* end = digits + sizeof digits;
            char* at = end;
            quint64 rest = quint64(std::fabs(nearest));
            for (int d = 0; d <= decimals || rest != 0; ++d) {
                if (d == decimals && decimals > 0) *--at = '.';
                *--at = char('0' + rest % 10);
                rest /= 10;
            }
            if (nearest < 0) *--at = '-';
            const int size = int(end - at);
            if (size > width) {
                *reason = QStringLiteral("mehr als %1 Zeichen").arg(width);
                return false;
            }
            std::memset(out, ' ', size_t(width - size));
            std::memcpy(out + width - size, at, size_t(size));
            return true;
        }
    }
    QByteArray text;
    if (decimals > 0) {
        text = QByteArray::number(value, 'f', decimals);
    } else {
        // Rounded as a double: wide fields of other software hold values beyond the 64-bit range.
        text = QByteArray::number(std::round(value), 'f', 0);
    }
    // A tiny negative value rounds to "-0.000"; store it as zero.
    if (text.startsWith('-')) {
        bool allZero = true;
        for (qsizetype i = 1; i < text.size(); ++i)
            if (text[i] != '0' && text[i] != '.') allZero = false;
        if (allZero) text.remove(0, 1);
    }
    if (text.size() > width) {
        *reason = QStringLiteral("mehr als %1 Zeichen").arg(width);
        return false;
    }
    const int pad = width - int(text.size());
    std::memset(out, ' ', size_t(pad));
    std::memcpy(out + pad, text.constData(), size_t(text.size()));
    return true;
}

bool encodeDate(const QDate& date, char* out) {
    if (!date.isValid() || date.year() < 1 || date.year() > 9999) return false;
    int y = 0, m = 0, d = 0;
    date.getDate(&y, &m, &d);
    for (int k = 3; k >= 0; --k, y /= 10) out[k] = char('0' + y % 10);  // YYYYMMDD
    out[4] = char('0' + m / 10);
    out[5] = char('0' + m % 10);
    out[6] = char('0' + d / 10);
    out[7] = char('0' + d % 10);
    return true;
}

}  // namespace FieldCodec
