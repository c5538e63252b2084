// SPDX-License-Identifier: GPL-3.0-or-later
#include <QTranslator>

#include "app/AppLook.h"
#include "app/QuorvelApplication.h"
#include "cli/CliMain.h"
#include "cli/CommandLine.h"
#include "ui/AppForms.h"
#include "ui/MainUnit.h"

int main(int argc, char** argv) {
    // "quorvel report ...", "quorvel --help", ...: a command without a window.
    QStringList args;
    for (int i = 1; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
    if (CommandLine::isCommand(args)) return CliMain::run(argc, argv, args);

    QuorvelApplication app(argc, argv);
    CliMain::setApplicationNames();
    // The desktop entry the window belongs to: its icon and name in task bars and window switchers.
    QGuiApplication::setDesktopFileName(QStringLiteral("de.zantor.Quorvel"));
    // No application display name: the platform would append it to every window title, and the
    // windows carry their own captions.
    QTranslator qtTranslator;
    setUpAppLook(qtTranslator);

    TMainForm* main = createAppForms();
    main->show();
    const int result = QApplication::exec();
    destroyAppForms();
    return result;
}
