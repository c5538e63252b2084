// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

class DbfTable;

// Appends many new records to a table in few writes. While the batch lives, a new record posted on the table
// (Insert, the field setters, Post) is checked as always (the table's new-record check, the write permission)
// and then collected instead of written; write() puts the collected records on the file in one write of the
// records and the end-of-file mark, the header's record count last, the same order as a single Post: a process
// killed in between leaves a file whose header counts only complete records. The table's witnesses are told of
// all records of a write in one call, in file order, before it is written.
//
// Until they are written, the collected records are not in the table (RecordCount, the rows and the cursor do
// not show them) and the observers hear nothing of them; after a write they are told of a reset, and the cursor
// stands on the last written record as after its own Post.
class DbfAppendBatch {
public:
    explicit DbfAppendBatch(DbfTable& table);
    // Writes what is still collected (a failure then is only logged: call write() first).
    ~DbfAppendBatch();
    DbfAppendBatch(const DbfAppendBatch&) = delete;
    DbfAppendBatch& operator=(const DbfAppendBatch&) = delete;

    int collected() const { return m_count; }
    // Makes room in the table's memory for `records` more records, so that a long run of writes does not
    // move the records again and again as they grow.
    void reserve(int records);

    // Writes the collected records; the batch is empty afterwards. A failed write (FileIoError) and a witness
    // that refuses throw with nothing of the batch in the table or the file: the file is put back as a failed
    // Post puts it, and the witnesses withdraw what they recorded. Only a filter callback that throws after
    // the write throws with the records stored; stored() then says so.
    void write();
    // Whether the records of the last write() reached the table and the file.
    bool stored() const { return m_stored; }

private:
    friend class DbfTable;
    DbfTable& m_table;
    QByteArray m_records;
    int m_count = 0;
    quint64 m_layout = 0;  // the table's layout stamp when the first record was collected
    bool m_stored = false;
};
