// SPDX-License-Identifier: GPL-3.0-or-later
#include "exchange/CsvValues.h"

#include <QLocale>
#include <charconv>
#include <cmath>

#include "journal/AmountFormat.h"
#include "storage/LocaleFormat.h"

namespace CsvValues {

namespace {

bool isDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// Reads 1 to maxDigits digits at `pos`; -1 when there are none or more.
int readNumberAt(QStringView text, qsizetype& pos, int minDigits, int maxDigits) {
    int value = 0;
    int count = 0;
    while (pos < text.size() && isDigit(text[pos])) {
        if (++count > maxDigits) return -1;
        value = value * 10 + (text[pos].unicode() - u'0');
        ++pos;
    }
    return count >= minDigits ? value : -1;
}

std::optional<QDate> dateOf(int year, int month, int day) {
    const QDate date(year, month, day);
    if (year < 1 || !date.isValid()) return std::nullopt;
    return date;
}

// "2026-04-16"
std::optional<QDate> readIso(QStringView t) {
    if (t.size() != 10 || t[4] != QLatin1Char('-') || t[7] != QLatin1Char('-')) return std::nullopt;
    qsizetype pos = 0;
    const int year = readNumberAt(t, pos, 4, 4);
    pos = 5;
    const int month = readNumberAt(t, pos, 2, 2);
    pos = 8;
    const int day = readNumberAt(t, pos, 2, 2);
    if (year < 0 || month < 0 || day < 0) return std::nullopt;
    return dateOf(year, month, day);
}

// Day, month and year in the order and with the separators of `format` (tokens d/dd, M/MM, yy/yyyy;
// every other character must stand as it is). Day and month take one or two digits, the year two or four.
std::optional<QDate> readByFormat(QStringView t, QStringView format, int bookingYear) {
    int day = -1, month = -1, year = -1;
    qsizetype pos = 0;
    for (qsizetype f = 0; f < format.size();) {
        const QChar token = format[f];
        qsizetype run = f;
        while (run < format.size() && format[run] == token) ++run;
        const qsizetype length = run - f;
        if (token == QLatin1Char('d') || token == QLatin1Char('M')) {
            if (length > 2) return std::nullopt;
            (token == QLatin1Char('d') ? day : month) = readNumberAt(t, pos, 1, 2);
        } else if (token == QLatin1Char('y')) {
            const qsizetype start = pos;
            const int value = readNumberAt(t, pos, 2, 4);
            if (value < 0 || (pos - start != 2 && pos - start != 4)) return std::nullopt;
            year = pos - start == 2 ? (bookingYear / 100) * 100 + value : value;
        } else if (token.isLetter()) {
            return std::nullopt;  // a month name or weekday: not a form a file carries
        } else {
            for (qsizetype k = f; k < run; ++k, ++pos)
                if (pos >= t.size() || t[pos] != format[k]) return std::nullopt;
        }
        f = run;
    }
    if (pos != t.size() || day < 0 || month < 0 || year < 0) return std::nullopt;
    return dateOf(year, month, day);
}

// Whole-part digits grouped in threes by `group` ("1.234.567"), or plain digits.
bool appendGroupedDigits(QStringView text, QChar group, QString& out) {
    if (text.isEmpty()) return false;
    qsizetype groupStart = 0;
    bool grouped = false;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i < text.size() && isDigit(text[i])) continue;
        if (i < text.size() && text[i] != group) return false;
        const qsizetype length = i - groupStart;
        if (grouped || i < text.size()) {
            // First group 1 to 3 digits, every later one exactly 3.
            if (groupStart == 0 ? (length < 1 || length > 3) : length != 3) return false;
            grouped = true;
        }
        out += text.mid(groupStart, length);
        groupStart = i + 1;
    }
    return true;
}

// Both separators present: the last one is the decimal mark.
std::optional<double> readWithBothSeparators(QStringView t) {
    QString number;
    if (t.front() == QLatin1Char('-') || t.front() == QLatin1Char('+')) {
        if (t.front() == QLatin1Char('-')) number += QLatin1Char('-');
        t = t.mid(1);
    }
    const qsizetype lastPoint = t.lastIndexOf(QLatin1Char('.'));
    const qsizetype lastComma = t.lastIndexOf(QLatin1Char(','));
    const qsizetype at = std::max(lastPoint, lastComma);
    const QChar group = at == lastPoint ? QLatin1Char(',') : QLatin1Char('.');
    const QStringView fraction = t.mid(at + 1);
    if (fraction.isEmpty()) return std::nullopt;
    for (QChar c : fraction)
        if (!isDigit(c)) return std::nullopt;
    if (!appendGroupedDigits(t.left(at), group, number)) return std::nullopt;
    number += QLatin1Char('.') + fraction.toString();
    bool ok = false;
    const double value = number.toDouble(&ok);
    if (!ok || !std::isfinite(value)) return std::nullopt;
    return value;
}

bool startsFormula(QStringView text) {
    qsizetype i = 0;
    while (i < text.size() && text[i] == QLatin1Char('\'')) ++i;
    if (i == text.size()) return false;
    switch (text[i].unicode()) {
        case u'=':
        case u'+':
        case u'-':
        case u'@':
        case u'\t':
        case u'\r':
            return true;
        default:
            return false;
    }
}

}  // namespace

std::optional<QDate> readDate(const QString& text, int bookingYear) {
    const QStringView t = QStringView(text).trimmed();
    if (t.isEmpty()) return std::nullopt;
    if (t.size() == 10 && t[4] == QLatin1Char('-')) return readIso(t);
    if (auto date = readByFormat(t, u"d.M.y", bookingYear)) return date;
    static thread_local QString localeFormat;
    static thread_local QString localeName;
    if (localeName != QLocale().name()) {
        localeName = QLocale().name();
        localeFormat = LocaleFormat::shortDateFormat();
    }
    return readByFormat(t, localeFormat, bookingYear);
}

namespace {

// The common forms "1234", "-119,50" or "7.5" read straight, when the separator is the locale's decimal
// point: the value parseFloat gives them. Nothing for any other text.
std::optional<double> readPlainAmount(QStringView t) {
    char c[40];
    int n = 0;
    qsizetype i = 0;
    if (t.size() >= qsizetype(sizeof c) || t.isEmpty()) return std::nullopt;
    if (t[0] == QLatin1Char('-')) c[n++] = '-';
    if (t[0] == QLatin1Char('-') || t[0] == QLatin1Char('+')) ++i;
    const qsizetype digitsFrom = i;
    while (i < t.size() && isDigit(t[i])) c[n++] = char(t[i++].unicode());
    if (i == digitsFrom) return std::nullopt;
    if (i < t.size()) {
        const QChar separator = t[i++];
        if (separator != QLatin1Char(',') && separator != QLatin1Char('.')) return std::nullopt;
        if (QLocale().decimalPoint() != QString(separator)) return std::nullopt;
        c[n++] = '.';
        const qsizetype fractionFrom = i;
        while (i < t.size() && isDigit(t[i])) c[n++] = char(t[i++].unicode());
        if (i == fractionFrom || i != t.size()) return std::nullopt;
    }
    double value = 0;
    const auto [end, ec] = std::from_chars(c, c + n, value);
    if (ec != std::errc() || end != c + n || !std::isfinite(value)) return std::nullopt;
    return value;
}

}  // namespace

std::optional<double> readAmount(const QString& text) {
    const QString t = text.trimmed();
    if (t.isEmpty()) return std::nullopt;
    if (const auto plain = readPlainAmount(t)) return plain;
    double value = 0;
    if (LocaleFormat::parseFloat(t, &value)) return value;
    if (t.contains(QLatin1Char('.')) && t.contains(QLatin1Char(','))) return readWithBothSeparators(t);
    bool ok = false;
    value = parseAmount(t, &ok);
    if (!ok || !std::isfinite(value)) return std::nullopt;
    return value;
}

std::optional<int> readWholeNumber(const QString& text) {
    QStringView t = QStringView(text).trimmed();
    bool negative = false;
    if (!t.isEmpty() && (t.front() == QLatin1Char('-') || t.front() == QLatin1Char('+'))) {
        negative = t.front() == QLatin1Char('-');
        t = t.mid(1);
    }
    if (t.isEmpty()) return std::nullopt;
    qint64 value = 0;
    for (QChar c : t) {
        if (!isDigit(c)) return std::nullopt;
        value = value * 10 + (c.unicode() - u'0');
        if (value > qint64(INT_MAX) + 1) return std::nullopt;
    }
    if (negative) value = -value;
    if (value > INT_MAX || value < INT_MIN) return std::nullopt;
    return int(value);
}

QString neutralise(const QString& text) {
    return startsFormula(text) ? QLatin1Char('\'') + text : text;
}

QString restore(const QString& text) {
    return text.startsWith(QLatin1Char('\'')) && startsFormula(text) ? text.mid(1) : text;
}

}  // namespace CsvValues
