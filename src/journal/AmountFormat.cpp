// SPDX-License-Identifier: GPL-3.0-or-later
#include "journal/AmountFormat.h"

#include <QLocale>
#include <charconv>
#include <cmath>
#include <optional>
#include <string>

namespace {

// Decimal digits of |value| rounded to 15 significant digits, as (digits, exponent of the first digit).
struct Decimal {
    std::string digits;  // exactly 15 digits, the first non-zero unless the value is 0
    int exponent = 0;    // value = 0.d1d2d3... * 10^(exponent + 1)
};

Decimal toDecimal15(double magnitude) {
    char buf[64];
    // Scientific with 14 digits after the point = 15 significant digits, correctly rounded.
    const auto res = std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific, 14);
    const std::string text(buf, res.ptr);
    Decimal d;
    const auto ePos = text.find('e');
    for (std::size_t i = 0; i < ePos; ++i) {
        if (text[i] != '.') d.digits.push_back(text[i]);
    }
    d.exponent = std::stoi(text.substr(ePos + 1));
    return d;
}

}  // namespace

QString formatAmount(double value) {
    if (!std::isfinite(value)) return {};
    const bool negative = std::signbit(value);
    const Decimal d = toDecimal15(std::fabs(value));

    // Fixed digits: integer part and two decimals, then one guard digit for rounding.
    // Position k in the fixed form corresponds to the digit of weight 10^(exponent - k).
    std::string integerPart;
    std::string fraction;  // three digits: two shown plus the rounding digit
    auto digitAt = [&](int weight) -> char {
        const int index = d.exponent - weight;
        if (index < 0 || index >= int(d.digits.size())) return '0';
        return d.digits[std::size_t(index)];
    };
    if (value == 0.0) {
        integerPart = "0";
        fraction = "000";
    } else {
        for (int weight = std::max(d.exponent, 0); weight >= 0; --weight) integerPart.push_back(digitAt(weight));
        for (int weight = -1; weight >= -3; --weight) fraction.push_back(digitAt(weight));
    }

    // Half away from zero on the magnitude: look at the third decimal only; the 15-digit rounding above
    // already decided everything beyond it.
    std::string number = integerPart + fraction.substr(0, 2);
    if (fraction[2] >= '5') {
        int i = int(number.size()) - 1;
        while (i >= 0) {
            if (number[std::size_t(i)] == '9') {
                number[std::size_t(i)] = '0';
                --i;
            } else {
                ++number[std::size_t(i)];
                break;
            }
        }
        if (i < 0) number.insert(number.begin(), '1');
    }
    // Drop leading zeros of the integer part but keep one.
    std::size_t first = 0;
    while (first + 3 < number.size() && number[first] == '0') ++first;
    number.erase(0, first);

    const bool allZero = number.find_first_not_of('0') == std::string::npos;
    QString out;
    out.reserve(int(number.size()) + 2);
    if (negative && !allZero) out.append(QLatin1Char('-'));
    out.append(QLatin1StringView(number.data(), qsizetype(number.size() - 2)));
    out.append(QLocale().decimalPoint());
    out.append(QLatin1StringView(number.data() + number.size() - 2, 2));
    return out;
}

QString formatAmountWithCurrency(double value, const QString& currency) {
    return formatAmount(value) + QLatin1Char(' ') + currency;
}

namespace {

bool isDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

bool allDigits(QStringView text) {
    for (QChar c : text) {
        if (!isDigit(c)) return false;
    }
    return true;
}

// Integer digits written with `group` between groups of three ("1.234.567"), or plain digits.
bool readIntegerPart(QStringView text, QChar group, QString& digits) {
    if (!text.contains(group)) {
        if (!allDigits(text)) return false;
        digits = text.toString();
        return true;
    }
    const auto groups = text.split(group);
    for (qsizetype i = 0; i < groups.size(); ++i) {
        const QStringView g = groups[i];
        if (!allDigits(g) || g.isEmpty() || (i == 0 ? g.size() > 3 : g.size() != 3)) return false;
        digits += g;
    }
    return true;
}

std::optional<double> readAmount(const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty()) return 0.0;
    QStringView body(trimmed);
    QString number;
    if (body.front() == QLatin1Char('-') || body.front() == QLatin1Char('+')) {
        if (body.front() == QLatin1Char('-')) number += QLatin1Char('-');
        body = body.mid(1);
    }
    for (QChar c : body) {
        if (!isDigit(c) && c != QLatin1Char('.') && c != QLatin1Char(',')) return std::nullopt;
    }
    const QChar decimal = QLocale().decimalPoint() == QLatin1String(",") ? QLatin1Char(',') : QLatin1Char('.');
    const QChar group = decimal == QLatin1Char(',') ? QLatin1Char('.') : QLatin1Char(',');

    QStringView integerPart = body;
    QStringView fraction;
    bool hasFraction = false;
    if (body.count(decimal) > 1) return std::nullopt;
    if (const qsizetype at = body.indexOf(decimal); at >= 0) {
        integerPart = body.left(at);
        fraction = body.mid(at + 1);
        hasFraction = true;
    } else if (body.count(group) == 1 && body.size() - body.indexOf(group) - 1 != 3) {
        // "119.50" where the locale writes "119,50": the point is meant as the decimal separator.
        const qsizetype at = body.indexOf(group);
        integerPart = body.left(at);
        fraction = body.mid(at + 1);
        hasFraction = true;
    }
    QString digits;
    if (!readIntegerPart(integerPart, group, digits) || !allDigits(fraction)) return std::nullopt;
    if (digits.isEmpty() && fraction.isEmpty()) return std::nullopt;
    number += digits.isEmpty() ? QStringLiteral("0") : digits;
    if (hasFraction && !fraction.isEmpty()) number += QLatin1Char('.') + fraction.toString();
    bool ok = false;
    const double value = number.toDouble(&ok);
    if (!ok || !std::isfinite(value)) return std::nullopt;
    return value;
}

}  // namespace

double parseAmount(const QString& text, bool* ok) {
    const std::optional<double> value = readAmount(text);
    if (ok) *ok = value.has_value();
    return value.value_or(0.0);
}

QString amountMessage(const QString& text) {
    return QStringLiteral(
               "„%1“ ist kein Betrag.\nBitte geben Sie den Betrag mit Ziffern ein, zum Beispiel 119,50 "
               "oder 1.234,56.")
        .arg(text.trimmed());
}
