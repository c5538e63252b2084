// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QString>
#include <optional>

// How the values of a CSV line are read. Every reader takes the whole text (blanks around it aside) or
// nothing: a value is stored only when it says one thing unambiguously, and anything else is refused, so
// that an import never stores a value other than the one the file holds.
namespace CsvValues {

// Dates written day.month.year ("16.04.2026", "16.4.2026", "16.4.26": a two-digit year in the booking
// year's century), in the locale's short date form, or as ISO "2026-04-16". Digits 0-9 only.
std::optional<QDate> readDate(const QString& text, int bookingYear);

// Amounts: the table layer's own number form (the locale's decimal separator, an exponent allowed:
// "1,5E20"); when both "." and "," appear, the last of them is the decimal mark and the other groups
// thousands in threes ("1.234,56", "1,234.56"); otherwise the entry panel's reading (parseAmount).
// Not finite, empty or anything else: no value.
std::optional<double> readAmount(const QString& text);

// Whole numbers in decimal digits with an optional sign, within 32 bits. No hexadecimal, no separators.
std::optional<int> readWholeNumber(const QString& text);

// Spreadsheet programs run a cell that begins with "=", "+", "-", "@", a tab or a carriage return as a
// formula. neutralise() puts an apostrophe in front of such a text (and of a text that already begins
// with apostrophes followed by one of them, so that the step can be undone exactly); restore() takes
// exactly that apostrophe away again.
QString neutralise(const QString& text);
QString restore(const QString& text);

}  // namespace CsvValues
