// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QStringList>
#include <vector>

#include "audit/AuditExportTables.h"
#include "audit/GdpduIndex.h"
#include "storage/CodePage.h"

class DbfTable;

// Writes the records of an open table as CSV lines in the format index.xml declares (GdpduIndex), straight
// from the stored bytes, and says which columns they have: first the record number (the key), then every
// field of the table in file order, typed by its dBase layout (C text, D date, N with its decimals), then
// for the bookings the VAT and the net amount as Booking::split computes them.
//
// Numbers are copied digit for digit from the file (only the separator becomes a comma), so nothing is
// lost to a binary round trip. A stored value that is no number or no date is written empty and reported.
class AuditExportCsv {
public:
    AuditExportCsv(const DbfTable& table, const AuditExportTables::Known& known);

    const std::vector<GdpduIndex::Column>& columns() const { return m_columns; }
    void appendHeading(QByteArray& out) const;
    // `recordNumber` counts the records of the file from 1, deleted ones included.
    void appendRecord(QByteArray& out, int recordNumber, const char* record);

    // Values that could not be written as stored, one German line each (the first few).
    const QStringList& problems() const { return m_problems; }
    int problemCount() const { return m_problemCount; }

private:
    struct Field {
        char type;  // 'C', 'D', 'N'; anything else is written as text
        int offset;
        int width;
        int decimals;
        QString name;
    };

    void appendText(QByteArray& out, const char* p, int width);
    void appendDate(QByteArray& out, const Field& f, const char* p, int recordNumber);
    void appendNumber(QByteArray& out, const Field& f, const char* p, int recordNumber);
    void appendAmount(QByteArray& out, double value);
    void problem(int recordNumber, const Field& f, const char* p);

    const AuditExportTables::Known& m_known;
    const CodePage& m_codePage;
    std::vector<Field> m_fields;
    std::vector<GdpduIndex::Column> m_columns;
    int m_brutto = -1;  // field positions of the split, bookings only
    int m_rate = -1;
    QStringList m_problems;
    int m_problemCount = 0;
};
