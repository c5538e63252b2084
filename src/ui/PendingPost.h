// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class DbfTable;
class DBGrid;
class QWidget;

// Before a window with a table grid closes, what the user typed must reach the file: the open cell
// editor is committed and a pending insert or edit of the table posted. A table with nothing pending
// is left alone. Returns false when posting failed; the error has been shown and the record is still
// pending, so the window should stay open.
namespace PendingPost {

bool commitAndPost(QWidget* window, DBGrid* grid, DbfTable* table);

}  // namespace PendingPost
