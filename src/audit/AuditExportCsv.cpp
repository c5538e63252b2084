// SPDX-License-Identifier: GPL-3.0-or-later
#include "audit/AuditExportCsv.h"

#include <QDate>
#include <charconv>
#include <cmath>

#include "journal/Booking.h"
#include "storage/DbfTable.h"
#include "storage/FieldCodec.h"

namespace {

constexpr int kMaxProblemsListed = 20;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

int twoDigits(const char* p) {
    return (p[0] - '0') * 10 + (p[1] - '0');
}

}  // namespace

AuditExportCsv::AuditExportCsv(const DbfTable& table, const AuditExportTables::Known& known)
    : m_known(known), m_codePage(table.codePage()) {
    using GdpduIndex::Column;
    using GdpduIndex::ColumnType;
    m_columns.push_back({QStringLiteral("SATZNR"),
                         QStringLiteral("Nummer des Datensatzes in der Tabellendatei, ab 1 gezählt (gelöschte "
                                        "Datensätze mitgezählt, aber nicht ausgegeben)"),
                         ColumnType::Numeric, 0, 0});
    for (int i = 0; i < table.FieldCount(); ++i) {
        const DbfField& field = table.Fields(i);
        const char type = field.dbfType() == 'F' ? 'N' : field.dbfType();
        m_fields.push_back({type, table.fieldOffset(i), field.Size(), field.Decimals(), field.FieldName()});
        Column column{field.FieldName(), AuditExportTables::describe(known, field), ColumnType::AlphaNumeric, 0, 0};
        if (type == 'D') {
            column.type = ColumnType::Date;
        } else if (type == 'N') {
            column.type = ColumnType::Numeric;
            column.accuracy = field.Decimals();
        } else {
            // The DTD leaves open whether MaxLength counts characters or bytes; a character of a single-byte
            // code page takes at most three bytes in UTF-8, so this bound holds either way.
            column.maxLength = field.Size() * 3;
        }
        m_columns.push_back(column);
    }
    if (known.bookings && table.FieldCount() > Booking::MwSt) {
        m_brutto = Booking::Brutto;
        m_rate = Booking::MwSt;
        m_columns.push_back({QStringLiteral("USTBETRAG"),
                             QStringLiteral("Umsatzsteuer der Buchung, berechnet: Brutto × Satz ÷ (Satz + 100), auf "
                                            "den Cent gerundet (so rechnet das Programm in Journal, Auswertungen "
                                            "und Steuererklärungen)"),
                             ColumnType::Numeric, 2, 0});
        m_columns.push_back({QStringLiteral("NETTOBETRAG"),
                             QStringLiteral("Nettobetrag der Buchung, berechnet: Brutto − USTBETRAG"),
                             ColumnType::Numeric, 2, 0});
    }
}

void AuditExportCsv::appendHeading(QByteArray& out) const {
    for (size_t i = 0; i < m_columns.size(); ++i) {
        if (i > 0) out += GdpduIndex::columnDelimiter;
        out += m_columns[i].name.toUtf8();
    }
    out += GdpduIndex::recordDelimiter;
}

void AuditExportCsv::appendRecord(QByteArray& out, int recordNumber, const char* record) {
    char buffer[16];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, recordNumber).ptr;
    out.append(buffer, end - buffer);
    for (const Field& f : m_fields) {
        out += GdpduIndex::columnDelimiter;
        const char* p = record + f.offset;
        switch (f.type) {
            case 'D':
                appendDate(out, f, p, recordNumber);
                break;
            case 'N':
                appendNumber(out, f, p, recordNumber);
                break;
            default:
                appendText(out, p, f.width);
                break;
        }
    }
    if (m_brutto >= 0) {
        const Field& b = m_fields[size_t(m_brutto)];
        const Field& r = m_fields[size_t(m_rate)];
        double brutto = 0;
        double rate = 0;
        const bool hasAmount = FieldCodec::readNumber(record + b.offset, b.width, &brutto);
        FieldCodec::readNumber(record + r.offset, r.width, &rate);
        out += GdpduIndex::columnDelimiter;
        if (hasAmount) {
            const Booking::Split split = Booking::split(brutto, rate);
            appendAmount(out, split.mwst);
            out += GdpduIndex::columnDelimiter;
            appendAmount(out, split.netto);
        } else {
            out += GdpduIndex::columnDelimiter;
        }
    }
    out += GdpduIndex::recordDelimiter;
}

void AuditExportCsv::appendText(QByteArray& out, const char* p, int width) {
    while (width > 0 && (p[width - 1] == ' ' || p[width - 1] == '\0')) --width;
    out += GdpduIndex::textEncapsulator;
    bool plain = true;
    for (int i = 0; i < width && plain; ++i) plain = static_cast<unsigned char>(p[i]) < 0x80 && p[i] != '"';
    if (plain) {
        out.append(p, width);
    } else {
        const QByteArray utf8 = m_codePage.decode(p, width).toUtf8();
        for (char c : utf8) {
            if (c == GdpduIndex::textEncapsulator) out += c;
            out += c;
        }
    }
    out += GdpduIndex::textEncapsulator;
}

void AuditExportCsv::appendDate(QByteArray& out, const Field& f, const char* p, int recordNumber) {
    if (FieldCodec::isBlank(p, 8)) return;
    bool digits = true;
    for (int i = 0; i < 8; ++i) digits = digits && isDigit(p[i]);
    const int year = digits ? twoDigits(p) * 100 + twoDigits(p + 2) : 0;
    if (!digits || !QDate::isValid(year, twoDigits(p + 4), twoDigits(p + 6))) {
        problem(recordNumber, f, p);
        return;
    }
    const char text[10] = {p[6], p[7], '.', p[4], p[5], '.', p[0], p[1], p[2], p[3]};
    out.append(text, 10);
}

void AuditExportCsv::appendNumber(QByteArray& out, const Field& f, const char* p, int recordNumber) {
    if (FieldCodec::isNullNumber(p, f.width)) return;
    int begin = 0;
    int end = f.width;
    while (begin < end && (p[begin] == ' ' || p[begin] == '\0')) ++begin;
    while (end > begin && (p[end - 1] == ' ' || p[end - 1] == '\0')) --end;
    // The common case: [-]digits[sep digits], copied as it stands with a comma and the column's decimals.
    int i = begin;
    const bool negative = i < end && p[i] == '-';
    if (i < end && (p[i] == '-' || p[i] == '+')) ++i;
    const int intStart = i;
    while (i < end && isDigit(p[i])) ++i;
    const int intEnd = i;
    int fracStart = i;
    int fracEnd = i;
    if (i < end && (p[i] == '.' || p[i] == ',')) {
        fracStart = ++i;
        while (i < end && isDigit(p[i])) ++i;
        fracEnd = i;
    }
    if (i == end && intEnd > intStart && fracEnd - fracStart <= f.decimals) {
        if (negative) out += '-';
        out.append(p + intStart, intEnd - intStart);
        if (f.decimals > 0) {
            out += GdpduIndex::decimalSymbol;
            out.append(p + fracStart, fracEnd - fracStart);
            for (int k = fracEnd - fracStart; k < f.decimals; ++k) out += '0';
        }
        return;
    }
    // Other careful forms (".5", an exponent, more decimals than the field declares): by value.
    double value = 0;
    if (!FieldCodec::isWellFormedNumber(p, f.width) || !FieldCodec::readNumber(p, f.width, &value) ||
        !std::isfinite(value)) {
        problem(recordNumber, f, p);
        return;
    }
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, f.decimals);
    if (result.ec != std::errc()) {
        problem(recordNumber, f, p);
        return;
    }
    for (char* c = buffer; c != result.ptr; ++c) out += (*c == '.') ? GdpduIndex::decimalSymbol : *c;
}

void AuditExportCsv::appendAmount(QByteArray& out, double value) {
    if (value == 0) value = 0;  // no "-0,00"
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 2);
    for (char* c = buffer; c != result.ptr; ++c) out += (*c == '.') ? GdpduIndex::decimalSymbol : *c;
}

void AuditExportCsv::problem(int recordNumber, const Field& f, const char* p) {
    ++m_problemCount;
    if (m_problems.size() >= kMaxProblemsListed) return;
    m_problems << QStringLiteral(
                      "%1, Satz %2, Feld %3: der gespeicherte Wert „%4“ ist kein gültiger Wert dieses "
                      "Feldes und steht leer in der Ausgabe.")
                      .arg(m_known.name, QString::number(recordNumber), f.name,
                           m_codePage.decode(p, f.width).trimmed());
}
