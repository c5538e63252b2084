#include "storage/FieldCodec.h"

#include <QByteArray>
#include <charconv>
#include <cmath>
#include <cstring>

#include "storage/DayNumber.h"

namespace FieldCodec {

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
    QDate d;
    if (!readDate(p, &d)) return 0;
    return DayNumber::fromDate(d);
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
    const QByteArray text = QByteArray::number(date.year()).rightJustified(4, '0') +
                            QByteArray::number(date.month()).rightJustified(2, '0') +
                            QByteArray::number(date.day()).rightJustified(2, '0');
    std::memcpy(out, text.constData(), 8);
    return true;
}

}  // namespace FieldCodec
