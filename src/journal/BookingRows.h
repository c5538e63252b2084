// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QtGlobal>

#include "startup/BookingSchema.h"

class CodePage;
class DbfTable;

// Reads the figures of visible bookings straight from their stored bytes where a field has the usual
// layout (a date field, numbers in number fields, a kind of one byte), and through the field objects
// otherwise, with the same results. For the walks over every booking (VAT summary, receipt proposal,
// report data): no cursor moves and no view is told about each row. Rows are visible rows of the table;
// the reader is valid until the table's layout changes (close, open).
class BookingRows {
public:
    explicit BookingRows(const DbfTable& bookings);  // the table must be open

    // A visible row with its stored bytes, looked up once for reading several of its fields.
    struct Row {
        int row = 0;
        const char* bytes = nullptr;
    };
    Row at(int row) const;
    // For a pass that knows where the row's record lies in the file (DbfTable::physicalOf).
    Row at(int row, int physical) const;

    double datum(int row) const { return datum(at(row)); }
    double datum(Row row) const;
    // 'E', 'A', 'N' or 'S' when the kind reads exactly so, otherwise 0.
    char art(int row) const { return art(at(row)); }
    char art(Row row) const;
    double brutto(int row) const { return brutto(at(row)); }
    double brutto(Row row) const;
    double mwst(int row) const { return mwst(at(row)); }
    double mwst(Row row) const;
    // A whole-number field (Konto, Sammelkonto, Kostenstelle) as the field object reads it (which may throw).
    int integer(int row, int field) const { return integer(at(row), field); }
    int integer(Row row, int field) const;
    // A text field (Beleg, Text) as the field object reads it.
    QString text(int row, int field) const;
    // The stored bytes of a text field without its trailing blanks, which decode character by character
    // through codePage() to text(): their number, or -1 where the field is read through the field object.
    int storedText(int row, int field, const char** bytes) const { return storedText(at(row), field, bytes); }
    int storedText(Row row, int field, const char** bytes) const;
    const CodePage& codePage() const;
    // The receipt as the proposal counts it: false when it is empty or not a 32-bit whole number.
    bool receipt(int row, qint64* nr) const;

private:
    double number(Row row, int field, bool plain) const;
    // A whole-number field from the stored bytes alone: false where only the field object reads it.
    bool integerInBytes(Row row, int field, int* value) const;

    const DbfTable& m_table;
    int m_datumAt = -1;  // offsets of the fields read from the bytes, -1 where read through the field
    int m_artAt = -1;
    int m_artWidth = 0;
    int m_bruttoAt = -1;
    int m_bruttoWidth = 0;
    int m_mwstAt = -1;
    int m_mwstWidth = 0;
    int m_belegAt = -1;
    int m_belegWidth = 0;
    int m_numberAt[Booking::fieldCount] = {};  // offsets of the number fields, -1 for other types
    int m_numberWidth[Booking::fieldCount] = {};
    int m_textAt[Booking::fieldCount] = {};  // offsets of the text fields, -1 for other types
    int m_textWidth[Booking::fieldCount] = {};
    char m_kindOf[256] = {};  // what a kind of one stored byte reads as
    bool m_digitIsAscii[10] = {};
};
