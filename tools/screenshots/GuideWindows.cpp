// SPDX-License-Identifier: GPL-3.0-or-later
#include "GuideWindows.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QLineEdit>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QRegularExpression>
#include <QTimer>
#include <stdexcept>

#include "ui/MainUnit.h"

std::vector<GuideWindow> readGuideWindows(const QString& guideFile) {
    QFile file(guideFile);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot read " + guideFile.toStdString());
    static const QRegularExpression row(QStringLiteral(
        R"(^\|\s*!\[[^\]]*\]\(bilder/([\w.-]+\.png)\)\s*\|\s*`(\w+)`\s*\|\s*(?:`(\w+)`|—)\s*\|)"));
    std::vector<GuideWindow> windows;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
        const QRegularExpressionMatch m = row.match(line);
        if (m.hasMatch()) windows.push_back({m.captured(1), m.captured(2), m.captured(3)});
    }
    return windows;
}

QString showGuideWindow(TMainForm& main, const GuideWindow& w, const std::function<void(QWidget*)>& shown,
                        const std::function<QString(const GuideWindow&)>& sampleFile) {
    const QString sample = sampleFile ? sampleFile(w) : QString();
    if (w.action.isEmpty()) {
        if (main.objectName() != w.window && main.metaObject()->className() != w.window)
            return QStringLiteral("the main window is %1").arg(QLatin1String(main.metaObject()->className()));
        shown(&main);
        return {};
    }
    QAction* action = main.findChild<QAction*>(w.action);
    if (!action) return QStringLiteral("no menu command %1").arg(w.action);

    QString problem = QStringLiteral("%1 did not open %2").arg(w.action, w.window);
    QTimer poll;
    poll.setInterval(20);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) return;
        // A command that first asks for a file is given the sample file; its window follows.
        auto* files = qobject_cast<QFileDialog*>(modal);
        if (files && !sample.isEmpty() && modal->objectName() != w.window) {
            files->setDirectory(QFileInfo(sample).absolutePath());
            files->selectFile(sample);
            if (auto* edit = files->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
                edit->setText(QFileInfo(sample).fileName());
            static_cast<QDialog*>(files)->accept();
            return;
        }
        poll.stop();
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            problem = QStringLiteral("%1 showed the message \"%2\"").arg(w.action, box->text());
            box->reject();
            return;
        }
        if (modal->objectName() != w.window) {
            problem = QStringLiteral("%1 opened %2 instead of %3").arg(w.action, modal->objectName(), w.window);
        } else {
            problem.clear();
            // Let the window lay itself out and paint before it is handed on.
            for (int i = 0; i < 5; ++i) QApplication::processEvents();
            shown(modal);
        }
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->reject();
        else
            modal->close();
    });
    poll.start();
    action->trigger();
    return problem;
}
