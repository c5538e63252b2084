// SPDX-License-Identifier: GPL-3.0-or-later
// Many new records written in one append: a process killed at any of its writes leaves a file whose header
// counts only complete records, a failed write leaves the file byte for byte as it was and is withdrawn from
// the witnesses, and the records, rows and witnesses end up as after one Post per record.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <stdexcept>

#include "StorageTestUtil.h"
#include "storage/DbfAppendBatch.h"
#include "storage/DbfTable.h"
#include "storage/FileIo.h"
#include "storage/StorageError.h"
#include "storage/TableWitness.h"
#include "support/FailingFileIo.h"
#include "support/TestSupport.h"

using namespace storagetest;
using testsupport::FailingFileIo;
using testsupport::IoFaults;
using testsupport::readFile;
using testsupport::TempFolder;

namespace {

struct Witness : TableWitness {
    QStringList calls;
    void writing(const DbfTable&, const std::vector<TableChange>& changes) override {
        calls << say("writing", changes);
    }
    void undone(const DbfTable&, const std::vector<TableChange>& changes) override { calls << say("undone", changes); }
    static QString say(const char* call, const std::vector<TableChange>& changes) {
        QString s = QLatin1String(call);
        for (const TableChange& c : changes)
            s += QStringLiteral(" %1:%2").arg(c.physical).arg(QString::fromLatin1(c.after.mid(1, 6)).trimmed());
        return s;
    }
};

// Three records "a", "b", "c" in a text table, then "n1".."n4" collected in one batch.
void collectFour(DbfTable& table) {
    for (int i = 1; i <= 4; ++i) {
        table.Insert();
        table.Fields(0).setAsString(QStringLiteral("n%1").arg(i));
        table.Post();
    }
}

// Kills the process at the `at`-th write (counted from 1) after `keep` of its bytes went to the file.
struct KillingIo : FileIo {
    int at;
    qint64 keep;
    int writes = 0;
    KillingIo(int at_, qint64 keep_) : at(at_), keep(keep_) {}
    ssize_t pwrite(int fd, const void* data, size_t count, off_t offset) override {
        if (++writes == at) {
            if (keep > 0) FileIo::pwrite(fd, data, size_t(std::min<qint64>(keep, qint64(count))), offset);
            ::_exit(9);
        }
        return FileIo::pwrite(fd, data, count, offset);
    }
};

TEST(AppendBatch, WritesAllRecordsAtOnceAndEndsAsSinglePostsWould) {
    TempFolder folder;
    DbfTable table;
    createAndOpen(table, folder.path(), QStringLiteral("t.dbf"), textSchema());
    appendTexts(table, {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
    table.setNewRecordCheck([](const DbfTable& t) {
        if (t.Fields(0).AsString() == QStringLiteral("bad")) throw QuorvelError(QStringLiteral("abgelehnt"));
    });
    Witness witness;
    table.addWitness(&witness);
    RecordingObserver observer;
    table.attach(&observer);
    const QByteArray before = readFile(folder.file(QStringLiteral("t.dbf")));
    {
        DbfAppendBatch batch(table);
        collectFour(table);
        table.Insert();
        table.Fields(0).setAsString(QStringLiteral("bad"));
        EXPECT_THROW(table.Post(), QuorvelError);  // the check runs per record; the record stays pending
        table.Cancel();
        EXPECT_EQ(batch.collected(), 4);
        EXPECT_EQ(table.RecordCount(), 3);  // nothing shown before the write
        EXPECT_EQ(readFile(folder.file(QStringLiteral("t.dbf"))), before);
        EXPECT_TRUE(observer.events.isEmpty()) << observer.events.join(' ').toStdString();
        batch.write();
    }
    EXPECT_EQ(witness.calls, QStringList{QStringLiteral("writing 3:n1 4:n2 5:n3 6:n4")});
    EXPECT_EQ(observer.events, (QStringList{QStringLiteral("reset?"), QStringLiteral("reset")}));
    EXPECT_EQ(table.RecNo(), 6);
    EXPECT_EQ(table.Fields(0).AsString(), QStringLiteral("n4"));
    table.Close();
    table.Open();
    EXPECT_EQ(walk(table), (QStringList{"a", "b", "c", "n1", "n2", "n3", "n4"}));
    const QByteArray bytes = readFile(folder.file(QStringLiteral("t.dbf")));
    EXPECT_EQ(bytes.size(), table.headerLength() + 7 * table.recordLength() + 1);
    table.removeWitness(&witness);
}

TEST(AppendBatch, AFailedWriteLeavesTheFileAndIsWithdrawn) {
    const int length = 4 * 61 + 1;  // records and end mark of the batch (text table records are 61 bytes)
    auto writeError = [](qint64 at, bool persists) {
        IoFaults f;
        f.writeErrorAt = at;
        f.writeErrorPersists = persists;
        return f;
    };
    auto room = [](qint64 bytes) {
        IoFaults f;
        f.room = bytes;
        return f;
    };
    const struct {
        const char* label;
        IoFaults faults;
        QString reason;
        bool intact;
    } cases[] = {
        {"no room", room(0), QStringLiteral("Der Datenträger ist voll"), true},
        {"room for two records", room(122), QStringLiteral("Der Datenträger ist voll"), true},
        {"write error in the third record", writeError(130, false), QStringLiteral("Schreibfehler"), true},
        {"write error on the header count", writeError(length + 2, false), QStringLiteral("Schreibfehler"), true},
        {"the device stays broken", writeError(130, true), QStringLiteral("nicht wieder in ihren vorigen"), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        TempFolder folder;
        DbfTable table;
        createAndOpen(table, folder.path(), QStringLiteral("t.dbf"), textSchema());
        appendTexts(table, {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
        ASSERT_EQ(table.recordLength(), 61);
        Witness witness;
        table.addWitness(&witness);
        const QByteArray before = readFile(folder.file(QStringLiteral("t.dbf")));
        DbfAppendBatch batch(table);
        collectFour(table);
        {
            FailingFileIo io(c.faults);
            try {
                batch.write();
                ADD_FAILURE() << "no failure reported";
            } catch (const FileIoError& e) {
                EXPECT_TRUE(e.message().contains(c.reason)) << e.message().toStdString();
            }
        }
        EXPECT_FALSE(batch.stored());
        EXPECT_EQ(batch.collected(), 0);
        EXPECT_EQ(table.RecordCount(), 3);
        const QByteArray after = readFile(folder.file(QStringLiteral("t.dbf")));
        if (c.intact) {
            EXPECT_EQ(after, before);
        }
        EXPECT_EQ(after.left(before.size() - 1), before.left(before.size() - 1));
        // Withdrawn when the file was put back; a file that could not be is left to the witness as Post does.
        QStringList heard{QStringLiteral("writing 3:n1 4:n2 5:n3 6:n4")};
        if (c.intact) heard << QStringLiteral("undone 3:n1 4:n2 5:n3 6:n4");
        EXPECT_EQ(witness.calls, heard);
        // The fault gone, the same records go in.
        collectFour(table);
        batch.write();
        table.removeWitness(&witness);
        table.Close();
        table.Open();
        EXPECT_EQ(walk(table), (QStringList{"a", "b", "c", "n1", "n2", "n3", "n4"}));
    }
}

TEST(AppendBatch, AProcessKilledAtAnyWriteLeavesOnlyCompleteRecordsCounted) {
    const struct {
        const char* label;
        int write;    // 1: records and end mark, 2: header count
        qint64 keep;  // bytes of that write that reach the file
        int counted;
    } cases[] = {
        {"before the records", 1, 0, 3},       {"within the second record", 1, 80, 3},
        {"before the end mark", 1, 4 * 61, 3}, {"before the header count", 2, 0, 3},
        {"after the header count", 3, 0, 7},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        TempFolder folder;
        {
            DbfTable table;
            createAndOpen(table, folder.path(), QStringLiteral("t.dbf"), textSchema());
            appendTexts(table, {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
        }
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            DbfTable table;
            table.setFilePath(folder.path());
            table.setTableName(QStringLiteral("t.dbf"));
            table.Open();
            DbfAppendBatch batch(table);
            collectFour(table);
            KillingIo io(c.write, c.keep);
            FileIo::install(&io);
            try {
                batch.write();
            } catch (...) {
            }
            ::_exit(0);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_EQ(WEXITSTATUS(status), c.write == 3 ? 0 : 9);
        DbfTable table;
        table.setFilePath(folder.path());
        table.setTableName(QStringLiteral("t.dbf"));
        ASSERT_NO_THROW(table.Open());
        EXPECT_EQ(table.physicalRecordCount(), c.counted);
        const QStringList all{"a", "b", "c", "n1", "n2", "n3", "n4"};
        EXPECT_EQ(walk(table), all.mid(0, c.counted));
    }
}

}  // namespace
