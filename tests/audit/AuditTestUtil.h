// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <memory>

#include "audit/ChangeLog.h"
#include "storage/DbfTable.h"

namespace audittest {

constexpr int kMandant = 1;
constexpr int kYear = 2026;

// A booking year in a folder: the bookings table (with `legacy` bookings written before any log) and its
// change log attached.
struct Year {
    explicit Year(const QString& folder, int legacy = 2, bool withLog = true);
    ~Year();
    void open();   // opens the table and attaches the log
    void close();  // detaches and closes
    QString bookingsFile() const;
    QString logFile() const;

    QString folder;
    DbfTable table;
    std::unique_ptr<audit::ChangeLog> log;
};

void fill(DbfTable& table, const QString& text, double brutto);  // the fields of a pending record
void post(DbfTable& table, const QString& text, double brutto);  // a new booking
void edit(DbfTable& table, int physical, const QString& text);   // changes the text of a record
void remove(DbfTable& table, int physical);                       // deletes a record
void moveTo(DbfTable& table, int physical);

// Raw file surgery, as another tool would do it.
qint64 recordCount(const QByteArray& dbf);
int headerLength(const QByteArray& dbf);
int recordLength(const QByteArray& dbf);
void setRecordCount(QByteArray& dbf, qint64 count);

}  // namespace audittest
