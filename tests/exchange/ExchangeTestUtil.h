// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QDir>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <memory>

#include "startup/TableSet.h"
#include "storage/DbfTable.h"
#include "support/TestSupport.h"

namespace exchangetest {

// A fresh, open bookings table in `folder`.
inline void createBookings(DbfTable& table, const QString& folder,
                           const QString& name = QStringLiteral("records_1_2014.dbf")) {
    table.setFilePath(folder);
    table.setTableName(name);
    table.setFieldDefs(TableSet::bookingsSchema());
    table.CreateTable();
    table.Open();
}

// Every visible record as its field texts.
inline std::vector<QStringList> rows(DbfTable& table) {
    std::vector<QStringList> out;
    for (table.First(); !table.Eof(); table.Next()) {
        QStringList values;
        for (int i = 0; i < table.FieldCount(); ++i) values << table.Fields(i).AsString();
        out.push_back(values);
    }
    return out;
}

// The record area of a table file (header and end marker left out), to compare two tables byte by byte.
inline QByteArray recordBytes(const QString& fileName) {
    const QByteArray b = testsupport::readFile(fileName);
    const int header = quint8(b[8]) | (quint8(b[9]) << 8);
    QByteArray records = b.mid(header);
    if (records.endsWith('\x1a')) records.chop(1);
    return records;
}

// A small tmpfs mounted on a temporary folder for the lifetime of the object; only root can mount, and a
// container may forbid it: check mounted() and skip the test otherwise.
class SmallTmpfs {
public:
    explicit SmallTmpfs(int kilobytes) {
        m_path = m_dir.path();
        m_mounted =
            QProcess::execute(QStringLiteral("mount"),
                              {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                               QStringLiteral("size=%1k").arg(kilobytes), QStringLiteral("tmpfs"), m_path}) == 0;
    }
    ~SmallTmpfs() {
        if (m_mounted) QProcess::execute(QStringLiteral("umount"), {m_path});
    }
    bool mounted() const { return m_mounted; }
    bool makeReadOnly() {
        return QProcess::execute(QStringLiteral("mount"),
                                 {QStringLiteral("-o"), QStringLiteral("remount,ro"), m_path}) == 0;
    }
    QString path() const { return m_path; }

private:
    testsupport::TempFolder m_dir;
    QString m_path;
    bool m_mounted = false;
};

}  // namespace exchangetest
