// SPDX-License-Identifier: GPL-3.0-or-later
// What a table tells its witnesses, and what it does when a witness refuses or its own write fails: the
// refused change is not written and stays pending; a failed write is withdrawn from the witnesses.
#include <gtest/gtest.h>

#include <QDir>
#include <stdexcept>

#include "StorageTestUtil.h"
#include "storage/DbfTable.h"
#include "storage/StorageError.h"
#include "storage/TableWitness.h"
#include "support/FailingFileIo.h"
#include "support/TestSupport.h"

using namespace storagetest;
using testsupport::readFile;
using testsupport::TempFolder;

namespace {

struct Witness : TableWitness {
    QStringList calls;
    bool refuseCheck = false;
    bool refuseWriting = false;
    static QString kind(TableChange::Kind k) {
        return k == TableChange::Kind::Insert ? QStringLiteral("ins") : k == TableChange::Kind::Edit ? QStringLiteral("edit") : QStringLiteral("del");
    }
    QString say(const char* call, const std::vector<TableChange>& changes) {
        const TableChange& c = changes.front();
        return QStringLiteral("%1 %2 %3 %4|%5").arg(QLatin1String(call), kind(c.kind)).arg(c.physical)
            .arg(QString::fromLatin1(c.before.left(6)).trimmed(), QString::fromLatin1(c.after.left(6)).trimmed());
    }
    void check(const DbfTable&, const std::vector<TableChange>& c) override {
        calls << say("check", c);
        if (refuseCheck) throw std::runtime_error("closed");
    }
    void writing(const DbfTable&, const std::vector<TableChange>& c) override {
        calls << say("writing", c);
        if (refuseWriting) throw std::runtime_error("log full");
    }
    void undone(const DbfTable&, const std::vector<TableChange>& c) override { calls << say("undone", c); }
};

enum class Op { Insert, Edit, Delete };

struct Case {
    const char* label;
    Op op;
    bool refuseCheck, refuseWriting, diskFull;
    QStringList calls;  // what the witness hears
    bool written;       // the table file changed
};

TEST(TableWitness, HearsEveryChangeAndItsRefusal) {
    const Case cases[] = {
        {"insert", Op::Insert, false, false, false, {"check ins 2 |new", "writing ins 2 |new"}, true},
        {"edit", Op::Edit, false, false, false, {"check edit 0 b|new", "writing edit 0 b|new"}, true},
        {"delete", Op::Delete, false, false, false, {"check del 1 c|*c", "writing del 1 c|*c"}, true},
        {"insert refused by check", Op::Insert, true, false, false, {"check ins 2 |new"}, false},
        {"edit refused while recording", Op::Edit, false, true, false, {"check edit 0 b|new", "writing edit 0 b|new"}, false},
        {"delete refused by check", Op::Delete, true, false, false, {"check del 1 c|*c"}, false},
        {"insert hit by a write error", Op::Insert, false, false, true,
         {"check ins 2 |new", "writing ins 2 |new", "undone ins 2 |new"}, false},
        {"edit hit by a write error", Op::Edit, false, false, true,
         {"check edit 0 b|new", "writing edit 0 b|new", "undone edit 0 b|new"}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        TempFolder dir;
        DbfTable table;
        createAndOpen(table, dir.path(), QStringLiteral("t.dbf"), textSchema());
        appendTexts(table, {QStringLiteral("b"), QStringLiteral("c")});
        const QByteArray before = readFile(dir.path() + QStringLiteral("t.dbf"));
        Witness witness;
        witness.refuseCheck = c.refuseCheck;
        witness.refuseWriting = c.refuseWriting;
        table.addWitness(&witness);
        testsupport::IoFaults faults;
        if (c.diskFull) faults.writeErrorAt = 0;
        const auto act = [&] {
            testsupport::FailingFileIo io(faults);
            if (c.op == Op::Delete) {
                table.setRecNo(1);
                table.Delete();
                return;
            }
            if (c.op == Op::Insert) {
                table.Insert();
            } else {
                table.setRecNo(0);
                table.Edit();
            }
            table.Fields(0).setAsString(QStringLiteral("new"));
            table.Post();
        };
        if (c.refuseCheck || c.refuseWriting || c.diskFull) EXPECT_ANY_THROW(act());
        else act();
        EXPECT_EQ(witness.calls.join(QLatin1Char('/')).toStdString(), c.calls.join(QLatin1Char('/')).toStdString());
        EXPECT_EQ(readFile(dir.path() + QStringLiteral("t.dbf")) != before, c.written);
        if (!c.written && c.op != Op::Delete) {  // the refused record stays pending, to be posted later
            EXPECT_NE(table.state(), DbfTable::State::Browse);
            table.removeWitness(&witness);
            table.Post();
            EXPECT_EQ(walk(table).contains(QStringLiteral("new")), true);
        }
        table.removeWitness(&witness);
    }
}

}  // namespace
