// SPDX-License-Identifier: GPL-3.0-or-later
// The journal grid and the report window as a screen reader sees them: the accessibility layer is switched
// on as an accessibility bridge does, every event is answered at once the way the bridge answers it (the
// source, its place under its parent, its text), and every object the reader was told about is asked again
// later from the event loop, as a reader on the other end of the bus does. Run across sorts, posts, an
// import and report openings, under AddressSanitizer in the sanitizer build.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QDir>
#include <QHeaderView>
#include <QTimer>
#include <QtGui/private/qguiapplication_p.h>
#include <QtGui/qpa/qplatformaccessibility.h>
#include <QtGui/qpa/qplatformintegration.h>
#include <map>
#include <set>

#include "MainWindowFixture.h"
#include "exchange/CsvImport.h"
#include "journal/DetachedView.h"
#include "journal/JournalModel.h"
#include "startup/TableSet.h"
#include "storage/DayNumber.h"
#include "ui/DBGrid.h"
#include "ui/DruckeErgebnisFUnit.h"

namespace {

// What an accessibility client learns and asks; one at a time (the update handler is a plain function).
class ScreenReader {
public:
    ScreenReader() {
        s_reader = this;
        QAccessible::installUpdateHandler(&ScreenReader::onEvent);
        if (QPlatformAccessibility* bridge = QGuiApplicationPrivate::platformIntegration()->accessibility())
            bridge->setActive(true);
    }
    ~ScreenReader() {
        if (QPlatformAccessibility* bridge = QGuiApplicationPrivate::platformIntegration()->accessibility())
            bridge->setActive(false);
        QAccessible::installUpdateHandler(nullptr);
        s_reader = nullptr;
    }
    ScreenReader(const ScreenReader&) = delete;
    ScreenReader& operator=(const ScreenReader&) = delete;

    int events() const { return m_events; }

    // The cells of the first rows of a grid, by id, with the text each showed when the reader met it.
    std::map<QAccessible::Id, QString> cellsOf(QAbstractItemView* view, int rows) {
        std::map<QAccessible::Id, QString> cells;
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(view);
        for (int row = 0; row < rows; ++row) {
            for (int column = 0; column < view->model()->columnCount(); ++column) {
                QAccessibleInterface* cell = iface->tableInterface()->cellAt(row, column);
                if (!cell) continue;
                m_known.insert(QAccessible::uniqueId(cell));
                cells[QAccessible::uniqueId(cell)] = cell->text(QAccessible::Name);
            }
        }
        return cells;
    }
    int cellsAsked() const { return m_cellsAsked; }

    // Asks again about everything it was told of: what still exists must describe itself consistently.
    void revisit() {
        const std::set<QAccessible::Id> known = m_known;
        for (QAccessible::Id id : known) {
            QAccessibleInterface* iface = QAccessible::accessibleInterface(id);
            if (!iface) {
                m_known.erase(id);  // gone: the reader hears "no such object"
                continue;
            }
            describe(iface);
            if (QAccessibleTableCellInterface* cell = iface->tableCellInterface(); cell && iface->isValid())
                checkCell(iface, cell);
        }
    }

    // Walks a window's tree: every object's text, role, state and place; tables only around their cursor.
    void walk(QAccessibleInterface* iface, int depth = 0) {
        if (!iface || !iface->isValid() || depth > 20) return;
        describe(iface);
        if (QAccessibleTableInterface* table = iface->tableInterface()) {
            walkTable(iface, table);
            return;
        }
        for (int i = 0; i < iface->childCount(); ++i) walk(iface->child(i), depth + 1);
    }

private:
    static void onEvent(QAccessibleEvent* event) {
        if (s_reader) s_reader->answer(event);
    }

    // As the bridge does when Qt reports a change: finds the source and tells the reader its path.
    void answer(QAccessibleEvent* event) {
        ++m_events;
        QAccessibleInterface* iface = event->accessibleInterface();
        if (!iface || !iface->isValid()) return;
        m_known.insert(QAccessible::uniqueId(iface));
        describe(iface);
        if (event->type() == QAccessible::Focus || event->type() == QAccessible::Selection) {
            if (QAccessibleInterface* parent = iface->parent()) m_known.insert(QAccessible::uniqueId(parent));
        }
    }

    void describe(QAccessibleInterface* iface) {
        if (!iface->isValid()) return;
        (void)iface->text(QAccessible::Name);
        (void)iface->text(QAccessible::Description);
        (void)iface->role();
        (void)iface->state();
        (void)iface->rect();
        (void)iface->relations();
        // The path the bridge builds: up to the first ancestor with an object, by child indexes.
        QAccessibleInterface* step = iface;
        for (int guard = 0; step && !step->object() && guard < 8; ++guard) {
            QAccessibleInterface* parent = step->parent();
            if (!parent) break;
            (void)parent->indexOfChild(step);
            step = parent;
        }
        if (QAccessibleInterface* parent = iface->parent()) (void)parent->childCount();
    }

    void walkTable(QAccessibleInterface* iface, QAccessibleTableInterface* table) {
        auto* view = qobject_cast<QAbstractItemView*>(iface->object());
        ASSERT_NE(view, nullptr);
        const QAbstractItemModel* model = view->model();
        ASSERT_EQ(table->rowCount(), model->rowCount());
        ASSERT_EQ(table->columnCount(), model->columnCount());
        (void)iface->focusChild();
        (void)table->selectedCells();
        const int current = std::max(view->currentIndex().row(), 0);
        std::vector<int> rows;
        for (int r = 0; r < 5 && r < model->rowCount(); ++r) rows.push_back(r);
        for (int r = std::max(current - 3, 0); r < current + 3 && r < model->rowCount(); ++r) rows.push_back(r);
        for (int row : rows) {
            for (int column = 0; column < model->columnCount(); ++column) {
                QAccessibleInterface* cell = table->cellAt(row, column);
                ASSERT_NE(cell, nullptr) << row << "," << column;
                m_known.insert(QAccessible::uniqueId(cell));
                describe(cell);
                EXPECT_EQ(cell->text(QAccessible::Name), model->index(row, column).data().toString())
                    << row << "," << column;
                EXPECT_EQ(iface->indexOfChild(cell) >= 0, true);
                ++m_cellsAsked;
            }
        }
        (void)table->columnDescription(0);
        if (QAccessibleInterface* header = iface->child(1)) describe(header);
    }

    // A cell that still exists stands where its table says and shows that place's value.
    void checkCell(QAccessibleInterface* iface, QAccessibleTableCellInterface* cell) {
        QAccessibleInterface* table = cell->table();
        ASSERT_NE(table, nullptr);
        auto* view = qobject_cast<QAbstractItemView*>(table->object());
        ASSERT_NE(view, nullptr);
        const int row = cell->rowIndex();
        const int column = cell->columnIndex();
        ASSERT_LT(row, view->model()->rowCount());
        ASSERT_LT(column, view->model()->columnCount());
        EXPECT_EQ(iface->text(QAccessible::Name), view->model()->index(row, column).data().toString());
        const int index = table->indexOfChild(iface);
        EXPECT_GE(index, 0);
        if (index >= 0) {
            EXPECT_EQ(table->child(index), iface) << "row " << row << ", column " << column;
        }
        ++m_cellsAsked;
    }

    static inline ScreenReader* s_reader = nullptr;
    std::set<QAccessible::Id> m_known;
    int m_events = 0;
    int m_cellsAsked = 0;
};

class AccessibilityTest : public MainWindowFixture {
protected:
    void SetUp() override {
        MainWindowFixture::SetUp();
        if (!QGuiApplicationPrivate::platformIntegration()->accessibility())
            GTEST_SKIP() << "this window system offers no accessibility";
        // A year of bookings in the user's folder, there before the program starts.
        ASSERT_TRUE(QDir().mkpath(userFolder()));
        TableSet set;
        set.setNames(1, m_year);
        set.InitDB(userFolder());
        DbfTable& b = set.Dbf1;
        const double first = DayNumber::fromDate(QDate(m_year, 1, 1));
        for (int i = 0; i < 3000; ++i) {
            b.Insert();
            b.Fields(0).setAsDateTime(first + 1 + (i * 7919) % 364);  // from 2 January on
            b.Fields(1).setAsString(QString(QLatin1Char(i % 2 ? 'A' : 'E')));
            b.Fields(2).setAsString(QString::number(i + 1));
            b.Fields(3).setAsString(QStringLiteral("Buchung %1").arg((i * 104729) % 3000));
            b.Fields(4).setAsFloat(10 + i % 500);
            b.Fields(5).setAsFloat(19);
            b.Post();
        }
        set.postAll();
        set.closeAll();
    }

    QAccessibleInterface* windowOf(QWidget* w) { return QAccessible::queryAccessibleInterface(w); }

    // Lets the event loop run as a reader's questions arrive from the bus between commands.
    void settle(ScreenReader& reader) {
        QApplication::processEvents();
        reader.revisit();
        reader.walk(windowOf(form));
    }
};

TEST_F(AccessibilityTest, GridAndReportStayWholeAcrossSortsPostsImportsAndReports) {
    ScreenReader reader;
    start();
    ASSERT_TRUE(form->tablesUsable());
    DBGrid* grid = uitest::controls(form).DBGrid1;
    grid->setFocus();
    settle(reader);

    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        for (int column : {0, 3, 0, 3}) {  // DATUM, TEXT
            QTest::mouseClick(grid->horizontalHeader()->viewport(), Qt::LeftButton, {},
                              QPoint(grid->columnViewportPosition(column) + 5, 5));
            settle(reader);
        }
        grid->setCurrentIndex(grid->model()->index(1500 + round, 3));
        settle(reader);
        for (int b = 0; b < 3; ++b) {
            post(QStringLiteral("Test %1").arg(b), 119.5, QDate(m_year, 4, 16));
            settle(reader);
        }
        bool walked = false;
        QTimer poll;
        poll.setInterval(10);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* report = qobject_cast<TDruckeErgebnisForm*>(QApplication::activeModalWidget());
            if (!report || walked) return;
            walked = true;
            reader.revisit();
            reader.walk(windowOf(report));
            report->reject();
        });
        poll.start();
        form->Gesamtergebnis1Click();
        EXPECT_TRUE(walked);
        settle(reader);
    }
    EXPECT_EQ(bookings().RecordCount(), 3009);
    EXPECT_GT(reader.events(), 0);
    EXPECT_GT(reader.cellsAsked(), 0);
}

// An import into a sorted journal puts its bookings between the others while the grid is detached. A cell
// the reader met before must afterwards be gone or still show what it showed: a cell object that silently
// stands for another booking makes a screen reader announce stale values and act on the wrong record.
TEST_F(AccessibilityTest, ImportIntoASortedJournalLeavesNoCellStandingForAnotherBooking) {
    ScreenReader reader;
    start();
    ASSERT_TRUE(form->tablesUsable());
    DBGrid* grid = uitest::controls(form).DBGrid1;
    ASSERT_TRUE(form->journalModel()->sortByColumn(0));  // DATUM: imported early dates land at the top
    grid->setCurrentIndex(grid->model()->index(0, 3));
    settle(reader);
    const std::map<QAccessible::Id, QString> before = reader.cellsOf(grid, 8);
    ASSERT_FALSE(before.empty());

    QByteArray lines;
    for (int i = 1; i <= 600; ++i)
        lines += "01.01." + QByteArray::number(m_year) + ";A;X" + QByteArray::number(i) + ";Importiert;1,00;19;0\r\n";
    CsvImport csvImport(bookings(), m_year);
    csvImport.setProgress([&](qint64, qint64) {
        reader.revisit();  // the progress window lets the reader's questions in
        QApplication::processEvents();
        return true;
    });
    {
        const DetachedView detached = form->detachJournalViews();
        csvImport.importBytes(lines);
    }
    settle(reader);
    EXPECT_EQ(bookings().RecordCount(), 3600);
    for (const auto& [id, text] : before) {
        QAccessibleInterface* cell = QAccessible::accessibleInterface(id);
        if (!cell || !cell->isValid()) continue;
        EXPECT_EQ(cell->text(QAccessible::Name).toStdString(), text.toStdString()) << "cell " << id;
    }
}

}  // namespace
