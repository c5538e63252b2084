// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/DBGrid.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMetaProperty>
#include <QScopedValueRollback>
#include <QStyledItemDelegate>
#include <QTimer>
#include <utility>

#include "journal/TableModel.h"
#include "storage/DbfTable.h"
#include "ui/UiMessages.h"

// Opens a cell editor with the text the user typed before the table refused it, instead of the stored
// value, when the grid has one waiting for that cell.
class DBGridDelegate : public QStyledItemDelegate {
public:
    explicit DBGridDelegate(DBGrid* grid) : QStyledItemDelegate(grid), m_grid(grid) {}

    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        // Also when the row reports a change while the editor is open again: the typed text stays.
        if (m_grid->m_reopenedCell.is(index) && m_grid->m_reopenedValue.isValid()) {
            const QMetaProperty property = editor->metaObject()->userProperty();
            if (property.isValid() && property.write(editor, m_grid->m_reopenedValue)) return;
        }
        QStyledItemDelegate::setEditorData(editor, index);
    }

private:
    DBGrid* m_grid;
};

DBGrid::DBGrid(QWidget* parent) : QTableView(parent) {
    setItemDelegate(new DBGridDelegate(this));
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
        // Only noted here: the commit is still on the stack and its editor alive. A message box opened now
        // would run events that delete the editor under the commit.
        connect(model, &TableModel::editFailed, this, [this](const QString& message) {
            if (m_committing) {
                m_editFailure = message;
                return;
            }
            // A refusal outside a cell commit: shown the same way, once the caller has unwound.
            m_retryMessage = message;
            if (!m_retryQueued) {
                m_retryQueued = true;
                QMetaObject::invokeMethod(this, &DBGrid::showRefusal, Qt::QueuedConnection);
            }
        });
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

bool DBGrid::commitEditor() {
    if (state() != QAbstractItemView::EditingState) return true;
    bool committed = true;
    // Cell editors are the visible children of the viewport (this grid sets no index widgets).
    const auto children = viewport()->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
    for (QWidget* editor : children) {
        if (!editor->isVisible()) continue;
        commitData(editor);
        if (m_lastCommitRefused) committed = false;
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
    return committed;
}

QString DBGrid::takeRefusal() {
    return std::exchange(m_retryMessage, QString());
}

bool DBGrid::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
    const bool opened = QTableView::edit(index, trigger, event);
    if (opened && state() == QAbstractItemView::EditingState) m_editCell = {index.row(), index.column()};
    return opened;
}

void DBGrid::commitData(QWidget* editor) {
    m_editFailure.clear();
    // Read before the commit: the table's change notifications refill the open editor meanwhile.
    const QMetaProperty property = editor->metaObject()->userProperty();
    const QVariant typed = property.isValid() ? property.read(editor) : QVariant();
    {
        QScopedValueRollback<bool> committing(m_committing, true);
        QTableView::commitData(editor);
    }
    m_lastCommitRefused = !m_editFailure.isEmpty();
    if (!m_lastCommitRefused) return;
    // Keep what was typed and tell the user once the commit and the closing of its editor are over.
    m_retryCell = m_editCell;
    m_retryValue = typed;
    m_retryMessage = std::exchange(m_editFailure, QString());
    if (!m_retryQueued) {
        m_retryQueued = true;
        QMetaObject::invokeMethod(this, &DBGrid::showRefusal, Qt::QueuedConnection);
    }
}

void DBGrid::dropRetry() {
    m_retryCell = {};
    m_retryValue = QVariant();
}

void DBGrid::showRefusal() {
    // Another window's modal question is still open (closing asks first): wait until it is answered.
    if (QWidget* modal = QApplication::activeModalWidget(); modal && modal != window()) {
        QTimer::singleShot(50, this, &DBGrid::showRefusal);
        return;
    }
    m_retryQueued = false;
    const QString message = std::exchange(m_retryMessage, QString());
    if (!message.isEmpty() && isVisible()) UiMessages::showWarning(this, message);
    // The cell may have gone meanwhile (another table, a reset); then only the message remains.
    const QModelIndex index =
        m_retryCell.isValid() && model() ? model()->index(m_retryCell.row, m_retryCell.column) : QModelIndex();
    if (!index.isValid() || !isVisible() || state() == QAbstractItemView::EditingState) {
        m_retryCell = {};
        m_retryValue = QVariant();
        return;
    }
    window()->activateWindow();  // also where no window manager hands the focus back after the box
    setFocus(Qt::OtherFocusReason);
    setCurrentIndex(index);
    m_reopenedCell = std::exchange(m_retryCell, Cell{});
    m_reopenedValue = std::exchange(m_retryValue, QVariant());
    if (currentIndex() != index || !edit(index, QAbstractItemView::AllEditTriggers, nullptr)) {
        m_reopenedCell = {};
        m_reopenedValue = QVariant();
    }
}

void DBGrid::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
    // From now on the cell shows what the table holds.
    m_reopenedCell = {};
    m_reopenedValue = QVariant();
    QTableView::closeEditor(editor, hint);
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
