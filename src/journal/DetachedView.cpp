#include "journal/DetachedView.h"

#include "storage/DbfTable.h"
#include "storage/TableObserver.h"

DetachedView::DetachedView(DbfTable& table, TableObserver* view) : DetachedView(table, {view}) {}

DetachedView::DetachedView(DbfTable& table, std::initializer_list<TableObserver*> views) : m_table(table) {
    for (TableObserver* view : views) {
        if (!view) continue;
        m_views.push_back(view);
        m_table.detach(view);
    }
}

DetachedView::~DetachedView() {
    for (TableObserver* view : m_views) m_table.attach(view);
    for (TableObserver* view : m_views) view->cursorChanged();
}
