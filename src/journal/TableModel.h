#pragma once

#include <QAbstractTableModel>
#include <map>
#include <vector>

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
// The table has a single cursor, so reading a row means moving it there and back. That is done only in
// the browse state and never while the table is notifying; the texts read are kept per row until the
// table reports a change of that row, so a row is read once however often it is painted. Rows that
// cannot be read at the moment (while a record is being edited) show empty and are repainted when the
// table returns to browsing. Only the rows asked for (and a few following ones) are ever read.
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
    void cursorChanged() override;  // TableObserver; emits currentRowChanged

    DbfTable* m_table = nullptr;

private:
    using RowTexts = std::vector<QString>;

    bool tableOpen() const;
    bool isCell(const QModelIndex& index) const;
    const RowTexts* cachedRow(int row) const;
    void readRowsFrom(int row) const;
    void setField(int column, const QVariant& value);
    void reconcile();
    void dropCache();

    // Notifications keep these in step with the table; reconcile() repairs what the table did not report.
    int m_rowCount = 0;
    int m_columnCount = 0;
    int m_lastState = 0;

    int m_notifying = 0;                // inside a table notification: the cursor must not be moved
    bool m_moveIsNoop = false;          // rowAboutToMove with from == to
    mutable bool m_ownMove = false;     // the model moves the cursor to read a row
    mutable bool m_missedRows = false;  // a row was shown empty because it could not be read
    mutable std::map<int, RowTexts> m_rows;
};
