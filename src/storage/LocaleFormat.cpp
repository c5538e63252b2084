// SPDX-License-Identifier: GPL-3.0-or-later
#include "storage/LocaleFormat.h"

#include <QLocale>
#include <charconv>
#include <climits>
#include <cmath>
#include <string>

namespace LocaleFormat {

QString shortDateFormat() {
    QString format = QLocale().dateFormat(QLocale::ShortFormat);
    // Widen every run of 'y' to four; a format that already has four stays as it is.
    QString result;
    for (int i = 0; i < format.size();) {
        if (format[i] == QLatin1Char('y')) {
            int j = i;
            while (j < format.size() && format[j] == QLatin1Char('y')) ++j;
            result += QStringLiteral("yyyy");
            i = j;
        } else {
            result += format[i++];
        }
    }
    return result;
}

QString formatDate(const QDate& date) {
    return QLocale().toString(date, shortDateFormat());
}

QDate parseDate(const QString& text) {
    const QString format = shortDateFormat();
    // Order of day, month and year as the format names them.
    QString order;
    for (const QChar c : format) {
        const QChar lower = c.toLower();
        if ((lower == QLatin1Char('d') || lower == QLatin1Char('m') || lower == QLatin1Char('y')) &&
            !order.contains(lower))
            order += lower;
    }
    if (order.size() != 3) order = QStringLiteral("dmy");

    QList<int> parts;
    QList<int> digitCounts;
    const QString trimmed = text.trimmed();
    int i = 0;
    while (i < trimmed.size()) {
        if (!trimmed[i].isDigit()) {
            // Only a single separator between parts; letters make the text no date.
            if (trimmed[i].isLetter()) return {};
            ++i;
            continue;
        }
        int value = 0;
        int count = 0;
        while (i < trimmed.size() && trimmed[i].isDigit()) {
            if (count >= 4) return {};
            value = value * 10 + trimmed[i].digitValue();
            ++count;
            ++i;
        }
        parts.append(value);
        digitCounts.append(count);
    }
    if (parts.size() < 2 || parts.size() > 3) return {};

    const int today = QDate::currentDate().year();
    int day = 0, month = 0, year = today;
    bool yearGiven = false;
    int yearDigits = 4;
    int k = 0;
    for (const QChar part : order) {
        if (part == QLatin1Char('y')) {
            if (parts.size() == 2) continue;  // "1.2" means this year
            year = parts[k];
            yearDigits = digitCounts[k];
            yearGiven = true;
        } else if (part == QLatin1Char('d')) {
            day = parts[k];
        } else {
            month = parts[k];
        }
        ++k;
    }
    if (yearGiven && yearDigits <= 2) {
        // Two-digit years fall into the window of 50 years around today.
        int candidate = (today / 100) * 100 + year;
        if (candidate > today + 50) candidate -= 100;
        if (candidate <= today - 50) candidate += 100;
        year = candidate;
    }
    return QDate(year, month, day);
}

QString formatFloat(double value) {
    if (std::isnan(value) || std::isinf(value)) return QString::number(value);
    if (value == 0) return QStringLiteral("0");
    QString text = QString::number(value, 'g', 15);
    // Qt writes "1e+20"; the program's users know "1E20".
    const qsizetype e = text.indexOf(QLatin1Char('e'));
    if (e >= 0) {
        QString mantissa = text.left(e);
        QString exponent = text.mid(e + 1);
        bool negative = exponent.startsWith(QLatin1Char('-'));
        if (exponent.startsWith(QLatin1Char('+')) || negative) exponent.remove(0, 1);
        while (exponent.size() > 1 && exponent.startsWith(QLatin1Char('0'))) exponent.remove(0, 1);
        text = mantissa + QLatin1Char('E') + (negative ? QStringLiteral("-") : QString()) + exponent;
    }
    const QString separator = QLocale().decimalPoint();
    if (separator != QLatin1String(".")) text.replace(QLatin1Char('.'), separator);
    return text;
}

bool parseFloat(const QString& text, double* value) {
    const QString trimmed = text.trimmed();
    const QString separator = QLocale().decimalPoint();
    // Rebuild the number in C form, accepting only sign, digits, one separator and an exponent.
    std::string c;
    c.reserve(size_t(trimmed.size()));
    int i = 0;
    const int n = int(trimmed.size());
    if (i < n && (trimmed[i] == QLatin1Char('+') || trimmed[i] == QLatin1Char('-'))) {
        if (trimmed[i] == QLatin1Char('-')) c += '-';
        ++i;
    }
    int digits = 0;
    while (i < n && trimmed[i].isDigit() && trimmed[i].unicode() < 128) {
        c += char(trimmed[i].unicode());
        ++i;
        ++digits;
    }
    if (i < n && QStringView(trimmed).mid(i).startsWith(separator)) {
        c += '.';
        i += int(separator.size());
        while (i < n && trimmed[i].isDigit() && trimmed[i].unicode() < 128) {
            c += char(trimmed[i].unicode());
            ++i;
            ++digits;
        }
    }
    if (digits == 0) return false;
    if (i < n && (trimmed[i] == QLatin1Char('e') || trimmed[i] == QLatin1Char('E'))) {
        c += 'e';
        ++i;
        if (i < n && (trimmed[i] == QLatin1Char('+') || trimmed[i] == QLatin1Char('-'))) {
            c += char(trimmed[i].unicode());
            ++i;
        }
        int expDigits = 0;
        while (i < n && trimmed[i].isDigit() && trimmed[i].unicode() < 128) {
            c += char(trimmed[i].unicode());
            ++i;
            ++expDigits;
        }
        if (expDigits == 0) return false;
    }
    if (i != n) return false;
    double result = 0;
    const auto [end, ec] = std::from_chars(c.data(), c.data() + c.size(), result);
    if (ec != std::errc() || end != c.data() + c.size() || !std::isfinite(result)) return false;
    *value = result;
    return true;
}

bool parseInteger(const QString& text, int* value) {
    int i = 0;
    const int n = int(text.size());
    while (i < n && text[i] == QLatin1Char(' ')) ++i;
    bool negative = false;
    if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    bool hex = false;
    if (i < n && (text[i] == QLatin1Char('$') || text[i] == QLatin1Char('x') || text[i] == QLatin1Char('X'))) {
        hex = true;
        ++i;
    } else if (i + 1 < n && text[i] == QLatin1Char('0') &&
               (text[i + 1] == QLatin1Char('x') || text[i + 1] == QLatin1Char('X'))) {
        hex = true;
        i += 2;
    }
    if (i >= n) return false;
    qint64 result = 0;
    for (; i < n; ++i) {
        const char16_t ch = text[i].unicode();
        int digit;
        if (ch >= u'0' && ch <= u'9')
            digit = ch - u'0';
        else if (hex && ch >= u'a' && ch <= u'f')
            digit = ch - u'a' + 10;
        else if (hex && ch >= u'A' && ch <= u'F')
            digit = ch - u'A' + 10;
        else
            return false;
        result = result * (hex ? 16 : 10) + digit;
        if (result > 0xFFFFFFFFLL) return false;
    }
    if (hex) {
        // Hex spells the 32-bit pattern: $FFFFFFFF is -1.
        qint32 pattern = qint32(quint32(result));
        *value = negative ? qint32(0u - quint32(pattern)) : pattern;
        return true;
    }
    if (negative) result = -result;
    if (result < INT_MIN || result > INT_MAX) return false;
    *value = int(result);
    return true;
}

}  // namespace LocaleFormat
