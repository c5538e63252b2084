// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/PendingPost.h"

#include "storage/DbfTable.h"
#include "ui/DBGrid.h"
#include "ui/UiMessages.h"

namespace PendingPost {

bool commitAndPost(QWidget* window, DBGrid* grid, DbfTable* table) {
    if (grid) grid->commitEditor();
    if (!table || !table->Active()) return true;
    const DbfTable::State state = table->state();
    if (state != DbfTable::State::Insert && state != DbfTable::State::Edit) return true;
    return UiMessages::guarded(window, [table] { table->Post(); });
}

}  // namespace PendingPost
