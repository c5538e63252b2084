// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <initializer_list>
#include <vector>

class DbfTable;
class TableObserver;

// Detaches views (grid models, navigators, windows that follow the table) from a table for the
// lifetime of the object, so that a long walk over the table does not update them on every cursor
// move, and attaches them again afterwards, telling each that the cursor moved. Null views are skipped.
//
// A view hears nothing of what happens meanwhile. When the walk changed more than the cursor (records
// posted or deleted, another order or filter), each view is told on its return that everything may
// have changed (a reset), never left to guess: a grid that guessed would keep its current cell, its
// selection and the cells a screen reader holds on positions that now show other records. A pending new
// record that alone came or went is announced as that row.
class DetachedView {
public:
    DetachedView(DbfTable& table, TableObserver* view);
    DetachedView(DbfTable& table, std::initializer_list<TableObserver*> views);
    ~DetachedView();
    DetachedView(const DetachedView&) = delete;
    DetachedView& operator=(const DetachedView&) = delete;

private:
    // What the views saw of the table when they were detached.
    struct Shape {
        bool active = false;
        int fields = 0;
        int rows = 0;
        int records = 0;
        QString order;
        bool filtered = false;
        bool pending = false;  // a pending new record shown as the last row; announced on its own
        bool operator==(const Shape& other) const {
            return active == other.active && fields == other.fields && rows == other.rows && records == other.records &&
                   order == other.order && filtered == other.filtered;
        }
    };
    static Shape shapeOf(const DbfTable& table);

    DbfTable& m_table;
    std::vector<TableObserver*> m_views;
    Shape m_shape;
};
