// SPDX-License-Identifier: GPL-3.0-or-later
// Every way a write can fail, for every user on every machine: the file calls fail where each case says
// (a full disk after so many bytes, a write error, a device that loses bytes, a refused flush, rename or
// open). After each failure the files are byte for byte what they were, the message names the file and
// the reason in German, and a pending record is still there to be posted once the fault is gone.
#include <gtest/gtest.h>

#include <QDir>
#include <map>

#include "StorageTestUtil.h"
#include "startup/BookingSchema.h"
#include "storage/DbfTable.h"
#include "storage/SafeFile.h"
#include "storage/StorageError.h"
#include "support/FailingFileIo.h"
#include "support/TestSupport.h"

using namespace storagetest;
using testsupport::FailingFileIo;
using testsupport::IoFaults;
using testsupport::readFile;
using testsupport::TempFolder;
using testsupport::writeFile;

namespace {

enum class Op { Append, Edit, OpenAndAppend, CreateTable, Replace, Commit };

using Files = std::map<QString, QByteArray>;

Files filesIn(const QString& folder) {
    Files files;
    for (const QString& name : QDir(folder).entryList(QDir::Files | QDir::Hidden))
        files[name] = readFile(folder + name);
    return files;
}

IoFaults room(qint64 bytes) {
    IoFaults f;
    f.room = bytes;
    return f;
}
IoFaults writeError(qint64 at, bool persists = false) {
    IoFaults f;
    f.writeErrorAt = at;
    f.writeErrorPersists = persists;
    return f;
}
IoFaults silentLoss(qint64 at) {
    IoFaults f;
    f.silentLossAt = at;
    return f;
}
IoFaults failing(int IoFaults::*call, int error) {
    IoFaults f;
    f.*call = error;
    return f;
}

const QString full = QStringLiteral("Der Datenträger ist voll");
const QString ioError = QStringLiteral("Schreibfehler");
const QString notWritable = QStringLiteral("nicht beschreibbar");
const QString notRestored = QStringLiteral("nicht wieder in ihren vorigen Zustand");

struct Case {
    const char* label;
    Op op;
    IoFaults faults;
    QString reason;      // part of the message
    bool intact = true;  // the files are byte for byte as before
};

TEST(IoFaults, LeaveTheOldFilesAndSayWhy) {
    IoFaults appendCutRefused = room(100);
    appendCutRefused.truncateError = EIO;
    const Case cases[] = {
        {"append, no room at all", Op::Append, room(0), full},
        {"append, room for part of the record", Op::Append, room(100), full},
        {"append, room for the record but not the end mark", Op::Append, room(188), full},
        {"append, write error inside the record", Op::Append, writeError(100), ioError},
        {"append, write error on the header count", Op::Append, writeError(190), ioError},
        {"append, the device stays broken", Op::Append, writeError(100, true), notRestored, false},
        {"append, the file cannot be cut back", Op::Append, appendCutRefused, notRestored, false},
        {"edit, write error inside the record", Op::Edit, writeError(50), ioError},
        {"open without write access", Op::OpenAndAppend, failing(&IoFaults::openError, EACCES),
         QStringLiteral("schreibgeschützt")},
        {"new table, no room", Op::CreateTable, room(0), full},
        {"new table, room for part of the header", Op::CreateTable, room(50), full},
        {"new table, write error", Op::CreateTable, writeError(50), ioError},
        {"new table, bytes lost by the device", Op::CreateTable, silentLoss(50), full},
        {"new table, flush refused", Op::CreateTable, failing(&IoFaults::fsyncError, EIO), ioError},
        {"new table, rename refused", Op::CreateTable, failing(&IoFaults::renameError, EACCES), notWritable},
        {"new table, folder refuses new files", Op::CreateTable, failing(&IoFaults::openError, EACCES),
         notWritable},
        {"replace, room for part", Op::Replace, room(3000), full},
        {"replace, bytes lost by the device", Op::Replace, silentLoss(4000), full},
        {"replace, flush refused", Op::Replace, failing(&IoFaults::fsyncError, EIO), ioError},
        {"replace, rename across devices", Op::Replace, failing(&IoFaults::renameError, EXDEV), ioError},
        {"commit, flush refused", Op::Commit, failing(&IoFaults::fsyncError, EIO), ioError},
        {"commit, rename refused", Op::Commit, failing(&IoFaults::renameError, EROFS), notWritable},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        TempFolder folder;
        DbfTable table;
        createAndOpen(table, folder.path(), QStringLiteral("r.dbf"), bookingsSchema());
        appendTexts(table, {QStringLiteral("01.01.2026"), QStringLiteral("02.01.2026"), QStringLiteral("03.01.2026")});
        {
            DbfTable accounts;
            createAndOpen(accounts, folder.path(), QStringLiteral("k.dbf"), accountSchema());
            appendTexts(accounts, {QStringLiteral("1"), QStringLiteral("2")});
        }
        const QString address = folder.file(QStringLiteral("anschrift_1_.txt"));
        writeFile(address, "Alte Anschrift\r\n");
        const QString temp = folder.file(QStringLiteral("neu.tmp"));
        writeFile(temp, QByteArray(5000, 'n'));
        if (c.op == Op::OpenAndAppend) table.Close();
        Files before = filesIn(folder.path());
        if (c.op == Op::Commit) before.erase(QStringLiteral("neu.tmp"));  // a failed commit drops its temporary file

        QString target = folder.file(QStringLiteral("r.dbf"));
        QString message;
        {
            FailingFileIo io(c.faults);
            try {
                switch (c.op) {
                    case Op::OpenAndAppend:
                        table.Open();
                        [[fallthrough]];
                    case Op::Append:
                        table.Insert();
                        table.Fields(Booking::Text).setAsString(QStringLiteral("Neue Buchung"));
                        table.Post();
                        break;
                    case Op::Edit:
                        table.First();
                        table.Next();
                        table.Edit();
                        table.Fields(Booking::Text).setAsString(QStringLiteral("Geänderte Buchung"));
                        table.Post();
                        break;
                    case Op::CreateTable: {
                        target = folder.file(QStringLiteral("k.dbf"));
                        DbfTable fresh;
                        fresh.setFilePath(folder.path());
                        fresh.setTableName(QStringLiteral("k.dbf"));
                        fresh.setFieldDefs(accountSchema());
                        fresh.CreateTable();
                        break;
                    }
                    case Op::Replace:
                        target = address;
                        SafeFile::replace(address, QByteArray(5000, 'x'), QStringLiteral("Die Firmenanschrift"));
                        break;
                    case Op::Commit:
                        target = address;
                        SafeFile::commit(temp, address, 5000, QStringLiteral("Die Firmenanschrift"));
                        break;
                }
                ADD_FAILURE() << "no failure reported";
            } catch (const StorageError& e) {
                message = e.message();
            }
            EXPECT_GT(io.strikes(), 0);
        }
        EXPECT_TRUE(message.contains(c.reason)) << message.toStdString();
        EXPECT_TRUE(message.contains(QDir::toNativeSeparators(target))) << message.toStdString();
        const Files after = filesIn(folder.path());
        if (c.intact) {
            EXPECT_TRUE(after == before);
        } else {
            // What the header counts is untouched; only bytes after the counted records may differ.
            const QByteArray was = before.at(QStringLiteral("r.dbf"));
            const QByteArray is = after.at(QStringLiteral("r.dbf"));
            EXPECT_EQ(is.left(was.size() - 1), was.left(was.size() - 1));
        }

        // The fault gone, the pending record goes in as if nothing had happened.
        if (c.op == Op::Append || c.op == Op::Edit) {
            ASSERT_NE(table.state(), DbfTable::State::Browse);
            table.Post();
            table.Close();
            table.Open();
            const QStringList texts = walk(table, 3);
            EXPECT_EQ(texts.size(), c.op == Op::Append ? 4 : 3);
            EXPECT_TRUE(texts.contains(c.op == Op::Append ? QStringLiteral("Neue Buchung")
                                                          : QStringLiteral("Geänderte Buchung")));
            const QByteArray bytes = readFile(folder.file(QStringLiteral("r.dbf")));
            EXPECT_EQ(bytes.size(), table.headerLength() + texts.size() * table.recordLength() + 1);
            EXPECT_EQ(bytes.back(), char(0x1A));
        }
    }
}

}  // namespace
