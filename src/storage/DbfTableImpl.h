// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Inner state of DbfTable, shared by its source files (DbfTable.cpp, DbfTableOrder.cpp). Not for use
// outside the table layer.

#include <QByteArray>
#include <QCollator>
#include <QLocale>
#include <QString>
#include <optional>
#include <vector>

#include "storage/DbfFieldLayout.h"
#include "storage/DbfTable.h"
#include "storage/TableFile.h"

class DbfAppendBatch;

// The end-of-file mark after the last record.
inline constexpr char dbfEndMark = 0x1A;

// Added to a failed write's message when the file could not be put back as it was.
inline QString notRestoredText(const QString& fileName) {
    return QStringLiteral(
               "Die Tabelle „%1“ konnte danach nicht wieder in ihren vorigen Zustand gebracht werden; "
               "prüfen Sie den Datenträger, bevor Sie weiterarbeiten.")
        .arg(fileName);
}

struct DbfTable::Impl {
    TableFile file;
    std::vector<DbfFieldLayout> layout;
    // Header + the counted records as in the file (no copy of 19 MB just to drop the header); the
    // header's date and count are kept in step with every append, so a failed one can put them back.
    QByteArray records;
    QByteArray tail;        // the file's bytes after the counted records: normally just the end-of-file mark
    std::vector<int> rows;  // visible order: physical record numbers (the pending insert excluded)
    int row = -1;           // cursor row; rows.size() while inserting
    int rowBeforeInsert = -1;
    QByteArray buffer;                        // pending record while inserting or editing
    QByteArray blank;                         // what fields read when there is no current record
    mutable const char* candidate = nullptr;  // record the fields read during a filter call or readRow
    FilterCallback filter;
    struct Index {
        QString name;
        QString field;
    };
    std::vector<Index> indexes;
    std::vector<TableObserver*> observers;
    // Every live record in the active sort order, physical order among equal keys; built on the first
    // need after the order or the file changed, kept up to date by Post and Delete. A new filter then
    // walks this order instead of sorting again.
    std::vector<int> order;
    bool orderValid = false;
    // The collator of text orders, made again when the user's language changed (making one per
    // comparison cost more than the comparison).
    mutable std::optional<QCollator> collator;
    mutable QLocale collatorLocale;
    // While a batch is open (DbfAppendBatch) a posted new record goes to it; `quiet` while such a record
    // is pending: the observers hear of the batch's records only when it writes them.
    DbfAppendBatch* batch = nullptr;
    bool quiet = false;
};

template <typename F>
void DbfTable::notify(F&& call) {
    if (d->quiet) return;
    // A copy: an observer may detach itself while being told.
    const std::vector<TableObserver*> observers = d->observers;
    for (TableObserver* o : observers) call(o);
}

// Points the fields at one record for the duration of a call, also when the call throws.
class CandidateScope {
public:
    CandidateScope(const char*& slot, const char* record) : m_slot(slot), m_previous(slot) { m_slot = record; }
    ~CandidateScope() { m_slot = m_previous; }
    CandidateScope(const CandidateScope&) = delete;
    CandidateScope& operator=(const CandidateScope&) = delete;

private:
    const char*& m_slot;
    const char* m_previous;
};
