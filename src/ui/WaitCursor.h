// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QApplication>

// An hourglass while a command works through a large table (opening a year, filtering, sorting).
class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

