#pragma once

#include <QDate>
#include <QString>

// Byte encodings of field values inside a record (blank-padded dBase text). Numbers are written with
// a point whatever the locale, and read with a point or a comma: files of the old program written
// under German settings carry commas.
namespace FieldCodec {

bool isBlank(const char* p, int width);  // blanks or zero bytes only

// Reads a numeric field. Returns false for a blank field; text that is no number reads as 0.
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
