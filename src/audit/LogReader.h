// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QString>
#include <memory>
#include <vector>

#include "audit/LogFormat.h"
#include "audit/TableImage.h"
#include "storage/CodePage.h"

namespace audit {

// The log as the viewer reads it: entries on demand from the mapped file, a selection by record and local
// date that keeps only entry numbers, and the record bytes of an entry spelled out with the field names of
// the bookings table.
class LogReader {
public:
    // Throws (German) when the log cannot be read or is no change log. `bookingsFile` gives the field
    // names for describe(); empty or unreadable: the raw bytes are shown.
    LogReader(const QString& logFile, const QString& bookingsFile);

    qint64 count() const { return m_log.recordCount(); }
    LogEntry entry(qint64 index) const;  // 0-based position in the file

    // Positions of the entries about `record` (0-based; -1: every entry) whose local date lies in
    // from..to (an invalid date leaves that end open).
    std::vector<int> select(int record, const QDate& from, const QDate& to) const;

    // "Datum 16.04.2026, Art E, Beleg 12, ..." (the deletion flag as "gelöscht"); empty bytes give "".
    QString describe(const QByteArray& record) const;

private:
    TableImage m_log;
    std::vector<DbfFieldLayout> m_fields;
    CodePage m_codePage;
};

}  // namespace audit
