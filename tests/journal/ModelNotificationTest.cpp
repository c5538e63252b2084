// SPDX-License-Identifier: GPL-3.0-or-later
// Every change of the bookings table reaches the grid model as exactly the rows that came, went, moved or
// changed. Views and screen readers hold cells by position: Qt's model tester checks each announcement
// against the rows the model reports, and after every operation the model shows the table's rows, cell by
// cell, with a reset only where the whole order or the set of rows changed.
#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <functional>

#include "JournalFixtures.h"
#include "journal/Booking.h"
#include "journal/JournalModel.h"
#include "storage/DayNumber.h"
#include "storage/DbfAppendBatch.h"
#include "storage/TableWitness.h"
#include "support/FailingFileIo.h"

using namespace journaltest;

namespace {

using namespace Booking;

QStringList messages;

void keepMessage(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type != QtDebugMsg && type != QtInfoMsg) messages << text;
}

// Refuses every change, as a closed period refuses a booking dated in it.
class ClosedPeriod : public TableWitness {
public:
    void check(const DbfTable&, const std::vector<TableChange>&) override {
        throw ChangeRefusedError(QStringLiteral("Der Zeitraum ist festgeschrieben."));
    }
};

void fill(DbfTable& t, const char* text, double brutto) {
    t.Fields(Datum).setAsDateTime(DayNumber::fromDate(QDate(2026, 4, 16)));
    t.Fields(Art).setAsString(QStringLiteral("E"));
    t.Fields(Text).setAsString(QString::fromLatin1(text));
    t.Fields(Brutto).setAsFloat(brutto);
}

void insert(DbfTable& t, const char* text, double brutto) {
    t.Insert();
    fill(t, text, brutto);
}

void edit(DbfTable& t, int row, const char* text, double brutto) {
    t.setRecNo(row);
    t.Edit();
    fill(t, text, brutto);
}

void refuseAll(DbfTable& t, const std::function<void()>& act) {
    ClosedPeriod closed;
    t.addWitness(&closed);
    try {
        act();
    } catch (...) {
        t.removeWitness(&closed);
        throw;
    }
    t.removeWitness(&closed);
}

void failWrites(const std::function<void()>& act) {
    testsupport::IoFaults faults;
    faults.writeErrorAt = 0;
    faults.writeErrorPersists = true;
    testsupport::FailingFileIo io(faults);
    act();
}

struct Step {
    const char* name;
    std::function<void(DbfTable&)> act;
    int rows;      // visible rows afterwards (the table starts with a, c, e, g, i sorted by text)
    bool refused;  // the operation throws and leaves the table as it was
    bool reset;    // the model is reset rather than told row by row
};

TEST(ModelNotificationTest, everyChangeReachesTheModelRowByRow) {
    const std::vector<Step> steps = {
        {"insert and post, moved by the sort", [](DbfTable& t) { insert(t, "b", 20), t.Post(); }, 6, false, false},
        {"insert and post at the end", [](DbfTable& t) { insert(t, "z", 20), t.Post(); }, 6, false, false},
        {"insert and cancel", [](DbfTable& t) { insert(t, "b", 20), t.Cancel(); }, 5, false, false},
        {"edit and post", [](DbfTable& t) { edit(t, 1, "c", 99), t.Post(); }, 5, false, false},
        {"edit and cancel", [](DbfTable& t) { edit(t, 1, "x", 99), t.Cancel(); }, 5, false, false},
        {"post that moves the row", [](DbfTable& t) { edit(t, 0, "h", 10), t.Post(); }, 5, false, false},
        {"delete", [](DbfTable& t) { t.setRecNo(2), t.Delete(); }, 4, false, false},
        {"delete while editing", [](DbfTable& t) { edit(t, 2, "x", 1), t.Delete(); }, 4, false, false},
        {"sort change", [](DbfTable& t) { t.setIndexName({}); }, 5, false, true},
        {"filter change",
         [](DbfTable& t) {
             t.setOnFilterRecord([](const DbfTable& r) { return r.Fields(Brutto).AsFloat() > 25; });
             t.setFiltered(true);
         },
         4, false, true},
        {"post hidden by the filter",
         [](DbfTable& t) {
             t.setOnFilterRecord([](const DbfTable& r) { return r.Fields(Brutto).AsFloat() > 25; });
             t.setFiltered(true);
             insert(t, "b", 1), t.Post();
         },
         4, false, true},
        {"append batch, as the CSV import writes",
         [](DbfTable& t) {
             DbfAppendBatch batch(t);
             for (const char* text : {"b", "d", "f"}) insert(t, text, 5), t.Post();
             batch.write();
         },
         8, false, true},
        {"record begun before a batch is collected by it",
         [](DbfTable& t) {
             insert(t, "b", 5);
             DbfAppendBatch batch(t);
             t.Post();
             t.First();  // the model checks itself against the table before the batch writes
         },
         6, false, true},
        {"record pending when the batch closes",
         [](DbfTable& t) {
             {
                 DbfAppendBatch batch(t);
                 insert(t, "b", 5);
             }
             t.Post();
         },
         6, false, false},
        {"new booking refused by a closed period",
         [](DbfTable& t) { insert(t, "b", 20), refuseAll(t, [&] { t.Post(); }); }, 6, true, false},
        {"edit refused by a closed period", [](DbfTable& t) { edit(t, 1, "x", 99), refuseAll(t, [&] { t.Post(); }); },
         5, true, false},
        {"delete refused by a closed period", [](DbfTable& t) { refuseAll(t, [&] { t.Delete(); }); }, 5, true, false},
        {"new booking whose write fails", [](DbfTable& t) { insert(t, "b", 20), failWrites([&] { t.Post(); }); }, 6,
         true, false},
        {"edit whose write fails", [](DbfTable& t) { edit(t, 3, "a", 1), failWrites([&] { t.Post(); }); }, 5, true,
         false},
        {"delete whose write fails", [](DbfTable& t) { t.setRecNo(4), failWrites([&] { t.Delete(); }); }, 5, true,
         false},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        testsupport::TempFolder folder;
        auto table = createTable(folder, QStringLiteral("records_1_2026.dbf"), bookingsDefs());
        DbfTable& t = *table;
        for (const char* text : {"i", "c", "g", "a", "e"}) insert(t, text, (text[0] - 'a') * 10 + 10), t.Post();
        t.AddIndex(QStringLiteral("TEXT"), QStringLiteral("TEXT"));
        t.setIndexName(QStringLiteral("TEXT"));

        JournalModel model;
        model.bind(&t);
        messages.clear();
        const QtMessageHandler previous = qInstallMessageHandler(keepMessage);
        {
            QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Warning);
            QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
            bool threw = false;
            try {
                step.act(t);
            } catch (const QuorvelError&) {
                threw = true;
            }
            EXPECT_EQ(threw, step.refused);
            EXPECT_EQ(resets.count() > 0, step.reset);
        }
        qInstallMessageHandler(previous);
        EXPECT_TRUE(messages.isEmpty()) << messages.join(u'\n').toStdString();

        ASSERT_EQ(t.RecordCount(), step.rows);
        ASSERT_EQ(model.rowCount(), step.rows);
        EXPECT_EQ(model.currentRow(), t.RecNo());
        for (int row = 0; row < step.rows; ++row) {
            QString stored;
            t.readRow(row, [&](const DbfTable& r) { stored = r.Fields(Text).AsString(); });
            EXPECT_EQ(model.index(row, Text).data().toString(), stored) << row;
        }
    }
}

}  // namespace
