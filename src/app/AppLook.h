// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QTranslator;

// What every window of the program is drawn with: German texts in Qt's standard dialogs (installed from
// `translator`, which must outlive the application) and the window font.
void setUpAppLook(QTranslator& translator);
