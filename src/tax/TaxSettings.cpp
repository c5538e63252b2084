// SPDX-License-Identifier: GPL-3.0-or-later
#include "tax/TaxSettings.h"

#include <QDir>
#include <QFile>

#include "startup/ClientNaming.h"
#include "storage/SafeFile.h"
#include "storage/StorageError.h"

QString TaxSettings::fileName(const QString& folder, int mandantnr) {
    return QDir(folder).filePath(QStringLiteral("steuerangaben") + ClientNaming::mandantPrefix(mandantnr) +
                                 QStringLiteral(".txt"));
}

TaxSettings TaxSettings::load(const QString& fileName) {
    TaxSettings s;
    QFile file(fileName);
    if (!file.exists()) return s;
    if (!file.open(QIODevice::ReadOnly))
        throw StorageError(QStringLiteral("Die Steuerangaben \"%1\" lassen sich nicht lesen: %2")
                               .arg(QDir::toNativeSeparators(fileName), file.errorString()));
    QByteArray bytes = file.readAll();
    if (bytes.startsWith("\xEF\xBB\xBF")) bytes.remove(0, 3);
    for (const QString& raw : QString::fromUtf8(bytes).split(QLatin1Char('\n'))) {
        const QString line = raw.trimmed();
        const int eq = line.indexOf(QLatin1Char('='));
        if (eq < 0) continue;
        const QString key = line.left(eq).trimmed();
        const QString value = line.mid(eq + 1).trimmed();
        if (key == u"Steuernummer") s.steuernummer = value;
        if (key == u"Kleinunternehmer") s.kleinunternehmer = value == u"ja";
    }
    return s;
}

void TaxSettings::save(const QString& fileName) const {
    const QString reason = check(steuernummer);
    if (!reason.isEmpty()) throw QuorvelError(reason);
    const QString text = QStringLiteral("Steuernummer=%1\r\nKleinunternehmer=%2\r\n")
                             .arg(steuernummer.trimmed(), kleinunternehmer ? QStringLiteral("ja") : QStringLiteral("nein"));
    SafeFile::replace(fileName, QByteArray("\xEF\xBB\xBF") + text.toUtf8(), QStringLiteral("Die Steuerangaben"));
}

QString TaxSettings::check(const QString& steuernummer) {
    for (const QChar c : steuernummer)
        if (c == QLatin1Char('=') || c.category() == QChar::Other_Control || c == QChar::LineSeparator)
            return QStringLiteral("Die Steuernummer darf keine Zeilenumbrüche, Steuerzeichen und kein \"=\" enthalten.");
    if (steuernummer.size() > 40) return QStringLiteral("Die Steuernummer ist zu lang (höchstens 40 Zeichen).");
    return QString();
}

QString kleinunternehmerText() {
    return QStringLiteral("In den Firmenangaben ist \"Kleinunternehmer (§ 19 UStG)\" angekreuzt. Als Kleinunternehmer "
                          "weisen Sie keine Umsatzsteuer aus und geben keine Umsatzsteuer-Voranmeldung ab; daher wird "
                          "keine erstellt.");
}
