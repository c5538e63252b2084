// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include "storage/FieldDef.h"

class DbfTable;

// A field of an open table, in file order. Reads and writes go through the table's current record:
// the edit buffer while inserting or editing, the record under the cursor otherwise (or the candidate
// record while the filter callback runs). Conversions follow the dataset rules the program relies on:
//
//   type     AsString read          AsString write        AsFloat      AsInteger     AsDateTime
//   string   text, trailing blanks  cut at field width     parse (locale separator) / whole number / date
//   date     dd.MM.yyyy (locale)    parsed; "" -> empty    day number   -            day number
//   float    up to 15 sig. digits   parsed                 value        -            -
//   integer  decimal digits         parsed                 value        value        -
//   empty date/float/integer: AsString "", AsFloat/AsInteger/AsDateTime 0.
//
// Failed conversions throw ConversionError and leave the record untouched; so does text with characters
// the table's code page cannot hold (they are named in the message rather than stored as '?').
class DbfField {
public:
    DbfField(DbfTable& table, int index) : m_table(table), m_index(index) {}

    const QString& FieldName() const;  // stored name (upper case, at most 10 characters)
    FieldType DataType() const;
    char dbfType() const;  // 'C', 'D', 'N' (other letters of foreign files are read as strings)
    int Size() const;      // width in bytes
    int Decimals() const;
    int index() const { return m_index; }

    bool IsNull() const;  // all blanks; a number field filled with '*' too

    // The stored characters as they stand, blanks around them dropped (for messages about odd values).
    QString storedText() const;
    // False when a number or date field holds something a careful writer would not store ("12a,50",
    // "2026ab01"): reading such a value is lenient, copying it must not be.
    bool isWellFormed() const;

    QString AsString() const;
    void setAsString(const QString& text);
    double AsFloat() const;
    void setAsFloat(double value);
    int AsInteger() const;  // 32-bit; string fields also take $1F, x1F and 0x1F
    void setAsInteger(int value);
    double AsDateTime() const;
    void setAsDateTime(double day);
    void Clear();

private:
    DbfTable& m_table;
    int m_index;
};
