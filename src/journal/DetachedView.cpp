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
    const Shape now = shapeOf(m_table);
    if (!(now == m_shape)) {
        for (TableObserver* view : m_views) view->tableAboutToReset();
        for (TableObserver* view : m_views) view->tableReset();
    } else if (now.pending != m_shape.pending) {
        // The pending new record alone came or went, as the last row.
        const int row = now.rows;
        if (now.pending) {
            for (TableObserver* view : m_views) view->pendingRowAboutToAppear(row);
            for (TableObserver* view : m_views) view->pendingRowAppeared(row);
        } else {
            for (TableObserver* view : m_views) view->pendingRowAboutToGo(row);
            for (TableObserver* view : m_views) view->pendingRowGone(row);
            for (TableObserver* view : m_views) view->editEnded(-1);
        }
    }
    for (TableObserver* view : m_views) view->cursorChanged();
}

DetachedView::Shape DetachedView::shapeOf(const DbfTable& table) {
    Shape shape;
    shape.active = table.Active();
    if (!shape.active) return shape;
    shape.fields = table.FieldCount();
    shape.rows = table.RecordCount() - (table.state() == DbfTable::State::Insert ? 1 : 0);
    shape.pending = table.announcedRowCount() > shape.rows;
    shape.records = table.physicalRecordCount();
    shape.order = table.IndexName();
    shape.filtered = table.Filtered();
    return shape;
}
