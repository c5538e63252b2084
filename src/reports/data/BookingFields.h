#pragma once

#include <QStringView>

// What the reports read of a booking: the fields of the bookings table by position, and the split of a
// gross amount into VAT and net.
namespace BookingFields {

constexpr int Datum = 0;
constexpr int Art = 1;
constexpr int Beleg = 2;
constexpr int Text = 3;
constexpr int Brutto = 4;
constexpr int MwSt = 5;
constexpr int Konto = 6;
constexpr int Sammelkonto = 9;
constexpr int Kostenstelle = 10;

// VAT = g * p / (p + 100) and net = g * 100 / (p + 100), the product first, in extended precision. A rate
// of -100 would divide by zero and turn every sum it enters into infinity or NaN; such a booking counts
// as having no VAT (as in the VAT summary), its whole amount as net.
struct Split {
    long double mwst;
    long double netto;
};
inline Split split(long double g, long double p) {
    if (p + 100 == 0) return {0, g};
    return {g * p / (p + 100), g * 100 / (p + 100)};
}

// Adds one booking's term to a double sum (the addition in extended precision, as the VAT summary does).
inline void addTo(double& sum, long double term) {
    sum = static_cast<double>(sum + term);
}

// Sign factor of the signed reports: +1 for income ("E") and neutral income ("N"), -1 for everything else.
inline int sign(QStringView art) {
    return (art == u"E" || art == u"N") ? 1 : -1;
}

}  // namespace BookingFields
