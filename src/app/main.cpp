#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

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
    // No application display name: the platform would append it to every window title, and the
    // windows carry their own captions.

    // German texts in the standard dialogs (buttons of message boxes, file and print dialogs).
    QTranslator qtTranslator;
    if (qtTranslator.load(QLocale(QLocale::German), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslator);

    // The windows are laid out in pixels for a bold 13-pixel Tahoma; where Tahoma is missing, the
    // metric-compatible Arial stand-in keeps captions inside their places.
    QFont::insertSubstitutions(QStringLiteral("Tahoma"), {QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(13);
    font.setBold(true);
    QApplication::setFont(font);

    TMainForm* main = createAppForms();
    main->show();
    const int result = QApplication::exec();
    destroyAppForms();
    return result;
}
