#include "journal/TableModel.h"

#include "storage/DbfTable.h"
#include "storage/StorageError.h"

namespace {

// Rows read in one excursion of the cursor: about a screenful, so that painting a grid moves the cursor
// once rather than once per row.
constexpr int readAhead = 40;
// Texts kept at most; beyond that the cache starts over (a few screens' worth is what matters).
constexpr std::size_t maxCachedRows = 4000;

int stateCode(const DbfTable* table) {
    return table ? static_cast<int>(table->state()) : 0;
}

// Counts a table notification for as long as it runs.
class NotifyScope {
public:
    explicit NotifyScope(int& depth) : m_depth(depth) { ++m_depth; }
    ~NotifyScope() { --m_depth; }
    NotifyScope(const NotifyScope&) = delete;
    NotifyScope& operator=(const NotifyScope&) = delete;

private:
    int& m_depth;
};

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
    dropCache();
    m_columnCount = tableOpen() ? m_table->FieldCount() : 0;
    m_rowCount = tableOpen() ? m_table->RecordCount() : 0;
    m_lastState = stateCode(m_table);
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
    // The record being edited or inserted lives in the edit buffer: always read it live.
    if (m_table->state() != DbfTable::State::Browse && row == m_table->RecNo()) {
        if (column >= m_table->FieldCount()) return {};
        return fieldText(column);
    }
    const RowTexts* texts = cachedRow(row);
    if (!texts || column >= int(texts->size())) return {};
    return (*texts)[std::size_t(column)];
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

const TableModel::RowTexts* TableModel::cachedRow(int row) const {
    auto it = m_rows.find(row);
    if (it == m_rows.end()) {
        readRowsFrom(row);
        it = m_rows.find(row);
        if (it == m_rows.end()) {
            m_missedRows = true;
            return nullptr;
        }
    }
    return &it->second;
}

void TableModel::readRowsFrom(int row) const {
    // Moving the cursor posts a pending edit, and a table in the middle of a change must not be moved.
    if (m_notifying > 0 || m_table->state() != DbfTable::State::Browse) return;
    if (m_rows.size() > maxCachedRows) m_rows.clear();

    const int saved = m_table->RecNo();
    const int fields = std::min(m_columnCount, m_table->FieldCount());
    const int last = std::min(row + readAhead, std::min(m_rowCount, m_table->RecordCount())) - 1;
    m_ownMove = true;
    try {
        m_table->setRecNo(row);
        for (int r = row; r <= last && !m_table->Eof(); ++r) {
            if (m_rows.count(r)) break;  // read already, and so are probably the ones after it
            RowTexts texts;
            texts.reserve(std::size_t(fields));
            for (int c = 0; c < fields; ++c) texts.push_back(fieldText(c));
            m_rows.emplace(r, std::move(texts));
            if (r < last) m_table->Next();
        }
        if (saved >= 0) m_table->setRecNo(saved);
    } catch (const QuorvelError&) {
        // A row that cannot be read shows empty; the cursor goes back where it was if it can.
        try {
            if (saved >= 0) m_table->setRecNo(saved);
        } catch (const QuorvelError&) {
        }
    }
    m_ownMove = false;
}

void TableModel::dropCache() {
    m_rows.clear();
    m_missedRows = false;
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
        emit editFailed(error.message());
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
    NotifyScope scope(m_notifying);
    beginResetModel();
}

void TableModel::tableReset() {
    NotifyScope scope(m_notifying);
    dropCache();
    m_columnCount = tableOpen() ? m_table->FieldCount() : 0;
    m_rowCount = tableOpen() ? m_table->RecordCount() : 0;
    m_lastState = stateCode(m_table);
    endResetModel();
}

void TableModel::rowAboutToBeInserted(int row) {
    NotifyScope scope(m_notifying);
    beginInsertRows({}, row, row);
}

void TableModel::rowInserted(int row) {
    NotifyScope scope(m_notifying);
    // Rows at and after the new one move down by one; their texts stay valid.
    std::map<int, RowTexts> shifted;
    for (auto& [r, texts] : m_rows) shifted.emplace(r >= row ? r + 1 : r, std::move(texts));
    m_rows = std::move(shifted);
    ++m_rowCount;
    endInsertRows();
}

void TableModel::rowAboutToBeRemoved(int row) {
    NotifyScope scope(m_notifying);
    beginRemoveRows({}, row, row);
}

void TableModel::rowRemoved(int row) {
    NotifyScope scope(m_notifying);
    std::map<int, RowTexts> shifted;
    for (auto& [r, texts] : m_rows) {
        if (r != row) shifted.emplace(r > row ? r - 1 : r, std::move(texts));
    }
    m_rows = std::move(shifted);
    --m_rowCount;
    endRemoveRows();
}

void TableModel::rowAboutToMove(int from, int to) {
    NotifyScope scope(m_notifying);
    m_moveIsNoop = from == to;
    if (m_moveIsNoop) return;
    // `to` is the final position; Qt counts the destination before the move.
    beginMoveRows({}, from, from, {}, to > from ? to + 1 : to);
}

void TableModel::rowMoved(int from, int to) {
    NotifyScope scope(m_notifying);
    std::map<int, RowTexts> shifted;
    for (auto& [r, texts] : m_rows) {
        if (r == from) continue;  // its values changed, which is why it moved
        int target = r;
        if (from < to && r > from && r <= to) target = r - 1;
        if (from > to && r >= to && r < from) target = r + 1;
        shifted.emplace(target, std::move(texts));
    }
    m_rows = std::move(shifted);
    if (m_moveIsNoop) {
        if (from >= 0 && from < m_rowCount)
            emit dataChanged(index(from, 0), index(from, std::max(m_columnCount - 1, 0)));
        return;
    }
    endMoveRows();
}

void TableModel::rowChanged(int row) {
    NotifyScope scope(m_notifying);
    m_rows.erase(row);
    if (row >= 0 && row < m_rowCount && m_columnCount > 0)
        emit dataChanged(index(row, 0), index(row, m_columnCount - 1));
}

void TableModel::cursorChanged() {
    if (m_ownMove) return;
    NotifyScope scope(m_notifying);
    reconcile();
    emit currentRowChanged();
}

void TableModel::reconcile() {
    const bool open = tableOpen();
    const int columns = open ? m_table->FieldCount() : 0;
    if (columns != m_columnCount) {
        beginResetModel();
        dropCache();
        m_columnCount = columns;
        m_rowCount = open ? m_table->RecordCount() : 0;
        m_lastState = stateCode(m_table);
        endResetModel();
        return;
    }
    // The pending insert row comes and goes at the end of the visible rows.
    const int rows = open ? m_table->RecordCount() : 0;
    if (rows > m_rowCount) {
        beginInsertRows({}, m_rowCount, rows - 1);
        m_rowCount = rows;
        endInsertRows();
    } else if (rows < m_rowCount) {
        beginRemoveRows({}, rows, m_rowCount - 1);
        m_rows.erase(m_rows.lower_bound(rows), m_rows.end());
        m_rowCount = rows;
        endRemoveRows();
    }
    const int state = stateCode(m_table);
    if (state != m_lastState) {
        // Leaving an edit or an insert: the record may have been written or dropped; and rows that could
        // not be read meanwhile can be read now.
        m_lastState = state;
        const int current = open ? m_table->RecNo() : -1;
        if (current >= 0) m_rows.erase(current);
        if (m_missedRows && m_rowCount > 0 && m_columnCount > 0) {
            m_missedRows = false;
            emit dataChanged(index(0, 0), index(m_rowCount - 1, m_columnCount - 1));
        } else if (current >= 0 && current < m_rowCount && m_columnCount > 0) {
            emit dataChanged(index(current, 0), index(current, m_columnCount - 1));
        }
    }
}
