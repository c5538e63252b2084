#include "journal/DetachedView.h"

#include "storage/DbfTable.h"
#include "storage/TableObserver.h"

DetachedView::DetachedView(DbfTable& table, TableObserver* view) : m_table(table), m_view(view) {
    if (m_view) m_table.detach(m_view);
}

DetachedView::~DetachedView() {
    if (!m_view) return;
    m_table.attach(m_view);
    m_view->cursorChanged();
}
