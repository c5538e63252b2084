#pragma once

#include <QRect>

class QDialog;
class QPushButton;

// The bottom strip the small dialogs share: a sunken separator line and an "OK" button that accepts.
// `isDefault`: Enter in the dialog presses OK (not where Enter has work of its own, as in a memo).
QPushButton* addOkStrip(QDialog* dialog, const QRect& line, const QRect& button, bool isDefault = true);
