// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QApplication>

// The one place where an error that a command did not handle ends: it is shown in the standard error
// box and the program goes on.
class QuorvelApplication : public QApplication {
    Q_OBJECT
public:
    QuorvelApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};
