// SPDX-License-Identifier: GPL-3.0-or-later
#include "startup/DataFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

bool endsInSeparator(const QString& text) {
    return text.endsWith(QLatin1Char('/')) || text.endsWith(QLatin1Char('\\'));
}

// The platform's per-user application-data folder; empty when it cannot be found.
QString userDataRoot() {
#ifdef Q_OS_WIN
    // The roaming folder, as the shell folder lookup of the original platform gives it.
    QString roaming = qEnvironmentVariable("APPDATA");
    if (roaming.isEmpty()) {
        const QString appData = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
        if (!appData.isEmpty()) {
            QDir dir(appData);
            // AppDataLocation appends organisation and application names below the roaming folder.
            if (!QCoreApplication::organizationName().isEmpty()) dir.cdUp();
            if (!QCoreApplication::applicationName().isEmpty()) dir.cdUp();
            roaming = dir.path();
        }
    }
    return QDir::fromNativeSeparators(roaming);
#else
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    // A relative setting is invalid by the XDG rules; its default is meant then.
    if (!data.isEmpty() && QDir::isRelativePath(data)) return QDir::homePath() + QStringLiteral("/.local/share");
    return data;
#endif
}

}  // namespace

QString DataFolder::programFolder() {
    return withTrailingSeparator(QCoreApplication::applicationDirPath());
}

QString DataFolder::GetProgramDir(bool create, const QString& fallback) {
    const QString root = userDataRoot();
    if (root.isEmpty()) return fallback;
    const QString folder = withTrailingSeparator(root) + QStringLiteral("ZAN-TOR/Quorvel/");
    if (create) QDir().mkpath(folder);
    return folder;
}

bool DataFolder::writeTest(const QString& folder) {
    QFile file(withTrailingSeparator(folder) + QStringLiteral("test.dat"));
    if (!file.open(QIODevice::WriteOnly)) return false;
    file.close();
    file.remove();
    return true;
}

QString DataFolder::withTrailingSeparator(const QString& text) {
    if (text.isEmpty() || endsInSeparator(text)) return text;
    return text + QLatin1Char('/');
}

QString DataFolder::resolve(const QString& text) {
    // Blanks around a typed or pasted folder are no part of its name; "~" is the user's home folder.
    QString path = QDir::fromNativeSeparators(text.trimmed());
    if (path == QLatin1String("~") || path.startsWith(QLatin1String("~/"))) path.replace(0, 1, QDir::homePath());
    if (QDir::isAbsolutePath(path)) return withTrailingSeparator(QDir::cleanPath(path));
    return withTrailingSeparator(QDir::cleanPath(programFolder() + path));
}

DataFolder::Decision DataFolder::decide(const Choice& choice) {
    Decision decision;
    bool userFolder = choice.userFolder;
    if (choice.programFolder && !writeTest(programFolder())) {
        userFolder = true;
        decision.switchedToUserFolder = true;
    }
    if (userFolder)
        decision.folder = GetProgramDir(true, programFolder());
    else if (choice.specialFolder)
        decision.folder = resolve(choice.directoryText);
    else
        decision.folder = programFolder();
    return decision;
}
