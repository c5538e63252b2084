// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/CliSession.h"

#include <QDir>
#include <QFileInfo>

#include "startup/ClientNaming.h"
#include "startup/DataFolder.h"
#include "startup/OptionStore.h"

namespace {

const QString kAdmin = QStringLiteral("TAdminForm");

}  // namespace

QString CliSession::storedDataFolder(OptionStore* store) {
    OptionStore own;
    const OptionStore& s = store ? *store : own;
    // The admin dialog restores its three radio buttons in this order; a checked one unchecks the others,
    // and an unchecked value cannot uncheck the one that is checked. The per-user folder is checked first.
    DataFolder::Choice choice;
    auto take = [&](const QString& item, bool DataFolder::Choice::*flag) {
        const bool on = s.boolValue(kAdmin, item + QStringLiteral("_Checked"), choice.*flag);
        if (!on) return;
        choice.userFolder = choice.programFolder = choice.specialFolder = false;
        choice.*flag = true;
    };
    take(QStringLiteral("ProgramFolderCheck"), &DataFolder::Choice::programFolder);
    take(QStringLiteral("UseSpecialFolderCheck"), &DataFolder::Choice::specialFolder);
    take(QStringLiteral("UserFolderCheck"), &DataFolder::Choice::userFolder);
    choice.directoryText = s.value(kAdmin, QStringLiteral("DirectoryEdit1_Text")).value_or(QString());
    return DataFolder::decide(choice).folder;
}

QString CliSession::givenDataFolder(const QString& text) {
    QString t = text.trimmed();
    if (t == QLatin1String("~") || t.startsWith(QLatin1String("~/"))) t = QDir::homePath() + t.mid(1);
    return DataFolder::withTrailingSeparator(QDir::cleanPath(QDir::current().absoluteFilePath(t)));
}

CliSession::CliSession(const QString& folderText, int mandant, int jahr, Access access)
    : m_folder(folderText.trimmed().isEmpty() ? storedDataFolder() : givenDataFolder(folderText)),
      m_mandant(mandant),
      m_jahr(jahr) {
    const QString native = QDir::toNativeSeparators(m_folder);
    if (!m_lock.tryLock(m_folder)) {
        if (m_lock.heldByAnotherCopy())
            throw FolderInUseError(
                QStringLiteral("Der Datenordner \"%1\" wird gerade von einem laufenden Quorvel verwendet. Beenden "
                               "Sie das Programm und rufen Sie den Befehl danach erneut auf. Es wurde nichts "
                               "geschrieben.")
                    .arg(native));
        // Reading needs no lock of its own: the tables are opened for reading only.
        if (access == Access::Write) throw QuorvelError(m_lock.message());
    }

    const QString bookingsFile =
        m_folder + ClientNaming::tableFileName(QStringLiteral("records"), m_mandant, m_jahr);
    if (access == Access::Read && !QFileInfo::exists(bookingsFile))
        throw QuorvelError(QStringLiteral("Im Datenordner \"%1\" gibt es keine Buchungen des Mandanten %2 für das "
                                          "Jahr %3: die Datei \"%4\" fehlt.")
                               .arg(native)
                               .arg(m_mandant)
                               .arg(m_jahr)
                               .arg(QDir::toNativeSeparators(bookingsFile)));

    m_tables.setNames(m_mandant, m_jahr);
    // A report or an export only reads: nothing in the data folder is created, upgraded or changed.
    m_tables.setReadOnly(access == Access::Read,
                         QStringLiteral("Dieser Befehl liest die Tabellen nur und ändert nichts."));
    m_remarks = m_tables.InitDB(m_folder);
    if (!m_tables.Dbf1.Active())
        throw QuorvelError(QStringLiteral("Die Buchungen des Mandanten %1 für das Jahr %2 konnten nicht geöffnet "
                                          "werden.\n%3")
                               .arg(m_mandant)
                               .arg(m_jahr)
                               .arg(m_remarks.join(QStringLiteral("\n"))));
    if (access == Access::Write && m_tables.Dbf1.isReadOnly())
        throw QuorvelError(QStringLiteral("Die Buchungen des Mandanten %1 für das Jahr %2 sind schreibgeschützt; "
                                          "es wurde nichts importiert.\n%3")
                               .arg(m_mandant)
                               .arg(m_jahr)
                               .arg(m_remarks.join(QStringLiteral("\n"))));
    if (access == Access::Write) {
        m_log = std::make_unique<audit::ChangeLog>(m_folder, m_mandant, m_jahr);
        const QString problem = m_log->attach(m_tables.Dbf1);
        if (!problem.isEmpty()) throw QuorvelError(problem + QStringLiteral("\nEs wurde nichts importiert."));
    }
}

CliSession::~CliSession() {
    try {
        m_tables.closeAll();
    } catch (...) {
        // Closing after a failure: what could be posted was posted by close().
    }
}

void CliSession::close() {
    m_tables.postAll();
    m_log.reset();
    m_tables.closeAll();
}
