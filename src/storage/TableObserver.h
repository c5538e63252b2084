// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Views (grid models, navigators) attach to a DbfTable through this interface. Rows are positions in
// the table's visible order (live records that pass the filter, in the active sort order), 0-based.
// Every "about to" call is followed by its matching "done" call once the table has changed, so a
// QAbstractItemModel can bracket the change with begin/end notifications.
class TableObserver {
public:
    virtual ~TableObserver() = default;

    // Everything may have changed: open, close, refresh, filter switch, sort order.
    virtual void tableAboutToReset() {}
    virtual void tableReset() {}

    // One visible row appears at `row` (a posted insert that passes the filter).
    virtual void rowAboutToBeInserted(int /*row*/) {}
    virtual void rowInserted(int /*row*/) {}

    // One visible row disappears (deleted, or an edit made it fail the filter).
    virtual void rowAboutToBeRemoved(int /*row*/) {}
    virtual void rowRemoved(int /*row*/) {}

    // One visible row moves from `from` to `to` (an edit changed its sort key). `to` is the row it ends
    // up at after the move, as QAbstractItemModel::beginMoveRows counts destinations minus one when
    // moving down; observers translate as they need.
    virtual void rowAboutToMove(int /*from*/, int /*to*/) {}
    virtual void rowMoved(int /*from*/, int /*to*/) {}

    // The values of a visible row changed in place.
    virtual void rowChanged(int /*row*/) {}

    // The pending new record of Insert appears as the last visible row, and goes again when it is
    // cancelled, posted where the filter hides it, or collected by an append batch. A pending record
    // that is posted and stays visible does not go: it becomes an ordinary row (moved, when the sort
    // order puts it elsewhere). An observer that does not tell the two apart hears rows inserted and
    // removed.
    virtual void pendingRowAboutToAppear(int row) { rowAboutToBeInserted(row); }
    virtual void pendingRowAppeared(int row) { rowInserted(row); }
    virtual void pendingRowAboutToGo(int row) { rowAboutToBeRemoved(row); }
    virtual void pendingRowGone(int row) { rowRemoved(row); }

    // An insert or an edit has ended (posted, cancelled, or its record deleted), after the row
    // notifications it caused: the table is browsing again. `row` is where the record now shows, -1
    // when it shows nowhere.
    virtual void editEnded(int /*row*/) {}

    // The cursor moved, or the state (browse/insert/edit) changed; always the last call of a change.
    virtual void cursorChanged() {}
};
