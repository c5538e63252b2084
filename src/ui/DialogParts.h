// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>

class DBGrid;
class QDialog;
class QKeyEvent;
class QPushButton;
class QWidget;
class TableModel;

// The bottom strip the small dialogs share: a sunken separator line and an "OK" button that accepts.
// `isDefault`: Enter in the dialog presses OK (not where Enter has work of its own, as in a memo).
QPushButton* addOkStrip(QDialog* dialog, const QRect& line, const QRect& button, bool isDefault = true);

// Enter on a focused push or tool button presses that button, as Space does, rather than the dialog's
// default button (or nothing where the dialog has none). For a dialog's keyPressEvent: true when the key
// was taken.
bool pressFocusedButton(QDialog* dialog, QKeyEvent* event);

// The table windows' body: `top` (their controls) above a grid over `model` that fills the rest.
DBGrid* addGridBelow(QDialog* dialog, QWidget* top, TableModel* model);
