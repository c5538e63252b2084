// SPDX-License-Identifier: GPL-3.0-or-later
#include "journal/BookingRows.h"

#include <QString>
#include <climits>
#include <cmath>

#include "journal/Booking.h"
#include "storage/DbfTable.h"
#include "storage/FieldCodec.h"
#include "storage/StorageError.h"

namespace {

bool isNumberField(const DbfTable& table, int field) {
    if (field >= table.FieldCount()) return false;
    const FieldType type = table.Fields(field).DataType();
    return type == FieldType::Float || type == FieldType::Integer;
}

char kindOfText(const QString& text) {
    if (text.size() != 1 || !Booking::isKind(text)) return 0;
    return char(text[0].unicode());
}

}  // namespace

BookingRows::BookingRows(const DbfTable& bookings) : m_table(bookings) {
    const int count = bookings.FieldCount();
    if (count > Booking::Datum && bookings.Fields(Booking::Datum).DataType() == FieldType::Date)
        m_datumAt = bookings.fieldOffset(Booking::Datum);
    if (count > Booking::Art && bookings.Fields(Booking::Art).DataType() == FieldType::String) {
        m_artAt = bookings.fieldOffset(Booking::Art);
        m_artWidth = bookings.Fields(Booking::Art).Size();
        for (int b = 0; b < 256; ++b) {
            const char byte = char(b);
            m_kindOf[b] = kindOfText(bookings.codePage().decode(&byte, 1));
        }
    }
    for (int field = 0; field < Booking::fieldCount; ++field) {
        const bool number = isNumberField(bookings, field);
        m_numberAt[field] = number ? bookings.fieldOffset(field) : -1;
        m_numberWidth[field] = number ? bookings.Fields(field).Size() : 0;
        const bool text = field < count && bookings.Fields(field).DataType() == FieldType::String;
        m_textAt[field] = text ? bookings.fieldOffset(field) : -1;
        m_textWidth[field] = text ? bookings.Fields(field).Size() : 0;
    }
    if (isNumberField(bookings, Booking::Brutto)) {
        m_bruttoAt = bookings.fieldOffset(Booking::Brutto);
        m_bruttoWidth = bookings.Fields(Booking::Brutto).Size();
    }
    if (isNumberField(bookings, Booking::MwSt)) {
        m_mwstAt = bookings.fieldOffset(Booking::MwSt);
        m_mwstWidth = bookings.Fields(Booking::MwSt).Size();
    }
    if (count > Booking::Beleg && bookings.Fields(Booking::Beleg).DataType() == FieldType::String) {
        m_belegAt = bookings.fieldOffset(Booking::Beleg);
        m_belegWidth = bookings.Fields(Booking::Beleg).Size();
        for (int i = 0; i < 10; ++i) {
            const char digit = char('0' + i);
            m_digitIsAscii[i] = bookings.codePage().decode(&digit, 1) == QString(QLatin1Char(digit));
        }
    }
}

BookingRows::Row BookingRows::at(int row) const {
    return {row, m_table.rowBytes(row)};
}

BookingRows::Row BookingRows::at(int row, int physical) const {
    return {row, m_table.rowBytes(row, physical)};
}

double BookingRows::datum(Row row) const {
    if (m_datumAt >= 0) return FieldCodec::dayNumber(row.bytes + m_datumAt);
    double value = 0;
    m_table.readRow(row.row, [&value](const DbfTable& t) { value = t.Fields(Booking::Datum).AsDateTime(); });
    return value;
}

char BookingRows::art(Row row) const {
    if (m_artAt >= 0) {
        const char* p = row.bytes + m_artAt;
        int length = m_artWidth;
        while (length > 0 && (p[length - 1] == ' ' || p[length - 1] == '\0')) --length;
        // Text of another length is no kind in a code page of one byte a character.
        return length == 1 ? m_kindOf[static_cast<unsigned char>(p[0])] : 0;
    }
    char kind = 0;
    m_table.readRow(row.row, [&kind](const DbfTable& t) { kind = kindOfText(t.Fields(Booking::Art).AsString()); });
    return kind;
}

double BookingRows::number(Row row, int field, bool plain) const {
    double value = 0;
    if (plain) {
        const int at = field == Booking::Brutto ? m_bruttoAt : m_mwstAt;
        const int width = field == Booking::Brutto ? m_bruttoWidth : m_mwstWidth;
        FieldCodec::readNumber(row.bytes + at, width, &value);  // a null number reads as 0
        return value;
    }
    m_table.readRow(row.row, [&value, field](const DbfTable& t) { value = t.Fields(field).AsFloat(); });
    return value;
}

double BookingRows::brutto(Row row) const {
    return number(row, Booking::Brutto, m_bruttoAt >= 0);
}

double BookingRows::mwst(Row row) const {
    return number(row, Booking::MwSt, m_mwstAt >= 0);
}

bool BookingRows::integerInBytes(Row row, int field, int* value) const {
    if (field < 0 || field >= Booking::fieldCount || m_numberAt[field] < 0) return false;
    double number = 0;
    FieldCodec::readNumber(row.bytes + m_numberAt[field], m_numberWidth[field], &number);
    const double rounded = std::round(number);
    // Beyond the range the field object says why.
    if (!(rounded >= double(INT_MIN) && rounded <= double(INT_MAX))) return false;
    *value = int(rounded);
    return true;
}

int BookingRows::integer(Row row, int field) const {
    int value = 0;
    if (integerInBytes(row, field, &value)) return value;
    m_table.readRow(row.row, [&value, field](const DbfTable& t) { value = t.Fields(field).AsInteger(); });
    return value;
}

int BookingRows::storedText(Row row, int field, const char** bytes) const {
    if (field < 0 || field >= Booking::fieldCount || m_textAt[field] < 0) return -1;
    const char* p = row.bytes + m_textAt[field];
    int width = m_textWidth[field];
    while (width > 0 && (p[width - 1] == ' ' || p[width - 1] == '\0')) --width;
    *bytes = p;
    return width;
}

const CodePage& BookingRows::codePage() const {
    return m_table.codePage();
}

QString BookingRows::text(int row, int field) const {
    const char* bytes = nullptr;
    if (const int n = storedText(row, field, &bytes); n >= 0) return m_table.codePage().decode(bytes, n);
    QString value;
    m_table.readRow(row, [&value, field](const DbfTable& t) { value = t.Fields(field).AsString(); });
    return value;
}

bool BookingRows::receipt(int row, qint64* nr) const {
    if (m_belegAt >= 0) {
        // The common receipts straight from the bytes: empty, or up to nine decimal digits from the first
        // byte on, then blanks. Everything else is read through the field.
        const char* p = m_table.rowBytes(row) + m_belegAt;
        int end = m_belegWidth;
        while (end > 0 && (p[end - 1] == ' ' || p[end - 1] == '\0')) --end;
        if (end == 0) return false;
        bool plain = end <= 9;
        qint64 value = 0;
        for (int i = 0; plain && i < end; ++i) {
            const unsigned char c = static_cast<unsigned char>(p[i]);
            plain = c >= '0' && c <= '9' && m_digitIsAscii[c - '0'];
            value = value * 10 + (c - '0');
        }
        if (plain) {
            *nr = value;
            return true;
        }
    }
    bool ok = false;
    m_table.readRow(row, [&](const DbfTable& t) {
        const DbfField& beleg = t.Fields(Booking::Beleg);
        if (beleg.IsNull()) return;  // empty receipts are common; this saves a failed conversion each
        try {
            *nr = beleg.AsInteger();
            ok = true;
        } catch (const QuorvelError&) {
            // not a number (or unreadable)
        }
    });
    return ok;
}
