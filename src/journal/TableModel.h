// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractTableModel>

#include "storage/TableObserver.h"

class DbfTable;

// A grid model over a DbfTable: one column per stored field (titled with the stored name), one row per
// visible record, served on demand from the table. Editable in place: setData writes the field through
// the table (Edit, set, Post at once for an existing row; only set for the pending insert row, which is
// posted when the cursor leaves it or the caller posts). Bad input (no number for a numeric column, a
// number too wide for its field) is refused: setData returns false, the record stays as it was and
// editFailed carries the German message. The model follows the table through TableObserver, so every
// change made elsewhere (posting, a filter switch, a sort) shows at once.
//
// Cells are read in place from the table (the edit buffer for the record being edited), without moving
// its cursor, and only for the rows a view asks for; nothing is cached, so a cell never shows a stale
// value.
//
// bind()/unbind() attach and detach the table ("the grid's data source"); an unbound model, or one over
// a closed table, is empty. The table must outlive its binding.
class TableModel : public QAbstractTableModel, public TableObserver {
    Q_OBJECT
public:
    explicit TableModel(QObject* parent = nullptr);
    ~TableModel() override;

    void bind(DbfTable* table);
    void unbind();
    DbfTable* table() const { return m_table; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Text shown in a cell (the table layer's text of the value, or a computed column's text).
    virtual QString cellText(int row, int column) const;

    // Row of the table's cursor, -1 when there is none.
    int currentRow() const;

signals:
    // The table's cursor moved or its state changed; views select the cursor row.
    void currentRowChanged();
    // setData refused a value; the text is the German message for the user.
    void editFailed(const QString& message);

protected:
    // Text of a column for the record the table stands on. Subclasses replace computed columns.
    virtual QString fieldText(int column) const;
    // Columns whose cells are computed rather than stored: not editable.
    virtual bool isComputedColumn(int column) const;
    // Numeric and date columns are right-aligned, as a data grid shows them.
    virtual bool isRightAligned(int column) const;

    void tableAboutToReset() override;
    void tableReset() override;
    void rowAboutToBeInserted(int row) override;
    void rowInserted(int row) override;
    void rowAboutToBeRemoved(int row) override;
    void rowRemoved(int row) override;
    void rowAboutToMove(int from, int to) override;
    void rowMoved(int from, int to) override;
    void rowChanged(int row) override;
    void editEnded(int row) override;
    // TableObserver; emits currentRowChanged. A table that changed its rows or columns unannounced is a
    // fault (asserted in debug builds, logged and shown anew otherwise).
    void cursorChanged() override;

    DbfTable* m_table = nullptr;

private:
    bool tableOpen() const;
    bool isCell(const QModelIndex& index) const;
    void setField(int column, const QVariant& value);

    // The table's notifications keep these in step with it.
    int m_rowCount = 0;
    int m_columnCount = 0;
    bool m_moveIsNoop = false;  // rowAboutToMove with from == to
};
