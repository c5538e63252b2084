// SPDX-License-Identifier: GPL-3.0-or-later
#include "journal/Booking.h"

#include <charconv>
#include <cmath>
#include <cstdint>

namespace Booking {

QString kindRefusal(QStringView typed) {
    const QString allowed = QStringLiteral(
        "Zulässig sind E (Einnahme), A (Ausgabe), N (gewinnneutral, Einnahmeseite) und S (gewinnneutral, "
        "Ausgabeseite).");
    if (typed.trimmed().isEmpty()) return QStringLiteral("Die Buchungsart fehlt. ") + allowed;
    return QStringLiteral("„%1“ ist keine Buchungsart. %2").arg(typed.toString(), allowed);
}

double roundToCent(double value) {
    if (!std::isfinite(value) || std::fabs(value) >= 1e13) return value;
    if (value == 0) return 0;
    // Most values lie far from a half cent: the 15 digits (at most 5e-15 of the value away) and the
    // double itself then round alike, and the text form is not needed.
    const double scaled = std::fabs(value) * 100;
    const double whole = std::floor(scaled);
    const double fraction = scaled - whole;
    if (std::fabs(fraction - 0.5) > 1e-13 * scaled + 1e-9) {
        const double cents = fraction > 0.5 ? whole + 1 : whole;
        if (cents == 0) return 0;
        return (value < 0 ? -cents : cents) / 100.0;
    }
    // Scientific with 14 digits after the point: 15 significant digits, correctly rounded.
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific, 14);
    char digits[15];
    int count = 0;
    const char* p = buf;
    for (; p < res.ptr && *p != 'e'; ++p) {
        if (*p != '.' && count < 15) digits[count++] = *p;
    }
    int exponent = 0;  // weight of the first digit: value = d1.d2d3... * 10^exponent
    std::from_chars(p + 1 + (p[1] == '+' ? 1 : 0), res.ptr, exponent);
    const auto digitAt = [&](int weight) {
        const int index = exponent - weight;
        return (index < 0 || index >= count) ? 0 : digits[index] - '0';
    };
    std::int64_t cents = 0;
    for (int weight = exponent; weight >= -2; --weight) cents = cents * 10 + digitAt(weight);
    if (digitAt(-3) >= 5) ++cents;
    if (cents == 0) return 0;
    return (value < 0 ? -double(cents) : double(cents)) / 100.0;
}

Split split(double brutto, double rate) {
    if (rate + 100 == 0) return {0, brutto};
    const long double vat = static_cast<long double>(brutto) * rate / (static_cast<long double>(rate) + 100);
    const double mwst = roundToCent(static_cast<double>(vat));
    return {mwst, brutto - mwst};
}

}  // namespace Booking
