// SPDX-License-Identifier: GPL-3.0-or-later
#include "exchange/YearTransfer.h"

#include <QFile>
#include <QFileInfo>
#include <utility>

#include "startup/ClientNaming.h"
#include "startup/TableSet.h"
#include "storage/SafeFile.h"
#include "storage/StorageError.h"

namespace YearTransfer {

QString CopyFailure::message() const {
    return QStringLiteral("Konnte die Datei ") + source + QStringLiteral(" nicht nach ") + target +
           QStringLiteral(" kopieren!");
}

bool copyFile(const QString& source, const QString& target, CopyFailure* failure) {
    auto failed = [&](const QString& reason) {
        if (failure) *failure = CopyFailure{QString(), source, target, reason};
        return false;
    };
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly)) {
        return failed(QFileInfo::exists(source) ? QStringLiteral("Die Quelldatei kann nicht gelesen werden.")
                                                : QStringLiteral("Die Quelldatei gibt es nicht."));
    }
    // The copy goes to a temporary file beside the target and replaces it only when complete.
    const QByteArray bytes = in.readAll();
    if (in.error() != QFileDevice::NoError) return failed(QStringLiteral("Die Quelldatei kann nicht gelesen werden."));
    try {
        SafeFile::replace(target, bytes);
    } catch (const FileIoError& e) {
        return failed(e.message());
    }
    return true;
}

QString tableFile(const QString& folder, const char* baseName, int mandantnr, int year) {
    return folder + ClientNaming::tableFileName(QString::fromLatin1(baseName), mandantnr, year);
}

std::vector<CopyFailure> copyTables(const QString& folder, int mandantnr, int oldYear, int newYear,
                                    const std::array<bool, 7>& chosen) {
    std::vector<CopyFailure> failures;
    for (size_t i = 0; i < baseNames.size(); ++i) {
        if (!chosen[i]) continue;
        CopyFailure failure;
        if (!copyFile(tableFile(folder, baseNames[i], mandantnr, oldYear),
                      tableFile(folder, baseNames[i], mandantnr, newYear), &failure)) {
            failure.table = QString::fromUtf8(tableCaptions[i]);
            failures.push_back(failure);
        }
    }
    const bool accounts = chosen[0] || chosen[1] || chosen[5];
    const std::pair<const char*, const char*> companions[] = {{bankRulesBaseName, "Bankregeln"},
                                                              {datevAccountsBaseName, "DATEV-Konten"}};
    for (const auto& [baseName, caption] : companions) {
        const QString source = tableFile(folder, baseName, mandantnr, oldYear);
        if (!accounts || !QFileInfo::exists(source)) continue;
        CopyFailure failure;
        if (!copyFile(source, tableFile(folder, baseName, mandantnr, newYear), &failure)) {
            failure.table = QString::fromUtf8(caption);
            failures.push_back(failure);
        }
    }
    return failures;
}

QString failuresText(const std::vector<CopyFailure>& failures) {
    QString text = failures.size() == 1
                       ? QStringLiteral("Eine Tabelle wurde nicht übertragen; ihr bisheriger Stand im neuen Jahr bleibt:")
                       : QStringLiteral("%1 Tabellen wurden nicht übertragen; ihr bisheriger Stand im neuen Jahr bleibt:")
                             .arg(QString::number(int(failures.size())));
    for (const CopyFailure& failure : failures) {
        text += QStringLiteral("\n\n") + failure.table + QStringLiteral(": ") + failure.message();
        if (!failure.reason.isEmpty()) text += QLatin1Char(' ') + failure.reason;
    }
    return text;
}

bool copyAssignments(const QString& folder, int mandantnr, int oldYear, int newYear, CopyFailure* failure) {
    const QString source = tableFile(folder, "kontenzuordnung", mandantnr, oldYear);
    if (!QFileInfo::exists(source)) return true;
    if (copyFile(source, tableFile(folder, "kontenzuordnung", mandantnr, newYear), failure)) return true;
    if (failure) failure->table = QStringLiteral("Kontenzuordnung");
    return false;
}

void closeTables(TableSet& t) {
    for (DbfTable* table : {&t.Dbf1, &t.EinnahmeKonten, &t.Sammelkonten, &t.kostenkonten, &t.dauer, &t.AusgabeKonten,
                            &t.MwstSaetze, &t.buchungstexte})
        table->Close();
}

QString questionText(int oldYear, int newYear) {
    return QStringLiteral("Wollen Sie die Einstellungen aus dem Jahr ") + QString::number(oldYear) +
           QStringLiteral(" wirklich ins Jahr ") + QString::number(newYear) +
           QStringLiteral(" übernehmen? Bestehende Einstellungen im Jahr ") + QString::number(newYear) +
           QStringLiteral(" gehen dabei verloren.");
}

}  // namespace YearTransfer
