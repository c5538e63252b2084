// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <functional>
#include <vector>

class QWidget;
class TMainForm;

// The windows of the user guide: its table "Fenster" names each picture, the window's object name and the
// menu command (object name of the action) that opens it, in rows such as
//   | ![Hauptfenster](bilder/hauptfenster.png) | `TMainForm` | — |
//   | ![Währung](bilder/waehrung.png) | `TWaehrungForm` | `Whrungeinstellen1` |
struct GuideWindow {
    QString picture;  // file name below docs/bilder
    QString window;   // object name of the window
    QString action;   // object name of the menu command; empty for the main window
};

// The rows of the table; throws std::runtime_error when the guide cannot be read.
std::vector<GuideWindow> readGuideWindows(const QString& guideFile);

// Opens the window as the user does (triggers its menu command on the running main window), hands it to
// `shown` while it is on screen and closes it again. An empty command: the main window itself. Returns an
// empty string when done, otherwise why not (no such command, another window or a message box showed).
// A command that asks for a file first (the bank statement) is given `sampleFile(w)` in its file dialog.
QString showGuideWindow(TMainForm& main, const GuideWindow& w, const std::function<void(QWidget*)>& shown,
                        const std::function<QString(const GuideWindow&)>& sampleFile = {});
