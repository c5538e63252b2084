// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringView>

#include "startup/BookingSchema.h"

// What every part of the program knows about a booking: the fields of the bookings table by position
// and its schema (startup/BookingSchema.h), the kinds, and the one split of a gross amount into VAT and net.
//
// A booking's VAT is rounded to the cent once, here, and every sum (VAT summary, reports, tax forms) is
// built from these rounded values, so the printed lines of a list add up to its total and the VAT owed
// equals the sum of the receipts.
namespace Booking {

// "E" income, "A" expense, "N" neutral income, "S" neutral expense. Nothing else is a kind.
inline bool isKind(QStringView art) {
    return art == u"E" || art == u"A" || art == u"N" || art == u"S";
}

// The German message that refuses `typed` as a kind (grid, import).
QString kindRefusal(QStringView typed);

// Sign of the signed reports: +1 for "E" and "N", -1 for everything else.
inline int sign(QStringView art) {
    return (art == u"E" || art == u"N") ? 1 : -1;
}
// The same for a kind as BookingRows reads it ('E', 'A', 'N', 'S', or 0 for anything else).
inline int sign(char art) {
    return (art == 'E' || art == 'N') ? 1 : -1;
}

// The value taken to 15 significant digits (what a double can be trusted with), then rounded half away
// from zero to whole cents: 1.005 → 1.01, -2.675 → -2.68. Values of 10^13 and more, and values that are
// not finite, come back unchanged.
double roundToCent(double value);

struct Split {
    double mwst = 0;   // VAT, rounded to the cent
    double netto = 0;  // gross − VAT
};

// VAT = gross × rate ÷ (rate + 100), the product first in extended precision, rounded to the cent; net =
// gross − VAT. A rate of -100 would divide by zero: such a booking has no VAT, its whole amount is net.
Split split(double brutto, double rate);

}  // namespace Booking
