// SPDX-License-Identifier: GPL-3.0-or-later
#include "journal/CentSum.h"

#include <cmath>

bool CentSum::wholeCents(double amount, std::int64_t* cents) {
    if (!std::isfinite(amount) || std::fabs(amount) >= 1e11) return false;
    const double scaled = amount * 100;
    const double nearest = std::nearbyint(scaled);
    // A net amount (gross minus VAT) may miss the cent by the rounding of the subtraction; eight
    // decimals as stored (1e-6 cent) are a real difference.
    if (std::fabs(scaled - nearest) > 1e-7 + 1e-14 * std::fabs(scaled)) return false;
    *cents = static_cast<std::int64_t>(nearest);
    return true;
}

void CentSum::addCents(std::int64_t cents) {
    m_cents += cents;
}

void CentSum::add(double amount) {
    std::int64_t cents = 0;
    if (wholeCents(amount, &cents)) {
        m_cents += cents;
    } else {
        m_rest += amount;
        ++m_otherTerms;
    }
}

void CentSum::subtract(double amount) {
    add(-amount);
}

double CentSum::value() const {
    if (m_otherTerms == 0) return static_cast<double>(m_cents) / 100;
    return static_cast<double>(static_cast<long double>(m_cents) / 100 + m_rest);
}
