// SPDX-License-Identifier: GPL-3.0-or-later
#include "journal/DetachedView.h"

#include "storage/DbfTable.h"
#include "storage/TableObserver.h"

DetachedView::DetachedView(DbfTable& table, TableObserver* view) : DetachedView(table, {view}) {}

DetachedView::DetachedView(DbfTable& table, std::initializer_list<TableObserver*> views)
    : m_table(table), m_shape(shapeOf(table)) {
    for (TableObserver* view : views) {
        if (!view) continue;
        m_views.push_back(view);
        m_table.detach(view);
    }
}

DetachedView::~DetachedView() {
    for (TableObserver* view : m_views) m_table.attach(view);
    if (!(shapeOf(m_table) == m_shape)) {
        for (TableObserver* view : m_views) view->tableAboutToReset();
        for (TableObserver* view : m_views) view->tableReset();
    }
    for (TableObserver* view : m_views) view->cursorChanged();
}

DetachedView::Shape DetachedView::shapeOf(const DbfTable& table) {
    Shape shape;
    shape.active = table.Active();
    if (!shape.active) return shape;
    shape.fields = table.FieldCount();
    // The pending new record is left to the views' own repair: it only ever comes and goes at the end.
    shape.rows = table.RecordCount() - (table.state() == DbfTable::State::Insert ? 1 : 0);
    shape.records = table.physicalRecordCount();
    shape.order = table.IndexName();
    shape.filtered = table.Filtered();
    return shape;
}
