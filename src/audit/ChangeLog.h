// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

#include "audit/LogFormat.h"
#include "audit/LogNotes.h"
#include "storage/TableFile.h"
#include "storage/TableWitness.h"

class DbfTable;

namespace audit {

// The change log of one client's booking year: every insert, edit and deletion of the bookings table,
// and the notes of other commands, appended as one chain of entries (layout in LogFormat.h).
//
// Order of writing: the log's entries and its end mark first, then the log header's entry count, and only
// then the bookings table writes (itself record first, count last). Only the count makes an entry part
// of the log, and only the table's count or record bytes make a change part of the table. So after a
// process is killed at any moment, the log holds every change the table holds, and at most the changes of
// the last command more (the table never got to write them).
//
// Recovery on opening: those surplus entries at the end are cut off, walking back from the last entry as
// long as the table shows the state before it (a new record the table does not count; an edited or deleted
// record still holding the bytes the entry calls "before"). Cutting the end never breaks the chain; an
// entry whose record holds neither state is kept, so that "Protokoll prüfen" reports it. Bytes after the
// last counted entry are cut as well. The same cut withdraws the entries of a change whose table write
// failed (`undone`).
//
// Memory: nothing but the entry count and the last hash; entries go straight to the file, the log is read
// only at opening (its last entries) and by the checker and the viewer through a mapped file.
//
// A year written before the log existed (or a new one) starts its log with an entry "Protokollbeginn"
// holding the SHA-256 of the bookings table's records as found. A log that cannot be opened or created
// does not stop the year from being read, but every change of the bookings is then refused with the
// reason (problem()).
class ChangeLog : public TableWitness, public LogNotes {
public:
    // The log of client `mandant`, year `year` in `folder` (ending in '/' or not).
    ChangeLog(const QString& folder, int mandant, int year);
    ~ChangeLog() override;
    ChangeLog(const ChangeLog&) = delete;
    ChangeLog& operator=(const ChangeLog&) = delete;

    static QString fileNameFor(const QString& folder, int mandant, int year);

    // Watches `bookings` (open) from now on: opens the log, or creates it with its start entry, and
    // recovers it. Returns a German message when the log is unusable (changes are then refused), else "".
    // A bookings table opened read-only is only watched (it refuses every change itself).
    QString attach(DbfTable& bookings);
    void detach();  // stops watching and closes the file

    const QString& fileName() const { return m_fileName; }
    const QString& problem() const { return m_problem; }
    bool writable() const { return m_file.isOpen() && m_problem.isEmpty(); }
    qint64 entryCount() const { return m_count; }
    const QByteArray& lastHash() const { return m_lastHash; }
    int recoveredEntries() const { return m_recovered; }  // cut off by the last attach
    void setVersion(const QString& version) { m_version = version; }

    // TableWitness
    void check(const DbfTable& table, const std::vector<TableChange>& changes) override;
    void writing(const DbfTable& table, const std::vector<TableChange>& changes) override;
    void undone(const DbfTable& table, const std::vector<TableChange>& changes) override;

    // LogNotes: throws QuorvelError (German) when the note cannot be written.
    void note(const LogNote& entry) override;

private:
    void openOrCreate(DbfTable& bookings);
    void recover(const QString& bookingsFile);
    void append(std::vector<LogEntry>& entries);
    void write(QByteArray& out, qint64 count);
    void cutBack(qint64 count);
    void checkUsable() const;
    qint64 endOf(qint64 count) const;
    LogEntry stamped(LogEntry::Kind kind, const QString& action) const;

    QString m_fileName;
    DbfTable* m_table = nullptr;
    TableFile m_file;
    qint64 m_count = 0;
    QByteArray m_lastHash;
    int m_headerLength = 0;
    int m_recovered = 0;
    QString m_problem;
    QString m_version;
    // The time texts of the last stamp and its millisecond: a batch stamps many entries in the same one,
    // and turning a time into local time asks the system's time zone files each time.
    mutable qint64 m_stampMs = -1;
    mutable QString m_stampUtc;
    mutable QString m_stampLocal;
    struct Undo {
        bool valid = false;
        qint64 count = 0;
        QByteArray hash;
    } m_undo;
};

}  // namespace audit
