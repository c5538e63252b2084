// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/MainDialogs.h"

class TMainForm;

// Every window lives from program start to program end. They are created once, hidden, in a fixed
// order: the main window first (its constructor runs before any other window exists), then the
// dialogs its first showing relies on. The windows themselves do not look each other up here: the main
// window is handed its dialogs, the report window its sources; this registry is for the program's start
// and end (and for tests that drive a dialog).
struct AppForms : MainDialogs {
    TMainForm* MainForm = nullptr;
};

// The windows of the running program.
AppForms& appForms();

// Creates all windows in their order (the dialogs are parented to the main window). Returns the main window.
TMainForm* createAppForms();

// Destroys all windows (the dialogs go with the main window).
void destroyAppForms();
