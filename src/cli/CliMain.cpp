// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/CliMain.h"

#include <QDate>
#include <QGuiApplication>
#include <QLocale>
#include <cstdio>
#include <unistd.h>

#include "cli/CliCommands.h"
#include "cli/CliSession.h"
#include "cli/CommandLine.h"

namespace CliMain {

namespace {

void write(std::FILE* stream, const QString& text) {
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

void line(std::FILE* stream, const QString& text) {
    write(stream, text.endsWith(QLatin1Char('\n')) ? text : text + QLatin1Char('\n'));
}

// Qt's own notes (a missing runtime folder, the offscreen platform's limits) mean nothing to the user of a
// command; only its errors are passed on.
void qtMessages(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtCriticalMsg || type == QtFatalMsg) line(stderr, text);
}

}  // namespace

void setApplicationNames() {
    QCoreApplication::setApplicationName(QStringLiteral("Quorvel"));
    QCoreApplication::setOrganizationName(QStringLiteral("ZAN-TOR"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QUORVEL_VERSION));
}

int run(int& argc, char** argv, const QStringList& args) {
    CommandLine::Request request;
    try {
        request = CommandLine::parse(args, QDate::currentDate().year());
    } catch (const CommandLine::UsageError& e) {
        line(stderr, e.message());
        return 2;
    }
    if (request.command == CommandLine::Command::Help) {
        write(stdout, CommandLine::helpText());
        return 0;
    }
    if (request.command == CommandLine::Command::Version) {
        write(stdout, CommandLine::versionText());
        return 0;
    }

    // The pages need fonts and a paint device, never a screen.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(qtMessages);
    QGuiApplication app(argc, argv);
    setApplicationNames();
    // Without a language setting (LANG=C, as under cron) the dates and amounts of the tables, the CSV
    // files and the pages keep the German forms the program is made for, not the C locale's.
    if (QLocale::system().language() == QLocale::C) QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));

    bool progressShown = false;
    auto endProgress = [&] {
        if (progressShown) write(stderr, QStringLiteral("\n"));
        progressShown = false;
    };
    CliCommands::Output output;
    output.out = [&](const QString& text) {
        endProgress();
        line(stdout, text);
    };
    output.remark = [&](const QString& text) {
        endProgress();
        line(stderr, text);
    };
    // Progress only where someone watches: a terminal, never a log file.
    if (isatty(fileno(stderr))) {
        output.progress = [&](const QString& text) {
            write(stderr, QStringLiteral("\r") + text + QStringLiteral("   "));
            progressShown = true;
        };
    }
    try {
        int status = 0;
        switch (request.command) {
            case CommandLine::Command::Report:
                CliCommands::report(request, output);
                break;
            case CommandLine::Command::ExportCsv:
                CliCommands::exportCsv(request, output);
                break;
            case CommandLine::Command::ImportCsv:
                status = CliCommands::importCsv(request, output);
                break;
            default:
                break;
        }
        endProgress();
        return status;
    } catch (const FolderInUseError& e) {
        endProgress();
        line(stderr, e.message());
        return 3;
    } catch (const CommandLine::UsageError& e) {
        endProgress();
        line(stderr, e.message());
        return 2;
    } catch (const QuorvelError& e) {
        endProgress();
        line(stderr, e.message());
        return 1;
    } catch (const std::exception& e) {
        endProgress();
        line(stderr, QStringLiteral("Fehler: ") + QString::fromLocal8Bit(e.what()));
        return 1;
    }
}

}  // namespace CliMain
