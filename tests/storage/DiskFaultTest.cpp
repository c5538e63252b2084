// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "StorageTestUtil.h"
#include "startup/BookingSchema.h"
#include "storage/DbfTable.h"
#include "storage/SafeFile.h"
#include "storage/StorageError.h"
#include "support/SmallDisk.h"
#include "support/TestSupport.h"

using namespace storagetest;
using testsupport::readFile;
using testsupport::SmallDisk;
using testsupport::TempFolder;
using testsupport::writeFile;

namespace {

QStringList filesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

// A new table on a full disk: a German message, and no file at all rather than an empty one that later
// openings would refuse as damaged.
TEST(FullDisk, CreatingATableLeavesNoFileBehind) {
    SmallDisk disk(64);
    if (!disk.ok()) GTEST_SKIP() << disk.skipReason().toStdString();
    disk.fill();
    DbfTable table;
    table.setFilePath(disk.path());
    table.setTableName(QStringLiteral("records_1_2026.dbf"));
    table.setFieldDefs(bookingsSchema());
    try {
        table.CreateTable();
        FAIL() << "created on a full disk";
    } catch (const FileIoError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("Der Datenträger ist voll"))) << e.message().toStdString();
        EXPECT_TRUE(e.message().contains(QStringLiteral("records_1_2026.dbf")));
    }
    EXPECT_EQ(filesIn(disk.path()), QStringList{QStringLiteral("filler.bin")});
}

// Replacing a file keeps the previous one whole when the new bytes do not fit.
TEST(FullDisk, AReplacedFileStaysAsItWas) {
    SmallDisk disk(64);
    if (!disk.ok()) GTEST_SKIP() << disk.skipReason().toStdString();
    const QString name = disk.file(QStringLiteral("anschrift_1_.txt"));
    SafeFile::replace(name, "Alte Anschrift\r\n");
    disk.fill();
    EXPECT_THROW(SafeFile::replace(name, QByteArray(20000, 'n')), FileIoError);
    EXPECT_EQ(readFile(name), QByteArray("Alte Anschrift\r\n"));
    EXPECT_EQ(filesIn(disk.path()), (QStringList{QStringLiteral("anschrift_1_.txt"), QStringLiteral("filler.bin")}));
    disk.freeSpace();
    SafeFile::replace(name, "Neue Anschrift\r\n");
    EXPECT_EQ(readFile(name), QByteArray("Neue Anschrift\r\n"));
}

// Posting until the disk is full: the refused record stays pending, the file describes exactly the
// records that were stored, and nothing is reported as saved that is not on the disk.
TEST(FullDisk, APostThatDoesNotFitStaysPending) {
    SmallDisk disk(64);
    if (!disk.ok()) GTEST_SKIP() << disk.skipReason().toStdString();
    DbfTable table;
    createAndOpen(table, disk.path(), QStringLiteral("r.dbf"), bookingsSchema());
    disk.fill();
    int stored = 0;
    bool refused = false;
    for (int i = 0; i < 200 && !refused; ++i) {
        table.Insert();
        table.Fields(Booking::Text).setAsString(QStringLiteral("Buchung %1").arg(i));
        try {
            table.Post();
            ++stored;
        } catch (const FileIoError& e) {
            refused = true;
            EXPECT_TRUE(e.message().contains(QStringLiteral("Der Datenträger ist voll"))) << e.message().toStdString();
            EXPECT_EQ(table.state(), DbfTable::State::Insert);
            EXPECT_EQ(table.Fields(Booking::Text).AsString(), QStringLiteral("Buchung %1").arg(i));
        }
    }
    ASSERT_TRUE(refused);
    table.Cancel();
    EXPECT_EQ(table.RecordCount(), stored);
    table.Close();
    table.Open();
    EXPECT_EQ(table.RecordCount(), stored);
    EXPECT_EQ(walk(table, 3).value(stored - 1), stored ? QStringLiteral("Buchung %1").arg(stored - 1) : QString());
}

// The record that no longer fits is cut off again: the file is byte for byte what it was before, so a
// reader that counts records by the file's length finds no more rows than the header says.
TEST(FullDisk, AFailedAppendLeavesTheFileAsItWas) {
    SmallDisk disk(64);
    if (!disk.ok()) GTEST_SKIP() << disk.skipReason().toStdString();
    DbfTable table;
    createAndOpen(table, disk.path(), QStringLiteral("r.dbf"), bookingsSchema());
    const QString name = disk.file(QStringLiteral("r.dbf"));
    disk.fill();
    QByteArray before;
    for (int i = 0; i < 200; ++i) {
        before = readFile(name);
        table.Insert();
        table.Fields(Booking::Text).setAsString(QStringLiteral("Buchung %1").arg(i));
        try {
            table.Post();
        } catch (const FileIoError&) {
            break;
        }
    }
    ASSERT_EQ(table.state(), DbfTable::State::Insert) << "the disk never filled";
    const QByteArray after = readFile(name);
    EXPECT_EQ(after.size(), before.size());
    EXPECT_TRUE(after == before);
    EXPECT_EQ(after.back(), char(0x1A));
    EXPECT_EQ(after.size(), table.headerLength() + table.physicalRecordCount() * table.recordLength() + 1);
    // With room again the same record goes in as the next one.
    table.Cancel();
    disk.freeSpace();
    appendTexts(table, {QStringLiteral("01.02.2026")});
    EXPECT_EQ(readFile(name).size(), before.size() + table.recordLength());
}

// The data folder removed under the running program: the writes would go to files no one reads again.
// The post is refused, the record stays pending, nothing is counted as stored.
TEST(RemovedFolder, APostIsRefusedAndTheRecordKept) {
    auto folder = std::make_unique<TempFolder>();
    DbfTable table;
    createAndOpen(table, folder->path(), QStringLiteral("r.dbf"), accountSchema());
    appendTexts(table, {QStringLiteral("1")});
    const QString path = folder->path();
    ASSERT_TRUE(QDir(path).removeRecursively());

    table.Insert();
    table.Fields(1).setAsString(QStringLiteral("Miete"));
    try {
        table.Post();
        FAIL() << "posted into a removed folder";
    } catch (const FileIoError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("nicht mehr in ihrem Ordner"))) << e.message().toStdString();
    }
    EXPECT_EQ(table.state(), DbfTable::State::Insert);
    EXPECT_EQ(table.Fields(1).AsString(), QStringLiteral("Miete"));
    table.Cancel();
    EXPECT_EQ(table.RecordCount(), 1);
    table.First();
    table.Edit();
    table.Fields(1).setAsString(QStringLiteral("geändert"));
    EXPECT_THROW(table.Post(), FileIoError);
    EXPECT_THROW(table.Delete(), StorageError);  // posts the pending edit first, which is refused again
}

// A file replaced under the same name (another program wrote it anew) is not the file the table has open.
TEST(RemovedFolder, AReplacedFileIsNotWrittenBehindItsBack) {
    TempFolder folder;
    DbfTable table;
    createAndOpen(table, folder.path(), QStringLiteral("r.dbf"), accountSchema());
    const QByteArray other = readFile(folder.file(QStringLiteral("r.dbf")));
    ASSERT_TRUE(QFile::remove(folder.file(QStringLiteral("r.dbf"))));
    writeFile(folder.file(QStringLiteral("r.dbf")), other);
    table.Insert();
    EXPECT_THROW(table.Post(), FileIoError);
    EXPECT_EQ(readFile(folder.file(QStringLiteral("r.dbf"))), other);
}

}  // namespace
