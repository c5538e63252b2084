// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QHeaderView>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include "UiTestSupport.h"
#include "journal/TableModel.h"
#include "startup/TableSet.h"
#include "support/TestSupport.h"
#include "ui/DBGrid.h"
#include "ui/DBNavigator.h"
#include "ui/EinstellungenFUnit.h"

namespace {

using B = DBNavigator::Button;

class TableWidgets : public ::testing::Test {
protected:
    void SetUp() override {
        uitest::createTable(accounts, folder.path(), QStringLiteral("aaccounts_1_2026.dbf"),
                            TableSet::accountsSchema());
    }
    void fill(int rows) {
        for (int i = 1; i <= rows; ++i) uitest::addAccount(accounts, i, QStringLiteral("Konto Nummer %1").arg(i));
        accounts.First();
    }
    // Enabled state of all ten buttons as a string, "1" for enabled, in button order.
    static std::string enabledPattern(const DBNavigator& nav) {
        std::string s;
        for (int i = 0; i < DBNavigator::buttonCount; ++i) s += nav.button(B(i))->isEnabled() ? '1' : '0';
        return s;
    }
    // The open cell editor (closed editors linger hidden until deleted later).
    static QLineEdit* openCellEditor(DBGrid* grid) {
        for (QLineEdit* edit : grid->viewport()->findChildren<QLineEdit*>())
            if (edit->isVisible()) return edit;
        return nullptr;
    }
    // Reads the table file again, as another program run would.
    int storedRows() {
        DbfTable check;
        check.setFilePath(folder.path());
        check.setTableName(accounts.TableName());
        check.Open();
        return check.RecordCount();
    }

    testsupport::TempFolder folder;
    DbfTable accounts;
};

}  // namespace

TEST(DBNavigatorLook, HintsSizeAndAccessibleNames) {
    const char* hints[] = {"Erster Datensatz",
                           "Vorheriger Datensatz",
                           "Nächster Datensatz",
                           "Letzter Datensatz",
                           "Datensatz einfügen",
                           "Datensatz löschen",
                           "Datensatz bearbeiten",
                           "Geänderten Datensatz speichern",
                           "Abbrechen, Änderungen verwerfen",
                           "Daten aktualisieren"};
    DBNavigator withHints;
    DBNavigator withoutHints(nullptr, false);
    EXPECT_EQ(withHints.size(), QSize(240, 25));
    for (int i = 0; i < DBNavigator::buttonCount; ++i) {
        const QString hint = QString::fromUtf8(hints[i]);
        EXPECT_EQ(withHints.button(B(i))->toolTip(), hint);
        EXPECT_EQ(withHints.button(B(i))->accessibleName(), hint);
        EXPECT_TRUE(withoutHints.button(B(i))->toolTip().isEmpty());
        EXPECT_EQ(withoutHints.button(B(i))->accessibleName(), hint);
        EXPECT_TRUE(!withHints.button(B(i))->icon().isNull() || !withHints.button(B(i))->text().isEmpty());
    }
}

TEST_F(TableWidgets, NavigatorEnablesButtonsLikeADatasetNavigator) {
    DBNavigator nav;
    //                                   F P N L I D E P C R
    EXPECT_EQ(enabledPattern(nav), "0000000000") << "unbound";
    nav.setTable(&accounts);
    EXPECT_EQ(enabledPattern(nav), "0000100001") << "empty table";
    fill(3);
    EXPECT_EQ(enabledPattern(nav), "0011111001") << "first row";
    accounts.Next();
    EXPECT_EQ(enabledPattern(nav), "1111111001") << "middle row";
    accounts.Last();
    EXPECT_EQ(enabledPattern(nav), "1100111001") << "last row";
    accounts.Edit();
    EXPECT_EQ(enabledPattern(nav), "1100110110") << "editing";
    accounts.Cancel();
    QTest::mouseClick(nav.button(B::Insert), Qt::LeftButton);
    EXPECT_EQ(accounts.state(), DbfTable::State::Insert);
    EXPECT_TRUE(nav.button(B::Post)->isEnabled());
    EXPECT_TRUE(nav.button(B::Cancel)->isEnabled());
    EXPECT_FALSE(nav.button(B::Edit)->isEnabled());
    QTest::mouseClick(nav.button(B::Cancel), Qt::LeftButton);
    EXPECT_EQ(accounts.state(), DbfTable::State::Browse);
    QTest::mouseClick(nav.button(B::First), Qt::LeftButton);
    EXPECT_EQ(accounts.RecNo(), 0);
    QTest::mouseClick(nav.button(B::Next), Qt::LeftButton);
    EXPECT_EQ(accounts.RecNo(), 1);
    accounts.Close();
    EXPECT_EQ(enabledPattern(nav), "0000000000") << "closed";
    nav.setTable(nullptr);
}

TEST_F(TableWidgets, NavigatorDeleteAsksFirstAndDefaultsToNo) {
    fill(2);
    DBNavigator nav;
    nav.setTable(&accounts);
    {
        uitest::MessageBoxAnswer answer(QStringLiteral("Nein"));
        QTest::mouseClick(nav.button(B::Delete), Qt::LeftButton);
        ASSERT_TRUE(answer.answered());
        EXPECT_EQ(answer.text(), QStringLiteral("Datensatz löschen?"));
        EXPECT_EQ(answer.defaultButtonText(), QStringLiteral("Nein"));
    }
    EXPECT_EQ(accounts.RecordCount(), 2);
    {
        uitest::MessageBoxAnswer answer;  // Enter on the box: the default button
        QTest::mouseClick(nav.button(B::Delete), Qt::LeftButton);
        ASSERT_TRUE(answer.answered());
    }
    EXPECT_EQ(accounts.RecordCount(), 2);
    {
        uitest::MessageBoxAnswer answer(QStringLiteral("Ja"));
        QTest::mouseClick(nav.button(B::Delete), Qt::LeftButton);
    }
    EXPECT_EQ(accounts.RecordCount(), 1);
    EXPECT_EQ(storedRows(), 1);
    nav.setTable(nullptr);
}

TEST_F(TableWidgets, NavigatorShowsTableErrorsInTheErrorBox) {
    fill(1);
    DBNavigator nav;
    nav.setTable(&accounts);
    // Post is disabled with nothing pending; run it anyway: the table refuses.
    uitest::MessageBoxAnswer answer;
    EXPECT_FALSE(nav.doAction(B::Post));
    EXPECT_TRUE(answer.answered());
    EXPECT_EQ(answer.icon(), QMessageBox::Critical);
    EXPECT_EQ(answer.text(),
              QStringLiteral("Es gibt keine Änderung zum Speichern. Ändern oder ergänzen Sie zuerst einen "
                             "Datensatz."));
    EXPECT_EQ(accounts.RecordCount(), 1);
    nav.setTable(nullptr);
}

TEST_F(TableWidgets, GridFollowsTheTableCursorBothWays) {
    fill(5);
    TableModel model;
    model.bind(&accounts);
    DBGrid grid;
    grid.setTableModel(&model);
    grid.resize(400, 300);
    grid.show();
    accounts.setRecNo(3);
    EXPECT_EQ(grid.currentIndex().row(), 3);
    accounts.First();
    EXPECT_EQ(grid.currentIndex().row(), 0);
    // The user clicks into row 2.
    const QRect cell = grid.visualRect(model.index(2, 1));
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, cell.center());
    EXPECT_EQ(accounts.RecNo(), 2);
    QTest::keyClick(&grid, Qt::Key_Down);
    EXPECT_EQ(accounts.RecNo(), 3);
    EXPECT_EQ(grid.verticalHeader()->sectionResizeMode(0), QHeaderView::Fixed);
    EXPECT_FALSE(grid.isSortingEnabled());
    grid.setTableModel(nullptr);
    model.unbind();
}

TEST_F(TableWidgets, GridReportsTitleClicksAndHandlesInsertAndDeleteKeys) {
    fill(2);
    TableModel model;
    model.bind(&accounts);
    DBGrid grid;
    grid.setTableModel(&model);
    grid.resize(400, 300);
    grid.show();
    QSignalSpy titles(&grid, &DBGrid::titleClick);
    QHeaderView* header = grid.horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(1) + 5, header->height() / 2));
    ASSERT_EQ(titles.count(), 1);
    EXPECT_EQ(titles.at(0).at(0).toInt(), 1);

    QTest::keyClick(&grid, Qt::Key_Insert);
    EXPECT_EQ(accounts.state(), DbfTable::State::Insert);
    EXPECT_EQ(grid.currentIndex().row(), 2);
    // Cancelling drops the new row; the grid handing its current row to a neighbour must not post it.
    accounts.Cancel();
    EXPECT_EQ(accounts.RecordCount(), 2);
    EXPECT_EQ(storedRows(), 2);

    accounts.First();
    {
        uitest::MessageBoxAnswer answer(QStringLiteral("Ja"));
        QTest::keyClick(&grid, Qt::Key_Delete);
        EXPECT_EQ(answer.text(), QStringLiteral("Datensatz löschen?"));
    }
    EXPECT_EQ(accounts.RecordCount(), 1);
    grid.setTableModel(nullptr);
    model.unbind();
}

TEST_F(TableWidgets, GridShowsRefusedCellValuesAsWarning) {
    fill(1);
    TableModel model;
    model.bind(&accounts);
    DBGrid grid;
    grid.setTableModel(&model);
    grid.show();
    uitest::MessageBoxAnswer answer;
    // "Nr" is an integer field: a text is refused by the table.
    model.setData(model.index(0, 0), QStringLiteral("zwölf"));
    // Shown once the caller has unwound, never from inside the refused change.
    EXPECT_FALSE(answer.answered());
    for (int i = 0; i < 100 && !answer.answered(); ++i) QTest::qWait(10);
    EXPECT_TRUE(answer.answered());
    EXPECT_EQ(answer.icon(), QMessageBox::Warning);
    EXPECT_EQ(accounts.Fields(0).AsInteger(), 1);
    grid.setTableModel(nullptr);
    model.unbind();
}

TEST_F(TableWidgets, TableEditorPostsAPendingInsertOnEveryWayOfClosing) {
    const std::vector<std::function<void(TEinstellungenForm&)>> closers = {
        [](TEinstellungenForm& f) { f.close(); },
        [](TEinstellungenForm& f) { QTest::mouseClick(f.OKBtn, Qt::LeftButton); },
        [](TEinstellungenForm& f) { QTest::keyClick(&f, Qt::Key_Escape); },
    };
    TEinstellungenForm editor;
    EXPECT_EQ(editor.windowTitle(), QStringLiteral("Einstellungen bearbeiten..."));
    EXPECT_EQ(editor.size(), QSize(550, 436));
    EXPECT_EQ(editor.DBNavigator1->pos(), QPoint(8, 40));
    EXPECT_EQ(editor.OKBtn->pos(), QPoint(8, 8));
    for (size_t i = 0; i < closers.size(); ++i) {
        editor.bind(&accounts);
        editor.show();
        QTest::mouseClick(editor.DBNavigator1->button(B::Insert), Qt::LeftButton);
        ASSERT_EQ(accounts.state(), DbfTable::State::Insert) << i;
        // Type a number into the first cell and leave the editor open.
        const QModelIndex cell = editor.DBGrid1->model()->index(accounts.RecNo(), 0);
        editor.DBGrid1->setCurrentIndex(cell);
        editor.DBGrid1->edit(cell);
        QLineEdit* cellEditor = openCellEditor(editor.DBGrid1);
        ASSERT_NE(cellEditor, nullptr) << i;
        cellEditor->setText(QString::number(40 + int(i)));
        closers[i](editor);
        EXPECT_FALSE(editor.isVisible()) << i;
        EXPECT_EQ(accounts.state(), DbfTable::State::Browse) << i;
        editor.unbind();
        EXPECT_EQ(storedRows(), int(i) + 1) << i;
    }
    accounts.Last();
    EXPECT_EQ(accounts.Fields(0).AsInteger(), 42);
}

TEST_F(TableWidgets, TableEditorEnterEditsTheCellInsteadOfClosing) {
    fill(1);
    TEinstellungenForm editor;
    editor.bind(&accounts);
    editor.show();
    editor.DBGrid1->setFocus();
    editor.DBGrid1->setCurrentIndex(editor.DBGrid1->model()->index(0, 1));
    QTest::keyClick(editor.DBGrid1, Qt::Key_Return);
    EXPECT_TRUE(editor.isVisible());
    EXPECT_TRUE(editor.DBGrid1->isEditing());
    QLineEdit* cellEditor = openCellEditor(editor.DBGrid1);
    ASSERT_NE(cellEditor, nullptr);
    cellEditor->selectAll();
    QTest::keyClicks(cellEditor, QStringLiteral("Umbenannt"));
    QTest::keyClick(cellEditor, Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_TRUE(editor.isVisible());
    EXPECT_EQ(accounts.Fields(1).AsString(), QStringLiteral("Umbenannt"));
    editor.close();
    editor.unbind();
}
