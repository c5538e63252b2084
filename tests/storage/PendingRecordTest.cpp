// SPDX-License-Identifier: GPL-3.0-or-later
// The guard of a new record: posted when the scope says so, cancelled when the scope ends otherwise
// (a failing field, a full disk at the post), with the file byte for byte as before.
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

#include "StorageTestUtil.h"
#include "startup/BookingSchema.h"
#include "storage/PendingRecord.h"
#include "storage/StorageError.h"
#include "support/FailingFileIo.h"
#include "support/TestSupport.h"

using namespace storagetest;
using testsupport::FailingFileIo;
using testsupport::IoFaults;
using testsupport::readFile;
using testsupport::TempFolder;

TEST(PendingRecord, PostsWhenCommittedAndCancelsOtherwise) {
    IoFaults fullDisk;
    fullDisk.room = 0;
    const struct {
        const char* label;
        std::function<void(DbfTable&, PendingRecord&)> scope;
        bool stored;
    } cases[] = {
        {"posted", [](DbfTable& t, PendingRecord& r) { t.Fields(Booking::Art).setAsString(QStringLiteral("A")); r.post(); }, true},
        {"never posted", [](DbfTable& t, PendingRecord&) { t.Fields(Booking::Art).setAsString(QStringLiteral("A")); }, false},
        {"a field fails",
         [](DbfTable& t, PendingRecord&) {
             t.Fields(Booking::Art).setAsString(QStringLiteral("A"));
             throw std::runtime_error("field");
         },
         false},
        {"the disk is full at the post",
         [&fullDisk](DbfTable& t, PendingRecord& r) {
             t.Fields(Booking::Art).setAsString(QStringLiteral("A"));
             FailingFileIo disk(fullDisk);
             r.post();
         },
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        TempFolder folder;
        DbfTable table;
        createAndOpen(table, folder.path(), QStringLiteral("r.dbf"), bookingsSchema());
        appendTexts(table, {QStringLiteral("01.01.2026")});
        const QByteArray before = readFile(table.absoluteFileName());
        try {
            PendingRecord record(table);
            EXPECT_EQ(table.state(), DbfTable::State::Insert);
            c.scope(table, record);
        } catch (const std::exception&) {
            EXPECT_FALSE(c.stored);
        }
        EXPECT_EQ(table.state(), DbfTable::State::Browse);
        EXPECT_EQ(table.RecordCount(), c.stored ? 2 : 1);
        if (!c.stored) {
            EXPECT_EQ(readFile(table.absoluteFileName()), before);
        }
    }
}
