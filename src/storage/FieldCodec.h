// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QString>

// Byte encodings of field values inside a record (blank-padded dBase text). Numbers are written with
// a point whatever the locale, and read with a point or a comma: files of the old program written
// under German settings carry commas.
namespace FieldCodec {

bool isBlank(const char* p, int width);  // blanks or zero bytes only
// A number field that holds no number: blanks, zero bytes or the asterisks some writers fill a null
// number with.
bool isNullNumber(const char* p, int width);

// Whether the stored text of a number field is a number as a careful writer stores it: an optional
// sign, digits with at most one point or comma, an optional exponent, blanks around. Null is fine.
// readNumber is lenient with anything else (display must not fail); this tells whether it had to be.
bool isWellFormedNumber(const char* p, int width);
// Whether a date field is empty or holds eight digits that form a real date.
bool isWellFormedDate(const char* p);

// Reads a numeric field. Returns false for a null field (isNullNumber); text that is no number reads as
// 0, trailing garbage after a number is ignored.
bool readNumber(const char* p, int width, double* value);

// Reads a date field. Returns false for a blank field; digits that form no valid date give day 0.
bool readDate(const char* p, QDate* date);
double dayNumber(const char* p);  // blank or invalid: 0

// Encodes a number right-aligned into `width` bytes; false (with a German reason) when the value is
// not finite or its text is wider than the field. Nothing is written to `out` then.
bool encodeNumber(double value, int width, int decimals, char* out, QString* reason);
// Encodes YYYYMMDD; false when the date is invalid or outside the years 1 to 9999.
bool encodeDate(const QDate& date, char* out);

}  // namespace FieldCodec
