// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/QuorvelApplication.h"

#include <exception>

#include "ui/UiMessages.h"

QuorvelApplication::QuorvelApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool QuorvelApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        UiMessages::showError(activeWindow(), UiMessages::errorText(e));
    } catch (...) {
        UiMessages::showError(activeWindow(), QStringLiteral("Unbekannter Fehler."));
    }
    return false;
}
