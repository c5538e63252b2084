// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <functional>

#include "JournalFixtures.h"
#include "journal/DetachedView.h"
#include "journal/JournalFilter.h"
#include "journal/JournalModel.h"
#include "storage/TableObserver.h"
#include "journal/Booking.h"

using namespace journaltest;

namespace {

using namespace Booking;

class TableModelTest : public ::testing::Test {
protected:
    void SetUp() override {
        model.bind(bookings.get());
        tester =
            std::make_unique<QAbstractItemModelTester>(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    }
    void TearDown() override {
        tester.reset();
        model.unbind();
    }
    QString cell(int row, int column) { return model.index(row, column).data().toString(); }
    void add(const QString& text, double brutto, double mwst, QDate datum = QDate(2024, 5, 1)) {
        addBooking(*bookings, {datum, QStringLiteral("E"), {}, text, brutto, mwst});
    }

    testsupport::TempFolder folder;
    std::unique_ptr<DbfTable> bookings = createTable(folder, QStringLiteral("records_1_2024.dbf"), bookingsDefs());
    JournalModel model;
    std::unique_ptr<QAbstractItemModelTester> tester;
};

TEST_F(TableModelTest, columnsAreTheStoredFieldNames) {
    ASSERT_EQ(model.columnCount(), 11);
    const QStringList expected = {"DATUM", "ART",   "BELEG", "TEXT",       "BRUTTO",    "MWST",
                                  "KONTO", "MWST2", "NETTO", "SAMMELKONT", "KOSTENSTEL"};
    for (int c = 0; c < 11; ++c) EXPECT_EQ(model.headerData(c, Qt::Horizontal).toString(), expected[c]);
    EXPECT_EQ(model.rowCount(), 0);
}

TEST_F(TableModelTest, computedColumnsIgnoreWhatIsStored) {
    add(QStringLiteral("Verkauf"), 119, 19);
    add(QStringLiteral("ohne Steuer"), 50, 0);
    add(QStringLiteral("unmöglich"), 10, -100);
    // Values stored in MwSt2 and Netto by other software are never shown.
    bookings->First();
    bookings->Edit();
    bookings->Fields(MwSt2).setAsFloat(999);
    bookings->Fields(Netto).setAsFloat(888);
    bookings->Post();

    ASSERT_EQ(model.rowCount(), 3);
    EXPECT_EQ(cell(0, MwSt2), QStringLiteral("19,00"));
    EXPECT_EQ(cell(0, Netto), QStringLiteral("100,00"));
    EXPECT_EQ(cell(1, MwSt2), QStringLiteral("0,00"));
    EXPECT_EQ(cell(1, Netto), QStringLiteral("50,00"));
    EXPECT_EQ(cell(2, MwSt2), QString());
    EXPECT_EQ(cell(0, Brutto), QStringLiteral("119"));
    EXPECT_EQ(cell(0, Datum), QStringLiteral("01.05.2024"));
    EXPECT_EQ(cell(0, Text), QStringLiteral("Verkauf"));
    EXPECT_EQ(cell(0, Sammelkonto), QString());

    const int right = int(Qt::AlignRight | Qt::AlignVCenter);
    EXPECT_EQ(model.index(0, MwSt2).data(Qt::TextAlignmentRole).toInt(), right);
    EXPECT_EQ(model.index(0, Brutto).data(Qt::TextAlignmentRole).toInt(), right);
    EXPECT_NE(model.index(0, Text).data(Qt::TextAlignmentRole).toInt(), right);
    EXPECT_FALSE(model.flags(model.index(0, MwSt2)).testFlag(Qt::ItemIsEditable));
    EXPECT_FALSE(model.flags(model.index(0, Netto)).testFlag(Qt::ItemIsEditable));
    EXPECT_TRUE(model.flags(model.index(0, Brutto)).testFlag(Qt::ItemIsEditable));
    EXPECT_FALSE(model.setData(model.index(0, Netto), QStringLiteral("5")));
}

TEST_F(TableModelTest, computedColumnsInEnglish) {
    testsupport::ScopedLocale english(QLocale(QLocale::English, QLocale::UnitedStates));
    add(QStringLiteral("x"), 10, 7);
    EXPECT_EQ(cell(0, MwSt2), QStringLiteral("0.65"));
    EXPECT_EQ(cell(0, Netto), QStringLiteral("9.35"));
}

TEST_F(TableModelTest, rowsFollowPostDeleteAndFilter) {
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
    add(QStringLiteral("eins"), 1, 19);
    add(QStringLiteral("zwei"), 2, 19);
    add(QStringLiteral("drei"), 3, 19);
    EXPECT_EQ(model.rowCount(), 3);
    EXPECT_EQ(inserted.count(), 3);
    EXPECT_EQ(cell(2, Text), QStringLiteral("drei"));

    bookings->setRecNo(1);
    bookings->Delete();
    EXPECT_EQ(model.rowCount(), 2);
    EXPECT_EQ(removed.count(), 1);
    EXPECT_EQ(cell(1, Text), QStringLiteral("drei"));

    JournalFilter filter;
    filter.FilterbtnClick(*bookings, QStringLiteral("drei"));
    EXPECT_EQ(model.rowCount(), 1);
    EXPECT_EQ(cell(0, Text), QStringLiteral("drei"));
    add(QStringLiteral("nicht sichtbar"), 4, 19);  // rejected by the filter: no new row
    EXPECT_EQ(model.rowCount(), 1);
    filter.AllezeigenBtnClick(*bookings);
    EXPECT_EQ(model.rowCount(), 3);
    EXPECT_EQ(cell(2, Text), QStringLiteral("nicht sichtbar"));
}

TEST_F(TableModelTest, sortByColumnTwiceMakesOneIndex) {
    add(QStringLiteral("c"), 30, 19);
    add(QStringLiteral("a"), 10, 19);
    add(QStringLiteral("b"), 20, 19);
    EXPECT_EQ(cell(0, Text), QStringLiteral("c"));
    EXPECT_TRUE(model.sortByColumn(Brutto));
    EXPECT_EQ(bookings->IndexName(), QStringLiteral("BRUTTO"));
    EXPECT_EQ((QStringList{cell(0, Text), cell(1, Text), cell(2, Text)}), (QStringList{"a", "b", "c"}));
    EXPECT_TRUE(model.sortByColumn(Brutto));
    EXPECT_EQ(bookings->indexNames(), QStringList{QStringLiteral("BRUTTO")});
    EXPECT_EQ((QStringList{cell(0, Text), cell(1, Text), cell(2, Text)}), (QStringList{"a", "b", "c"}));
    // Every walk now runs in that order.
    EXPECT_EQ(column(*bookings, Text), (QStringList{"a", "b", "c"}));

    EXPECT_TRUE(model.sortByColumn(Text));
    EXPECT_EQ(bookings->indexNames().size(), 2);
    EXPECT_FALSE(model.sortByColumn(42));
    EXPECT_EQ(bookings->IndexName(), QStringLiteral("TEXT"));
}

TEST_F(TableModelTest, editingInPlace) {
    add(QStringLiteral("alt"), 10, 19);
    QSignalSpy failed(&model, &TableModel::editFailed);
    EXPECT_TRUE(model.setData(model.index(0, Text), QStringLiteral("neu")));
    EXPECT_EQ(bookings->state(), DbfTable::State::Browse);
    EXPECT_EQ(cell(0, Text), QStringLiteral("neu"));
    EXPECT_TRUE(model.setData(model.index(0, Brutto), QStringLiteral("12,5")));
    EXPECT_EQ(cell(0, Brutto), QStringLiteral("12,5"));
    EXPECT_EQ(cell(0, Netto), QStringLiteral("10,50"));
    EXPECT_EQ(failed.count(), 0);

    // Reopened from the file: the edits were written.
    bookings->Close();
    bookings->Open();
    EXPECT_EQ(cell(0, Text), QStringLiteral("neu"));
    EXPECT_EQ(cell(0, Brutto), QStringLiteral("12,5"));
}

TEST_F(TableModelTest, badInputIsRefusedAndReported) {
    add(QStringLiteral("alt"), 10, 19);
    QSignalSpy failed(&model, &TableModel::editFailed);
    const char* bad[] = {"zehn", "12a", "99999999999999"};
    for (const char* text : bad) {
        EXPECT_FALSE(model.setData(model.index(0, Brutto), QString::fromUtf8(text))) << text;
        EXPECT_EQ(bookings->state(), DbfTable::State::Browse);
        EXPECT_EQ(cell(0, Brutto), QStringLiteral("10"));
    }
    ASSERT_EQ(failed.count(), int(std::size(bad)));
    EXPECT_FALSE(failed.at(0).at(0).toString().isEmpty());
    EXPECT_FALSE(model.setData(model.index(0, Konto), QStringLiteral("1234567890")));
    bookings->Close();
    bookings->Open();
    EXPECT_EQ(cell(0, Brutto), QStringLiteral("10"));
}

TEST_F(TableModelTest, pendingInsertRowIsSetButNotPosted) {
    add(QStringLiteral("vorher"), 1, 19);
    EXPECT_EQ(cell(0, Text), QStringLiteral("vorher"));  // painted before the insert
    bookings->Insert();
    ASSERT_EQ(model.rowCount(), 2);
    EXPECT_TRUE(model.setData(model.index(1, Text), QStringLiteral("neu")));
    EXPECT_EQ(bookings->state(), DbfTable::State::Insert);
    EXPECT_EQ(cell(1, Text), QStringLiteral("neu"));
    EXPECT_EQ(cell(0, Text), QStringLiteral("vorher"));  // still shown while the insert is pending
    QSignalSpy failed(&model, &TableModel::editFailed);
    EXPECT_FALSE(model.setData(model.index(1, Brutto), QStringLiteral("keine Zahl")));
    EXPECT_EQ(failed.count(), 1);
    EXPECT_EQ(bookings->state(), DbfTable::State::Insert);  // the user's new record is not thrown away
    bookings->Post();
    EXPECT_EQ(model.rowCount(), 2);
    EXPECT_EQ(cell(1, Text), QStringLiteral("neu"));
    bookings->Insert();
    bookings->Cancel();
    EXPECT_EQ(model.rowCount(), 2);
}

TEST_F(TableModelTest, otherRowsStayReadableWhileARecordIsEdited) {
    add(QStringLiteral("eins"), 1, 19);
    add(QStringLiteral("zwei"), 2, 19);
    bookings->First();
    bookings->Edit();
    bookings->Fields(Text).setAsString(QStringLiteral("geändert"));
    EXPECT_EQ(cell(1, Text), QStringLiteral("zwei"));
    EXPECT_EQ(cell(0, Text), QStringLiteral("geändert"));  // the edit buffer, live
    EXPECT_EQ(bookings->state(), DbfTable::State::Edit);    // reading did not post the edit
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    bookings->Cancel();
    EXPECT_GE(changed.count(), 1);
    EXPECT_EQ(cell(0, Text), QStringLiteral("eins"));
}

TEST_F(TableModelTest, readingRowsKeepsTheCursorWhereItWas) {
    for (int i = 0; i < 100; ++i) add(QString::number(i), i, 19);
    bookings->setRecNo(7);
    QSignalSpy moved(&model, &TableModel::currentRowChanged);
    EXPECT_EQ(cell(60, Text), QStringLiteral("60"));
    EXPECT_EQ(cell(99, Text), QStringLiteral("99"));
    EXPECT_EQ(bookings->RecNo(), 7);
    EXPECT_EQ(model.currentRow(), 7);
    EXPECT_EQ(moved.count(), 0);
    bookings->setRecNo(8);
    EXPECT_EQ(moved.count(), 1);
}

// Counts the cursor moves a second view sees while the model reads.
class CountingView : public TableObserver {
public:
    int moves = 0;
    void cursorChanged() override { ++moves; }
};

TEST_F(TableModelTest, onlyRowsAskedForAreRead) {
    // Filled unbound: the model tester checks every row after every insert.
    model.unbind();
    for (int i = 0; i < 2000; ++i) add(QString::number(i), i, 19);
    model.bind(bookings.get());
    CountingView view;
    bookings->attach(&view);
    EXPECT_EQ(cell(1500, Text), QStringLiteral("1500"));
    // One excursion: there, a screenful forward, and back.
    EXPECT_LE(view.moves, 50);
    view.moves = 0;
    for (int r = 1500; r < 1530; ++r) EXPECT_EQ(cell(r, Text), QString::number(r));
    EXPECT_EQ(view.moves, 0);  // painted again from what was read
    bookings->detach(&view);
}

TEST_F(TableModelTest, closedOrUnboundTableIsAnEmptyModel) {
    add(QStringLiteral("x"), 1, 19);
    bookings->Close();
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_EQ(model.columnCount(), 0);
    bookings->Open();
    EXPECT_EQ(model.rowCount(), 1);
    EXPECT_EQ(model.columnCount(), 11);
    model.unbind();
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_EQ(model.columnCount(), 0);
    EXPECT_FALSE(model.sortByColumn(0));
    model.bind(bookings.get());
    EXPECT_EQ(model.rowCount(), 1);
}

TEST_F(TableModelTest, sortedPostMovesTheRow) {
    add(QStringLiteral("b"), 20, 19);
    add(QStringLiteral("d"), 40, 19);
    ASSERT_TRUE(model.sortByColumn(Brutto));
    add(QStringLiteral("a"), 10, 19);
    add(QStringLiteral("c"), 30, 19);
    EXPECT_EQ((QStringList{cell(0, Text), cell(1, Text), cell(2, Text), cell(3, Text)}),
              (QStringList{"a", "b", "c", "d"}));
    // An edit that changes the key moves the row.
    EXPECT_TRUE(model.setData(model.index(0, Brutto), QStringLiteral("50")));
    EXPECT_EQ((QStringList{cell(0, Text), cell(1, Text), cell(2, Text), cell(3, Text)}),
              (QStringList{"b", "c", "d", "a"}));
}

TEST_F(TableModelTest, plainTableModelOverAMasterTable) {
    auto accounts = createTable(folder, QStringLiteral("eaccounts_1_2024.dbf"), accountsDefs());
    addAccount(*accounts, 1, QStringLiteral("Einnahmen"));
    TableModel plain;
    QAbstractItemModelTester plainTester(&plain, QAbstractItemModelTester::FailureReportingMode::Fatal);
    plain.bind(accounts.get());
    EXPECT_EQ(plain.columnCount(), 2);
    EXPECT_EQ(plain.headerData(1, Qt::Horizontal).toString(), QStringLiteral("BEZEICHNUN"));
    EXPECT_EQ(plain.index(0, 0).data().toString(), QStringLiteral("1"));
    EXPECT_TRUE(plain.setData(plain.index(0, 1), QStringLiteral("Umsätze")));
    EXPECT_EQ(plain.index(0, 1).data().toString(), QStringLiteral("Umsätze"));
    plain.unbind();
}

// What happens to a table while its views are detached reaches them when they return: a walk that only
// moves the cursor costs no reset; a change of the rows is announced as a reset, never guessed as rows
// appended at the end (posted records land at their place in the sort order); the pending new record
// alone comes and goes as the last row.
TEST_F(TableModelTest, detachedChangesReachTheViewsOnTheirReturn) {
    struct Case {
        const char* label;
        std::function<void(DbfTable&)> change;
        int resets;
        int inserted;
        QStringList texts;
    };
    const std::vector<Case> cases{
        {"walk", [](DbfTable& t) { for (t.First(); !t.Eof(); t.Next()) {} }, 0, 0, {"b", "d"}},
        {"posted into the order",
         [](DbfTable& t) {
             addBooking(t, {QDate(2024, 5, 1), QStringLiteral("E"), {}, QStringLiteral("a"), 10, 19});
             addBooking(t, {QDate(2024, 5, 1), QStringLiteral("E"), {}, QStringLiteral("c"), 30, 19});
         },
         1, 0, {"a", "b", "c", "d"}},
        {"deleted", [](DbfTable& t) { t.First(); t.Delete(); }, 1, 0, {"d"}},
        {"other order", [](DbfTable& t) { t.setIndexName(QString()); }, 1, 0, {"d", "b"}},
        {"pending new record", [](DbfTable& t) { t.Insert(); }, 0, 1, {"b", "d", ""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        testsupport::TempFolder dir;
        auto table = createTable(dir, QStringLiteral("records_1_2024.dbf"), bookingsDefs());
        addBooking(*table, {QDate(2024, 5, 1), QStringLiteral("E"), {}, QStringLiteral("d"), 40, 19});
        addBooking(*table, {QDate(2024, 5, 1), QStringLiteral("E"), {}, QStringLiteral("b"), 20, 19});
        JournalModel view;
        view.bind(table.get());
        QAbstractItemModelTester check(&view, QAbstractItemModelTester::FailureReportingMode::Fatal);
        ASSERT_TRUE(view.sortByColumn(Brutto));
        QSignalSpy resets(&view, &QAbstractItemModel::modelReset);
        QSignalSpy inserted(&view, &QAbstractItemModel::rowsInserted);
        {
            DetachedView detached(*table, &view);
            c.change(*table);
        }
        EXPECT_EQ(resets.count(), c.resets);
        EXPECT_EQ(inserted.count(), c.inserted);
        QStringList texts;
        for (int row = 0; row < view.rowCount(); ++row) texts << view.index(row, Text).data().toString();
        EXPECT_EQ(texts, c.texts);
        view.unbind();
    }
}

}  // namespace
