#pragma once

#include <initializer_list>
#include <vector>

class DbfTable;
class TableObserver;

// Detaches views (grid models, navigators, windows that follow the table) from a table for the
// lifetime of the object, so that a long walk over the table does not update them on every cursor
// move, and attaches them again afterwards, telling each that the cursor moved. Null views are skipped.
class DetachedView {
public:
    DetachedView(DbfTable& table, TableObserver* view);
    DetachedView(DbfTable& table, std::initializer_list<TableObserver*> views);
    ~DetachedView();
    DetachedView(const DetachedView&) = delete;
    DetachedView& operator=(const DetachedView&) = delete;

private:
    DbfTable& m_table;
    std::vector<TableObserver*> m_views;
};
