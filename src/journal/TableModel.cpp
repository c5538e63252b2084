// SPDX-License-Identifier: GPL-3.0-or-later
#include "journal/TableModel.h"

#include "storage/DbfTable.h"
#include "storage/ErrorText.h"
#include "storage/StorageError.h"

namespace {

// What the model shows of a table: the rows its observers were told of.
int rowsOf(const DbfTable* table) {
    return table && table->Active() ? table->announcedRowCount() : 0;
}

int columnsOf(const DbfTable* table) {
    return table && table->Active() ? table->FieldCount() : 0;
}

}  // namespace

TableModel::TableModel(QObject* parent) : QAbstractTableModel(parent) {}

TableModel::~TableModel() {
    if (m_table) m_table->detach(this);
}

void TableModel::bind(DbfTable* table) {
    if (table == m_table) return;
    beginResetModel();
    if (m_table) m_table->detach(this);
    m_table = table;
    if (m_table) m_table->attach(this);
    m_columnCount = columnsOf(m_table);
    m_rowCount = rowsOf(m_table);
    endResetModel();
    emit currentRowChanged();
}

void TableModel::unbind() {
    bind(nullptr);
}

bool TableModel::tableOpen() const {
    return m_table && m_table->Active();
}

bool TableModel::isCell(const QModelIndex& index) const {
    return index.isValid() && index.model() == this && !index.parent().isValid() && index.row() < m_rowCount &&
           index.column() < m_columnCount;
}

int TableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_rowCount;
}

int TableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_columnCount;
}

int TableModel::currentRow() const {
    return tableOpen() ? m_table->RecNo() : -1;
}

QVariant TableModel::data(const QModelIndex& index, int role) const {
    if (!isCell(index)) return {};
    switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
            return cellText(index.row(), index.column());
        case Qt::TextAlignmentRole:
            return isRightAligned(index.column()) ? QVariant(int(Qt::AlignRight | Qt::AlignVCenter))
                                                  : QVariant(int(Qt::AlignLeft | Qt::AlignVCenter));
        default:
            return {};
    }
}

QString TableModel::cellText(int row, int column) const {
    if (!tableOpen() || row < 0 || row >= m_rowCount || column < 0 || column >= m_columnCount) return {};
    if (row >= m_table->RecordCount() || column >= m_table->FieldCount()) return {};
    // Reads the row in place (the edit buffer for the record being edited) without moving the cursor.
    QString text;
    try {
        m_table->readRow(row, [&](const DbfTable&) { text = fieldText(column); });
    } catch (const QuorvelError&) {
        return {};
    }
    return text;
}

QString TableModel::fieldText(int column) const {
    try {
        return m_table->Fields(column).AsString();
    } catch (const QuorvelError&) {
        return {};
    }
}

bool TableModel::isComputedColumn(int) const {
    return false;
}

bool TableModel::isRightAligned(int column) const {
    if (!tableOpen() || column >= m_table->FieldCount()) return false;
    const FieldType type = m_table->Fields(column).DataType();
    return type == FieldType::Float || type == FieldType::Integer;
}

bool TableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !isCell(index)) return false;
    if (!tableOpen() || isComputedColumn(index.column()) || index.column() >= m_table->FieldCount()) return false;
    const int row = index.row();
    DbfTable& t = *m_table;
    try {
        if (t.state() == DbfTable::State::Insert && row == t.RecNo()) {
            // The pending new record is posted when the cursor leaves it, as in a data grid.
            setField(index.column(), value);
            emit dataChanged(index.siblingAtColumn(0), index.siblingAtColumn(m_columnCount - 1));
            return true;
        }
        const bool editing = t.state() == DbfTable::State::Edit && row == t.RecNo();
        if (!editing) {
            if (t.RecNo() != row) t.setRecNo(row);  // posts a pending record elsewhere first
            t.Edit();
        }
        try {
            setField(index.column(), value);
            t.Post();
        } catch (const QuorvelError&) {
            // The refused value wrote nothing; an edit this call started is dropped again.
            if (!editing && t.state() == DbfTable::State::Edit) t.Cancel();
            throw;
        }
        return true;
    } catch (const QuorvelError& error) {
        emit editFailed(ErrorText::forUser(error));
        return false;
    }
}

void TableModel::setField(int column, const QVariant& value) {
    DbfField& field = m_table->Fields(column);
    const FieldType type = field.DataType();
    const auto id = value.typeId();
    if (type == FieldType::Float && (id == QMetaType::Double || id == QMetaType::Float || id == QMetaType::Int)) {
        field.setAsFloat(value.toDouble());
    } else if (type == FieldType::Integer && id == QMetaType::Int) {
        field.setAsInteger(value.toInt());
    } else {
        field.setAsString(value.toString());
    }
}

QVariant TableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal) {
        if (role != Qt::DisplayRole || section < 0 || section >= m_columnCount || !tableOpen() ||
            section >= m_table->FieldCount())
            return {};
        return m_table->Fields(section).FieldName();
    }
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags TableModel::flags(const QModelIndex& index) const {
    if (!isCell(index)) return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
    if (tableOpen() && !m_table->isReadOnly() && !isComputedColumn(index.column())) f |= Qt::ItemIsEditable;
    return f;
}

// --- table notifications ---

void TableModel::tableAboutToReset() {
    beginResetModel();
}

void TableModel::tableReset() {
    m_columnCount = columnsOf(m_table);
    m_rowCount = rowsOf(m_table);
    endResetModel();
}

void TableModel::rowAboutToBeInserted(int row) {
    beginInsertRows({}, row, row);
}

void TableModel::rowInserted(int) {
    ++m_rowCount;
    endInsertRows();
}

void TableModel::rowAboutToBeRemoved(int row) {
    beginRemoveRows({}, row, row);
}

void TableModel::rowRemoved(int) {
    --m_rowCount;
    endRemoveRows();
}

void TableModel::rowAboutToMove(int from, int to) {
    m_moveIsNoop = from == to;
    if (m_moveIsNoop) return;
    // `to` is the final position; Qt counts the destination before the move.
    beginMoveRows({}, from, from, {}, to > from ? to + 1 : to);
}

void TableModel::rowMoved(int from, int) {
    if (m_moveIsNoop) {
        if (from >= 0 && from < m_rowCount)
            emit dataChanged(index(from, 0), index(from, std::max(m_columnCount - 1, 0)));
        return;
    }
    endMoveRows();
}

void TableModel::rowChanged(int row) {
    if (row >= 0 && row < m_rowCount && m_columnCount > 0)
        emit dataChanged(index(row, 0), index(row, m_columnCount - 1));
}

void TableModel::editEnded(int row) {
    // The record was written or dropped: its cells show what is stored now.
    rowChanged(row);
}

void TableModel::cursorChanged() {
    // The last call of every change of the table: by now every row that came or went was announced.
    if (m_columnCount != columnsOf(m_table) || m_rowCount != rowsOf(m_table)) {
        qCritical("TableModel: the table changed %d rows x %d columns into %d x %d without saying so", m_rowCount,
                  m_columnCount, rowsOf(m_table), columnsOf(m_table));
        Q_ASSERT_X(false, "TableModel::cursorChanged", "rows or columns changed unannounced");
        tableAboutToReset();
        tableReset();
    }
    emit currentRowChanged();
}
