// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

// A running sum of amounts. Terms that are whole cents (every VAT and net amount of a booking, every
// gross amount with two decimals) are kept as a whole number of cents, so the sum is exact, does not
// depend on the order of its terms, and a term taken out again leaves no trace: the printed lines of a
// report add up to the sum printed under them. Other terms (more decimals, 10^11 and more, NaN) are
// kept apart in extended precision.
class CentSum {
public:
    // The amount as a whole number of cents, when it is one up to the error of a double subtraction.
    static bool wholeCents(double amount, std::int64_t* cents);

    void add(double amount);
    void addCents(std::int64_t cents);  // a term wholeCents has found to be whole cents
    void subtract(double amount);
    double value() const;
    // True while every term was a whole number of cents.
    bool exact() const { return m_otherTerms == 0; }

private:
    std::int64_t m_cents = 0;
    long double m_rest = 0;
    std::int64_t m_otherTerms = 0;
};
