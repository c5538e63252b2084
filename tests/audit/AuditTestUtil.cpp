// SPDX-License-Identifier: GPL-3.0-or-later
#include "AuditTestUtil.h"

#include <QDate>
#include <QFileInfo>

#include "startup/BookingSchema.h"
#include "startup/ClientNaming.h"
#include "storage/DayNumber.h"

namespace audittest {

Year::Year(const QString& folder_, int legacy, bool withLog) : folder(folder_) {
    table.setFilePath(folder);
    table.setTableName(ClientNaming::tableFileName(QStringLiteral("records"), kMandant, kYear));
    if (!QFileInfo::exists(bookingsFile())) {
        table.setFieldDefs(Booking::schema());
        table.CreateTable();
        table.Open();
        for (int i = 0; i < legacy; ++i) post(table, QStringLiteral("Altbestand %1").arg(i + 1), 10.0 * (i + 1));
        table.Close();
    }
    if (withLog) open();
}

Year::~Year() {
    close();
}

void Year::open() {
    table.Open();
    log = std::make_unique<audit::ChangeLog>(folder, kMandant, kYear);
    log->attach(table);
}

void Year::close() {
    log.reset();
    table.Close();
}

QString Year::bookingsFile() const {
    return table.absoluteFileName();
}

QString Year::logFile() const {
    return audit::ChangeLog::fileNameFor(folder, kMandant, kYear);
}

void fill(DbfTable& table, const QString& text, double brutto) {
    table.Fields(Booking::Datum).setAsDateTime(DayNumber::fromDate(QDate(kYear, 4, 16)));
    table.Fields(Booking::Art).setAsString(QStringLiteral("A"));
    table.Fields(Booking::Beleg).setAsString(QStringLiteral("7"));
    table.Fields(Booking::Text).setAsString(text);
    table.Fields(Booking::Brutto).setAsFloat(brutto);
    table.Fields(Booking::MwSt).setAsFloat(19);
    table.Fields(Booking::Konto).setAsInteger(4930);
}

void post(DbfTable& table, const QString& text, double brutto) {
    table.Insert();
    fill(table, text, brutto);
    table.Post();
}

void moveTo(DbfTable& table, int physical) {
    for (table.First(); !table.Eof(); table.Next())
        if (table.physicalRecNo() == physical) return;
    throw std::runtime_error("no such record");
}

void edit(DbfTable& table, int physical, const QString& text) {
    moveTo(table, physical);
    table.Edit();
    table.Fields(Booking::Text).setAsString(text);
    table.Post();
}

void remove(DbfTable& table, int physical) {
    moveTo(table, physical);
    table.Delete();
}

static int le(const QByteArray& b, int at, int bytes) {
    int v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = v * 256 + quint8(b[at + i]);
    return v;
}

qint64 recordCount(const QByteArray& dbf) {
    return le(dbf, 4, 4);
}
int headerLength(const QByteArray& dbf) {
    return le(dbf, 8, 2);
}
int recordLength(const QByteArray& dbf) {
    return le(dbf, 10, 2);
}
void setRecordCount(QByteArray& dbf, qint64 count) {
    for (int i = 0; i < 4; ++i) dbf[4 + i] = char((count >> (8 * i)) & 0xFF);
}

}  // namespace audittest
