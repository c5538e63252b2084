#pragma once

#include <QAbstractTableModel>

#include "storage/TableObserver.h"

class DbfTable;

// A grid model over a DbfTable: one column per stored field (titled with the stored name), one row per
// visible record, served on demand from the table. Editable in place: setData writes the field through
// the table (Edit, set, Post at once for an existing row; the pending insert row is posted when the
// cursor leaves it or the caller posts). The model follows the table through TableObserver, so every
// change made elsewhere (posting, a filter switch, a sort) shows at once.
//
// bind()/unbind() attach and detach the table ("the grid's data source"); an unbound model is empty.
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

    // Text shown in a cell; subclasses replace computed columns.
    virtual QString cellText(int row, int column) const;

signals:
    // The table's cursor moved or its state changed; views select the cursor row.
    void currentRowChanged();

protected:
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
};
