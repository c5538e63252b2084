#pragma once

class DbfTable;
class TableObserver;

// Detaches a view from a table for the lifetime of the object, so that a long walk over the table does
// not repaint it on every cursor move, and attaches it again afterwards, telling it that the cursor moved.
// A null view makes the object do nothing.
class DetachedView {
public:
    DetachedView(DbfTable& table, TableObserver* view);
    ~DetachedView();
    DetachedView(const DetachedView&) = delete;
    DetachedView& operator=(const DetachedView&) = delete;

private:
    DbfTable& m_table;
    TableObserver* m_view = nullptr;
};
