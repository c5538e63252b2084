// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QString>

// Text forms of dates and numbers as the user's locale shows them. Always the default QLocale() (the
// tests pin it), never the system locale, so that a whole run speaks one locale.
namespace LocaleFormat {

// The locale's short date format with a four-digit year ("dd.MM.yyyy" under German settings; Qt's
// own short format has a two-digit year, which would lose the century on a round trip).
QString shortDateFormat();
QString formatDate(const QDate& date);

// Parses a date in the order of the short date format. Any non-digit separates the parts; a two-digit
// year is placed within 50 years of today, a missing year is the current one. Invalid -> QDate().
QDate parseDate(const QString& text);

// The general float text: up to 15 significant digits, the locale's decimal separator, no grouping,
// exponent form ("1,5E20") only for very large or small values.
QString formatFloat(double value);

// Parses a decimal number written with the locale's separator (blanks around it allowed, an exponent
// allowed, no grouping). Returns false when the text is no number.
bool parseFloat(const QString& text, double* value);

// Parses a whole 32-bit number: leading blanks, an optional sign, decimal digits or hex after "$",
// "x" or "0x". The whole text must be used. Returns false otherwise.
bool parseInteger(const QString& text, int* value);

}  // namespace LocaleFormat
