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

// Reads an amount typed into a field: the locale's decimal separator (thousands separators accepted where
// the locale has them); in a comma locale a single point is read as the decimal separator too, unless
// exactly three digits follow it ("1.234" stays one thousand two hundred thirty-four). Leading and
// trailing blanks are ignored. A text that is no finite number counts as 0.
double parseAmount(const QString& text);
