// SPDX-License-Identifier: GPL-3.0-or-later
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
//
// A value the table refuses is never lost: once the commit has unwound (the cell editor is gone by
// then), the refusal is shown and the cell editor opens again on that cell with the text the user typed,
// ready for correction (Escape drops it).
class DBGrid : public QTableView {
    Q_OBJECT
public:
    explicit DBGrid(QWidget* parent = nullptr);

    void setTableModel(TableModel* model);
    TableModel* tableModel() const { return m_model; }

    // Commits an open cell editor into the table (before a window closes or a command acts). False when
    // the table refused the value: the refusal is shown and the editor reopened as for any commit.
    bool commitEditor();
    // The message of the last refusal, for a caller of commitEditor that tells the user itself: the
    // queued message is then not shown (the editor still opens again with the typed text).
    QString takeRefusal();
    // Forgets a refused value waiting to be retyped (the refused change was dealt with otherwise, e.g. the
    // booking was cancelled instead): the message still shows, the cell editor does not open again.
    void dropRetry();
    bool isEditing() const { return state() == QAbstractItemView::EditingState; }
    using QTableView::edit;

signals:
    void titleClick(int column);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    void commitData(QWidget* editor) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

private:
    friend class DBGridDelegate;
    void showRefusal();
    void followTableCursor();
    void fitColumns();  // when the model's columns change: widths from the stored field widths
    void insertRecord();
    void deleteRecord();

    QPointer<TableModel> m_model;
    bool m_syncing = false;       // the grid itself moves the current index or the table cursor
    bool m_rowsChanging = false;  // the model is between an "about to" and its "done" notification
    int m_fittedColumns = -1;
    const DbfTable* m_fittedTable = nullptr;

    // Cells by position: a refused change cancels the record, and the model may reset on that.
    struct Cell {
        int row = -1;
        int column = -1;
        bool isValid() const { return row >= 0 && column >= 0; }
        bool is(const QModelIndex& index) const { return index.row() == row && index.column() == column; }
    };
    Cell m_editCell;        // the cell the open editor belongs to
    QString m_editFailure;  // set by the model while a commit is refused
    bool m_lastCommitRefused = false;
    bool m_committing = false;
    // A refused commit waiting to be shown and retyped.
    Cell m_retryCell;
    QVariant m_retryValue;
    QString m_retryMessage;
    // The editor opened again for that cell and the text it shows.
    Cell m_reopenedCell;
    QVariant m_reopenedValue;
    bool m_retryQueued = false;
};
