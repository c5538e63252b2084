// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <vector>

class DbfTable;

// One change of a table's records, as the table is about to write it. Its bytes may be the table's own,
// valid during the call only: a witness that keeps them makes a deep copy.
struct TableChange {
    enum class Kind { Insert, Edit, Delete };  // in this order: witnesses index tables by it
    Kind kind = Kind::Insert;
    int physical = -1;  // record number in the file, 0-based (for an insert: the number it will get)
    QByteArray before;  // the stored record bytes before the change; empty for an insert
    QByteArray after;   // the record bytes after it; for a delete the record with its deletion flag
};

// Told of every change of a table's records, in this order:
//   check    before anything is written; what it throws refuses the change (a new or edited record stays
//            pending, a delete does not happen), so it is the place for rules such as closed periods;
//   writing  next, still before the table writes; a witness that keeps its own record of changes makes that
//            record durable here, so that after a crash its record is never behind the table. What it throws
//            refuses the change like check;
//   undone   when the table's own write failed afterwards and was put back: the witness withdraws what
//            `writing` recorded (best effort; the table reports the write failure).
// Several witnesses may watch one table; they are called in the order they were added. The changes come in
// file order; a call carries one change, or all records of a batch append (DbfAppendBatch).
class TableWitness {
public:
    virtual ~TableWitness() = default;
    virtual void check(const DbfTable& table, const std::vector<TableChange>& changes) {
        (void)table;
        (void)changes;
    }
    virtual void writing(const DbfTable& table, const std::vector<TableChange>& changes) {
        (void)table;
        (void)changes;
    }
    virtual void undone(const DbfTable& table, const std::vector<TableChange>& changes) {
        (void)table;
        (void)changes;
    }
};
