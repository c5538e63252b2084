#pragma once

#include <QPointer>
#include <QTableView>

#include "journal/TableModel.h"

// The data-bound grid: a QTableView over a TableModel that follows the table cursor both ways. The
// model's currentRowChanged selects and scrolls to the cursor row; a row the user selects moves the
// table cursor. Rows have one fixed height so that large tables scroll without measuring rows.
// Header clicks are reported as titleClick (the owner sorts through the table); Qt sorting stays off.
// Keys: Insert starts a new record, Delete deletes the current one after confirmation, Enter opens
// the cell editor (and, while editing, commits it) instead of reaching the dialog's default button.
class DBGrid : public QTableView {
    Q_OBJECT
public:
    explicit DBGrid(QWidget* parent = nullptr);

    void setTableModel(TableModel* model);
    TableModel* tableModel() const { return m_model; }

    // Commits an open cell editor into the table (before a window closes or a command acts).
    void commitEditor();
    bool isEditing() const { return state() == QAbstractItemView::EditingState; }

signals:
    void titleClick(int column);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

private slots:
    void showEditFailure(const QString& message);

private:
    void followTableCursor();
    void fitColumns();  // when the model's columns change: widths from the stored field widths
    void insertRecord();
    void deleteRecord();

    QPointer<TableModel> m_model;
    bool m_syncing = false;       // the grid itself moves the current index or the table cursor
    bool m_rowsChanging = false;  // the model is between an "about to" and its "done" notification
    int m_fittedColumns = -1;
    const DbfTable* m_fittedTable = nullptr;
};
