// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QFile>

#include "StorageTestUtil.h"
#include "storage/DbfTable.h"
#include "support/RawDbfWriter.h"
#include "support/TestSupport.h"

using namespace storagetest;
using testsupport::readFile;
using testsupport::TempFolder;

namespace {

// Table of (NR integer, NAME string 20) with the rows given.
class Cursor : public ::testing::Test {
protected:
    void SetUp() override {
        createAndOpen(table, folder.path(), QStringLiteral("t.dbf"),
                      {{QStringLiteral("Nr"), FieldType::Integer, 0}, {QStringLiteral("Name"), FieldType::String, 20}});
        const std::vector<std::pair<int, const char*>> rows = {{3, "Cäsar"}, {1, "anton"}, {2, "Berta"}, {1, "Dora"}};
        for (const auto& [nr, name] : rows) add(nr, QString::fromUtf8(name));
        table.attach(&observer);
    }
    void add(int nr, const QString& name) {
        table.Insert();
        table.Fields(0).setAsInteger(nr);
        table.Fields(1).setAsString(name);
        table.Post();
    }
    QStringList names() { return walk(table, 1); }
    void filterNr(int minimum) {
        table.setOnFilterRecord([minimum](const DbfTable& t) { return t.Fields(0).AsInteger() >= minimum; });
    }

    TempFolder folder;
    DbfTable table;
    RecordingObserver observer;
};

}  // namespace

TEST_F(Cursor, WalkVisitsEveryLiveRecordOnceInPhysicalOrder) {
    EXPECT_EQ(names(), (QStringList{"Cäsar", "anton", "Berta", "Dora"}));
    EXPECT_TRUE(table.Eof());
    table.First();
    EXPECT_TRUE(table.Bof());
    EXPECT_EQ(table.RecNo(), 0);
    table.Last();
    EXPECT_EQ(table.Fields(1).AsString(), QStringLiteral("Dora"));
    EXPECT_TRUE(table.Eof());
    table.Prior();
    EXPECT_EQ(table.Fields(1).AsString(), QStringLiteral("Berta"));
    table.setRecNo(1);
    EXPECT_EQ(table.physicalRecNo(), 1);
    EXPECT_EQ(table.Fields(1).AsString(), QStringLiteral("anton"));
}

TEST_F(Cursor, DeletedRecordsAreNeverVisitedButStayInTheFile) {
    table.setRecNo(1);
    observer.events.clear();
    table.Delete();
    EXPECT_EQ(observer.events, (QStringList{"rem?1", "rem1"}));
    EXPECT_EQ(table.Fields(1).AsString(), QStringLiteral("Berta"));  // cursor on the next record
    EXPECT_EQ(names(), (QStringList{"Cäsar", "Berta", "Dora"}));
    EXPECT_EQ(table.RecordCount(), 3);
    EXPECT_EQ(table.physicalRecordCount(), 4);
    const QByteArray bytes = readFile(folder.file(QStringLiteral("t.dbf")));
    EXPECT_EQ(bytes.at(table.headerLength() + table.recordLength()), '*');
    table.Close();
    table.Open();
    EXPECT_EQ(names(), (QStringList{"Cäsar", "Berta", "Dora"}));
    table.Last();
    table.Delete();  // the last row: the cursor goes to the new last row
    EXPECT_EQ(table.Fields(1).AsString(), QStringLiteral("Berta"));
}

TEST_F(Cursor, PendingInsertIsAnExtraRowAtTheEnd) {
    table.setRecNo(1);
    observer.events.clear();
    table.Insert();
    EXPECT_EQ(observer.events, (QStringList{"ins?4", "ins4"}));
    EXPECT_EQ(table.RecordCount(), 5);
    EXPECT_EQ(table.RecNo(), 4);
    EXPECT_TRUE(table.Fields(1).IsNull());
    table.Fields(1).setAsString(QStringLiteral("Emil"));
    observer.events.clear();
    table.Cancel();
    EXPECT_EQ(observer.events, (QStringList{"rem?4", "rem4"}));
    EXPECT_EQ(table.RecordCount(), 4);
    EXPECT_EQ(table.RecNo(), 1);  // back where it was
    EXPECT_EQ(table.physicalRecordCount(), 4);
    table.Insert();
    table.Delete();  // in insert state: the same as Cancel
    EXPECT_EQ(table.state(), DbfTable::State::Browse);
    EXPECT_EQ(table.physicalRecordCount(), 4);
}

TEST_F(Cursor, NavigationPostsPendingRecord) {
    table.Insert();
    table.Fields(1).setAsString(QStringLiteral("Emil"));
    table.First();
    EXPECT_EQ(table.state(), DbfTable::State::Browse);
    EXPECT_EQ(names().last(), QStringLiteral("Emil"));
    table.First();
    table.Edit();
    table.Fields(1).setAsString(QStringLiteral("Cäcilie"));
    table.Next();
    EXPECT_EQ(names().first(), QStringLiteral("Cäcilie"));
}

TEST_F(Cursor, FilterSkipsRejectedRecordsAndKeepsCursor) {
    filterNr(2);
    table.setRecNo(2);  // Berta
    table.setFiltered(true);
    EXPECT_EQ(observer.events, (QStringList{"reset?", "reset"}));
    EXPECT_EQ(table.Fields(1).AsString(), QStringLiteral("Berta"));
    EXPECT_EQ(table.RecordCount(), 2);
    EXPECT_EQ(names(), (QStringList{"Cäsar", "Berta"}));
    observer.events.clear();
    table.setFiltered(true);  // same value: nothing happens
    EXPECT_TRUE(observer.events.isEmpty());

    // A changed condition takes effect only after switching off and on again.
    filterNr(3);
    EXPECT_EQ(names().size(), 2);
    table.setFiltered(false);
    table.setFiltered(true);
    EXPECT_EQ(names(), (QStringList{"Cäsar"}));
    filterNr(99);
    table.Refresh();
    EXPECT_TRUE(table.Eof());
    EXPECT_EQ(table.RecordCount(), 0);
    table.First();
    EXPECT_TRUE(table.Eof());
    EXPECT_TRUE(table.Fields(0).IsNull());  // no current record: fields read empty
}

TEST_F(Cursor, FilterCallbackSeesCandidateWithoutMovingCursor) {
    table.setRecNo(3);
    QStringList seen;
    table.setOnFilterRecord([&](const DbfTable& t) {
        seen << t.Fields(1).AsString();
        EXPECT_EQ(t.RecNo(), 3);
        return true;
    });
    table.setFiltered(true);
    EXPECT_EQ(seen, (QStringList{"Cäsar", "anton", "Berta", "Dora"}));
    EXPECT_EQ(table.RecNo(), 3);
}

TEST_F(Cursor, PostedInsertRejectedByFilterLeavesTheView) {
    filterNr(2);
    table.setFiltered(true);
    table.Last();
    observer.events.clear();
    table.Insert();
    table.Fields(0).setAsInteger(1);
    table.Fields(1).setAsString(QStringLiteral("Emil"));
    table.Post();
    EXPECT_EQ(observer.events, (QStringList{"ins?2", "ins2", "chg2", "chg2", "rem?2", "rem2"}));
    EXPECT_EQ(table.RecordCount(), 2);
    EXPECT_EQ(table.RecNo(), 1);
    EXPECT_EQ(table.physicalRecordCount(), 5);
    table.setFiltered(false);
    EXPECT_EQ(names().last(), QStringLiteral("Emil"));
}

TEST_F(Cursor, IndexSortsAscendingAndStable) {
    table.AddIndex(QStringLiteral("NRIDX"), QStringLiteral("Nr"));
    table.AddIndex(QStringLiteral("NAMEIDX"), QStringLiteral("NAME"));
    table.AddIndex(QStringLiteral("NRIDX"), QStringLiteral("Name"));  // same name again: nothing
    EXPECT_EQ(table.indexNames(), (QStringList{"NRIDX", "NAMEIDX"}));
    table.setIndexName(QStringLiteral("NRIDX"));
    EXPECT_EQ(names(), (QStringList{"anton", "Dora", "Berta", "Cäsar"}));  // equal keys keep file order
    table.setIndexName(QStringLiteral("NAMEIDX"));
    EXPECT_EQ(names(), (QStringList{"anton", "Berta", "Cäsar", "Dora"}));
    table.setIndexName(QString());
    EXPECT_EQ(names(), (QStringList{"Cäsar", "anton", "Berta", "Dora"}));
    EXPECT_THROW(table.setIndexName(QStringLiteral("FEHLT")), StorageError);
    EXPECT_THROW(table.AddIndex(QStringLiteral("X"), QStringLiteral("FEHLT")), FieldNotFoundError);
}

TEST_F(Cursor, PostedInsertTakesItsSortPosition) {
    table.AddIndex(QStringLiteral("NRIDX"), QStringLiteral("NR"));
    table.setIndexName(QStringLiteral("NRIDX"));
    observer.events.clear();
    add(2, QStringLiteral("Emil"));
    // Pending row 4 moves to row 3, after the other 2.
    EXPECT_EQ(observer.events, (QStringList{"ins?4", "ins4", "chg4", "chg4", "mov?4>3", "mov4>3"}));
    EXPECT_EQ(table.RecNo(), 3);
    EXPECT_EQ(table.Fields(1).AsString(), QStringLiteral("Emil"));
    EXPECT_EQ(names(), (QStringList{"anton", "Dora", "Berta", "Emil", "Cäsar"}));
}

TEST_F(Cursor, EditReevaluatesSortAndFilter) {
    table.AddIndex(QStringLiteral("NRIDX"), QStringLiteral("NR"));
    table.setIndexName(QStringLiteral("NRIDX"));  // anton1 Dora1 Berta2 Cäsar3
    table.First();
    observer.events.clear();
    table.Edit();
    table.Fields(0).setAsInteger(5);
    table.Post();
    EXPECT_EQ(observer.events, (QStringList{"chg0", "mov?0>3", "mov0>3", "chg3"}));
    EXPECT_EQ(table.RecNo(), 3);
    EXPECT_EQ(names(), (QStringList{"Dora", "Berta", "Cäsar", "anton"}));

    table.setRecNo(1);  // Berta: unchanged key stays
    observer.events.clear();
    table.Edit();
    table.Fields(1).setAsString(QStringLiteral("Bertha"));
    table.Post();
    EXPECT_EQ(observer.events, (QStringList{"chg1", "chg1"}));

    filterNr(2);
    table.setFiltered(true);  // Bertha2 Cäsar3 anton5
    table.First();
    observer.events.clear();
    table.Edit();
    table.Fields(0).setAsInteger(0);
    table.Post();
    EXPECT_EQ(observer.events, (QStringList{"chg0", "rem?0", "rem0"}));
    EXPECT_EQ(table.Fields(1).AsString(), QStringLiteral("Cäsar"));
}

TEST_F(Cursor, EditCancelRestoresValues) {
    table.First();
    table.Edit();
    table.Fields(1).setAsString(QStringLiteral("Zacharias"));
    EXPECT_EQ(table.Fields(1).AsString(), QStringLiteral("Zacharias"));
    table.Cancel();
    EXPECT_EQ(table.Fields(1).AsString(), QStringLiteral("Cäsar"));
    table.Close();
    table.Open();
    EXPECT_EQ(table.Fields(1).AsString(), QStringLiteral("Cäsar"));
}

TEST_F(Cursor, IndexListSurvivesReopenAndFallsBackWhenFieldIsGone) {
    table.AddIndex(QStringLiteral("NAMEIDX"), QStringLiteral("NAME"));
    table.setIndexName(QStringLiteral("NAMEIDX"));
    table.Close();
    table.Open();
    EXPECT_EQ(table.IndexName(), QStringLiteral("NAMEIDX"));
    EXPECT_EQ(names().first(), QStringLiteral("anton"));
    table.Close();
    // Another file with other fields under the same object.
    testsupport::RawDbf raw;
    raw.fields = {{"OTHER", 'C', 5, 0}};
    raw.addRecord({"b"});
    raw.addRecord({"a"});
    raw.write(folder.file(QStringLiteral("o.dbf")));
    table.setTableName(QStringLiteral("o.dbf"));
    table.Open();
    EXPECT_EQ(table.IndexName(), QString());
    EXPECT_EQ(walk(table), (QStringList{"b", "a"}));
}

TEST_F(Cursor, RefreshReadsChangesOfOtherWritersAndKeepsCursorRecord) {
    table.setRecNo(2);  // Berta
    {
        DbfTable other;
        other.setFilePath(folder.path());
        other.setTableName(QStringLiteral("t.dbf"));
        other.Open();
        other.First();
        other.Delete();  // Cäsar
        other.Insert();
        other.Fields(1).setAsString(QStringLiteral("Emil"));
        other.Post();
    }
    EXPECT_EQ(table.RecordCount(), 4);
    observer.events.clear();
    table.Refresh();
    EXPECT_EQ(observer.events, (QStringList{"reset?", "reset"}));
    EXPECT_EQ(table.Fields(1).AsString(), QStringLiteral("Berta"));
    EXPECT_EQ(table.RecNo(), 1);
    EXPECT_EQ(names(), (QStringList{"anton", "Berta", "Dora", "Emil"}));
}

TEST_F(Cursor, AppendRecordPostsAnEmptyRecord) {
    table.AppendRecord();
    EXPECT_EQ(table.state(), DbfTable::State::Browse);
    EXPECT_EQ(table.RecordCount(), 5);
    EXPECT_TRUE(table.Fields(0).IsNull());
    EXPECT_EQ(table.RecNo(), 4);
}

TEST_F(Cursor, ReadRowDoesNotMoveTheCursor) {
    table.setRecNo(1);
    observer.withCursor = true;
    observer.events.clear();
    QString name;
    table.readRow(3, [&](const DbfTable& t) { name = t.Fields(1).AsString(); });
    EXPECT_EQ(name, QStringLiteral("Dora"));
    EXPECT_EQ(table.RecNo(), 1);
    EXPECT_TRUE(observer.events.isEmpty());
    table.Insert();
    table.Fields(1).setAsString(QStringLiteral("Neu"));
    table.readRow(4, [&](const DbfTable& t) { name = t.Fields(1).AsString(); });
    EXPECT_EQ(name, QStringLiteral("Neu"));
    EXPECT_THROW(table.readRow(5, [](const DbfTable&) {}), StorageError);
}

TEST_F(Cursor, WalkNotifiesOnlyCursorChanges) {
    observer.withCursor = true;
    observer.events.clear();
    names();
    for (const QString& e : observer.events) EXPECT_EQ(e, QStringLiteral("cur"));
    EXPECT_EQ(observer.events.size(), 4);  // First + three moves; Next at the end does not move
    table.detach(&observer);
    observer.events.clear();
    names();
    EXPECT_TRUE(observer.events.isEmpty());
}

// A filter that fails must not leave the table claiming a state it is not in: the switch stays where
// it was, so switching again (after the condition was fixed) really applies the filter.
TEST_F(Cursor, AFailingFilterLeavesTheSwitchAsItWas) {
    table.setOnFilterRecord([](const DbfTable& t) -> bool {
        if (t.Fields(1).AsString() == QStringLiteral("Berta")) throw StorageError(QStringLiteral("kaputt"));
        return true;
    });
    EXPECT_THROW(table.setFiltered(true), StorageError);
    EXPECT_FALSE(table.Filtered());
    EXPECT_EQ(names(), (QStringList{"Cäsar", "anton", "Berta", "Dora"}));

    filterNr(2);
    table.setFiltered(true);
    EXPECT_TRUE(table.Filtered());
    EXPECT_EQ(names(), (QStringList{"Cäsar", "Berta"}));

    // Switching off cannot fail, whatever the callback does.
    table.setOnFilterRecord([](const DbfTable&) -> bool { throw StorageError(QStringLiteral("kaputt")); });
    table.setFiltered(false);
    EXPECT_EQ(names().size(), 4);
    EXPECT_THROW(table.setFiltered(true), StorageError);
    EXPECT_FALSE(table.Filtered());
    EXPECT_EQ(names().size(), 4);
}

// Switching the filter while a record is being inserted posts it first; it is stored whether or not
// the filter then shows it.
TEST_F(Cursor, SwitchingTheFilterWhileInsertingPostsTheRecord) {
    filterNr(2);
    table.Insert();
    table.Fields(0).setAsInteger(1);
    table.Fields(1).setAsString(QStringLiteral("Emil"));
    table.setFiltered(true);
    EXPECT_EQ(table.state(), DbfTable::State::Browse);
    EXPECT_EQ(names(), (QStringList{"Cäsar", "Berta"}));
    table.setFiltered(false);
    EXPECT_EQ(names(), (QStringList{"Cäsar", "anton", "Berta", "Dora", "Emil"}));
    table.Close();
    table.Open();
    EXPECT_EQ(table.physicalRecordCount(), 5);
}

// Records with an empty key sort first and keep their physical order among themselves, as do equal keys.
TEST_F(Cursor, EmptyKeysSortFirstAndEqualKeysKeepTheirOrder) {
    table.Insert();
    table.Fields(1).setAsString(QStringLiteral("ohne Nr"));
    table.Post();
    table.Insert();
    table.Fields(0).setAsInteger(1);
    table.Post();  // no name
    table.AddIndex(QStringLiteral("NR"), QStringLiteral("Nr"));
    table.setIndexName(QStringLiteral("NR"));
    EXPECT_EQ(names(), (QStringList{"ohne Nr", "anton", "Dora", "", "Berta", "Cäsar"}));
    table.AddIndex(QStringLiteral("NAME"), QStringLiteral("Name"));
    table.setIndexName(QStringLiteral("NAME"));
    EXPECT_EQ(names(), (QStringList{"", "anton", "Berta", "Cäsar", "Dora", "ohne Nr"}));
}
