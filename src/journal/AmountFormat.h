// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The one display form of amounts and rates, shared by the entry panel, the journal, the VAT summary and
// the reports: fixed point, exactly two decimals, the default locale's decimal separator, no thousands
// separator, a leading minus. The value is first taken to 15 significant digits (what a double can be
// trusted with) and then rounded half away from zero, so 1.005 shows as 1,01 and 2.675 as 2,68.
// Amounts are never rounded anywhere else.

// "119,00", "-7,50", "0,00". Values that are not finite (a division by a rate of -100) give an empty text.
QString formatAmount(double value);

// formatAmount(value) + " " + currency: "19,00 €".
QString formatAmountWithCurrency(double value, const QString& currency);

// Reads an amount typed into a field, strictly: digits, the separators "." and ",", and a sign in front;
// leading and trailing blanks are ignored. The locale's decimal separator separates the decimals; the
// other of the two separators groups thousands in groups of three ("1.234.567,89" in a comma locale).
// A single other separator that is not followed by exactly three digits is read as the decimal
// separator ("119.50" is 119,50 in a comma locale, "119,50" is 119.50 in a point locale), so a price
// typed either way is never multiplied by a hundred. An empty text is 0. Anything else ("12a,50",
// "1.2.3", "1,2,3,4", "abc") is no amount: *ok becomes false and the result is 0.
double parseAmount(const QString& text, bool* ok = nullptr);

// The German message for a text parseAmount refused, saying what to type instead.
QString amountMessage(const QString& text);
