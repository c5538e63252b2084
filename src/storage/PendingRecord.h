// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "storage/DbfTable.h"

// A new record of a table, pending until post() writes it. Whatever leaves the scope before that (an
// error while the fields are filled, a refused or failed Post) cancels the record, so no half-filled
// record stays pending and the table is as before. An error of that cancel is swallowed: the error
// that ended the scope is the one to report.
//
//   PendingRecord record(bookings);     // Insert()
//   bookings.Fields(Booking::Text).setAsString(text);
//   record.post();                      // Post(); the guard is done
class PendingRecord {
public:
    explicit PendingRecord(DbfTable& table) : m_table(table) { m_table.Insert(); }
    ~PendingRecord() {
        if (m_posted) return;
        try {
            if (m_table.state() == DbfTable::State::Insert) m_table.Cancel();
        } catch (...) {
        }
    }
    PendingRecord(const PendingRecord&) = delete;
    PendingRecord& operator=(const PendingRecord&) = delete;

    void post() {
        m_table.Post();
        m_posted = true;
    }

private:
    DbfTable& m_table;
    bool m_posted = false;
};
