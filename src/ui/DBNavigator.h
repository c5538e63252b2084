// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>
#include <array>

#include "storage/TableObserver.h"

class DbfTable;
class QToolButton;

// The record navigator: ten buttons acting on a DbfTable (first, prior, next, last, insert, delete,
// edit, post, cancel, refresh), 240 x 25. It follows the table through TableObserver and enables its
// buttons as a dataset navigator does: moving back only off the first row, moving on only off the last,
// post and cancel only while a record is pending, nothing while unbound or closed.
//
// Unbind (setTable(nullptr)) before the table goes away: the table does not announce its destruction.
class DBNavigator : public QWidget, private TableObserver {
    Q_OBJECT
public:
    enum Button { First, Prior, Next, Last, Insert, Delete, Edit, Post, Cancel, Refresh };
    Q_ENUM(Button)
    static constexpr int buttonCount = 10;

    explicit DBNavigator(QWidget* parent = nullptr, bool showHints = true);
    ~DBNavigator() override;

    void setTable(DbfTable* table);  // nullptr unbinds
    DbfTable* table() const { return m_table; }
    QToolButton* button(Button which) const { return m_buttons[which]; }

    // Runs a button's action as a click does (with the delete confirmation). False when the action
    // failed or was declined; failures have been shown.
    bool doAction(Button which);

    // The navigator as a view of its table, for walks that detach the table's views for a while.
    TableObserver* tableObserver() { return this; }

signals:
    // Before a button acts; a grid beside the navigator commits its open cell editor here.
    void beforeAction(DBNavigator::Button which);

private:
    void updateButtons();

    void tableReset() override { updateButtons(); }
    void rowInserted(int) override { updateButtons(); }
    void rowRemoved(int) override { updateButtons(); }
    void rowMoved(int, int) override { updateButtons(); }
    void cursorChanged() override { updateButtons(); }

    std::array<QToolButton*, buttonCount> m_buttons{};
    DbfTable* m_table = nullptr;
};
