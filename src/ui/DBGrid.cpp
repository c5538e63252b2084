#include "ui/DBGrid.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QScopedValueRollback>

#include "journal/TableModel.h"
#include "storage/DbfTable.h"
#include "ui/UiMessages.h"

DBGrid::DBGrid(QWidget* parent) : QTableView(parent) {
    setSortingEnabled(false);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    setWordWrap(false);
    setTabKeyNavigation(false);

    QHeaderView* rows = verticalHeader();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(fontMetrics().height() + 6);
    rows->setMinimumSectionSize(0);

    QHeaderView* titles = horizontalHeader();
    titles->setSectionsClickable(true);
    titles->setSortIndicatorShown(false);
    titles->setHighlightSections(false);
    connect(titles, &QHeaderView::sectionClicked, this, &DBGrid::titleClick);
}

void DBGrid::setTableModel(TableModel* model) {
    if (m_model) disconnect(m_model, nullptr, this, nullptr);
    m_model = model;
    if (model) {
        // While the table changes its rows, the view moves its current index on its own (a removed
        // current row hands over to a neighbour). Such moves must not reach the table: moving the
        // cursor would post the very record a Cancel is dropping. Connected before setModel() so
        // that these run before the view's and the selection model's own handlers.
        const auto hold = [this] { m_rowsChanging = true; };
        const auto release = [this] {
            m_rowsChanging = false;
            followTableCursor();
        };
        connect(model, &QAbstractItemModel::modelAboutToBeReset, this, hold);
        connect(model, &QAbstractItemModel::rowsAboutToBeInserted, this, hold);
        connect(model, &QAbstractItemModel::rowsAboutToBeRemoved, this, hold);
        connect(model, &QAbstractItemModel::rowsAboutToBeMoved, this, hold);
        connect(model, &QAbstractItemModel::layoutAboutToBeChanged, this, hold);
        connect(model, &QAbstractItemModel::modelReset, this, release);
        connect(model, &QAbstractItemModel::modelReset, this, &DBGrid::fitColumns);
        connect(model, &QAbstractItemModel::rowsInserted, this, release);
        connect(model, &QAbstractItemModel::rowsRemoved, this, release);
        connect(model, &QAbstractItemModel::rowsMoved, this, release);
        connect(model, &QAbstractItemModel::layoutChanged, this, release);
        connect(model, &TableModel::currentRowChanged, this, &DBGrid::followTableCursor);
        connect(model, &TableModel::editFailed, this, &DBGrid::showEditFailure);
    }
    m_rowsChanging = false;
    setModel(model);
    fitColumns();
    followTableCursor();
}

void DBGrid::fitColumns() {
    DbfTable* table = m_model ? m_model->table() : nullptr;
    if (!m_model || (m_model->columnCount() == m_fittedColumns && table == m_fittedTable)) return;
    m_fittedColumns = m_model->columnCount();
    m_fittedTable = table;
    if (!table || !table->Active()) return;
    // As wide as the field's stored width (a long text column is capped), never narrower than its title.
    const QFontMetrics metrics(font());
    const int digit = metrics.horizontalAdvance(QLatin1Char('0'));
    const int padding = 12;
    for (int c = 0; c < m_fittedColumns && c < table->FieldCount(); ++c) {
        const DbfField& field = table->Fields(c);
        int width = field.DataType() == FieldType::Date ? metrics.horizontalAdvance(QStringLiteral("00.00.0000"))
                                                        : digit * std::min(field.Size(), 30);
        width = std::max(width, horizontalHeader()->fontMetrics().horizontalAdvance(field.FieldName()) + 8);
        setColumnWidth(c, width + padding);
    }
}

void DBGrid::commitEditor() {
    if (state() != QAbstractItemView::EditingState) return;
    // Cell editors are the visible children of the viewport (this grid sets no index widgets).
    const auto children = viewport()->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
    for (QWidget* editor : children) {
        if (!editor->isVisible()) continue;
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

void DBGrid::followTableCursor() {
    if (m_syncing || m_rowsChanging || !m_model) return;
    DbfTable* table = m_model->table();
    const int row = table && table->Active() ? table->RecNo() : -1;
    if (row < 0 || row >= m_model->rowCount()) return;
    if (currentIndex().row() == row) return;
    QScopedValueRollback<bool> guard(m_syncing, true);
    const int column = currentIndex().isValid() ? currentIndex().column() : 0;
    const QModelIndex target = m_model->index(row, column);
    selectionModel()->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect);
    scrollTo(target);
}

void DBGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableView::currentChanged(current, previous);
    if (m_syncing || m_rowsChanging || !m_model || !current.isValid() || current.row() == previous.row()) return;
    DbfTable* table = m_model->table();
    if (!table || !table->Active() || table->RecNo() == current.row()) return;
    QScopedValueRollback<bool> guard(m_syncing, true);
    const bool moved = UiMessages::guarded(this, [&] { table->setRecNo(current.row()); });
    // Leaving a pending record can fail (its post refused): then show where the table stayed.
    if (!moved) QMetaObject::invokeMethod(this, &DBGrid::followTableCursor, Qt::QueuedConnection);
}

void DBGrid::keyPressEvent(QKeyEvent* event) {
    const bool editing = state() == QAbstractItemView::EditingState;
    if (!editing && event->modifiers() == Qt::NoModifier) {
        switch (event->key()) {
            case Qt::Key_Insert:
                insertRecord();
                event->accept();
                return;
            case Qt::Key_Delete:
                deleteRecord();
                event->accept();
                return;
            case Qt::Key_Return:
            case Qt::Key_Enter:
                if (currentIndex().isValid()) edit(currentIndex());
                event->accept();
                return;
            default:
                break;
        }
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        // Never let Enter in the grid reach the dialog's default button.
        QTableView::keyPressEvent(event);
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

void DBGrid::insertRecord() {
    DbfTable* table = m_model ? m_model->table() : nullptr;
    if (!table) return;
    UiMessages::guarded(this, [&] { table->Insert(); });
}

void DBGrid::deleteRecord() {
    DbfTable* table = m_model ? m_model->table() : nullptr;
    if (!table || !table->Active() || table->RecordCount() == 0) return;
    if (!UiMessages::confirmDelete(this)) return;
    UiMessages::guarded(this, [&] { table->Delete(); });
}

void DBGrid::showEditFailure(const QString& message) {
    UiMessages::showWarning(this, message);
}
