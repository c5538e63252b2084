// SPDX-License-Identifier: GPL-3.0-or-later
#include "startup/DataFolderLock.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>

#include "startup/DataFolder.h"

DataFolderLock::DataFolderLock() = default;

DataFolderLock::~DataFolderLock() = default;

QString DataFolderLock::lockFileName(const QString& folder) {
    return DataFolder::withTrailingSeparator(folder) + QStringLiteral(".quorvel.lock");
}

bool DataFolderLock::tryLock(const QString& folder) {
    unlock();
    m_message.clear();
    m_heldByAnotherCopy = false;
    const QString fileName = lockFileName(folder);
    auto lock = std::make_unique<QLockFile>(fileName);
    // The program holds the lock for its whole run, so a lock must never go stale by age; a dead
    // holder on this machine is still detected through its process id.
    lock->setStaleLockTime(0);
    if (lock->tryLock(0)) {
        m_lock = std::move(lock);
        return true;
    }
    if (lock->error() == QLockFile::LockFailedError) {
        m_heldByAnotherCopy = true;
        m_message = QStringLiteral(
                        "Der Datenordner \"%1\" wird bereits von einem anderen laufenden Quorvel verwendet. "
                        "Zwei gleichzeitig laufende Programme würden sich gegenseitig Buchungen überschreiben; "
                        "dieses Programm wird deshalb beendet.\n\n"
                        "Falls kein anderes Quorvel mehr läuft (etwa auf einem anderen Rechner im Netz), "
                        "löschen Sie die Datei \"%2\" und starten Sie das Programm erneut.")
                        .arg(QDir::toNativeSeparators(folder), QDir::toNativeSeparators(fileName));
        return false;
    }
    const QFileInfo info(folder);
    const QString why = !info.exists()  ? QStringLiteral("der Ordner existiert nicht")
                        : !info.isDir() ? QStringLiteral("das ist kein Ordner")
                                        : QStringLiteral(
                                              "die Sperrdatei \"%1\" kann dort nicht angelegt werden, der "
                                              "Ordner ist nicht beschreibbar")
                                              .arg(QDir::toNativeSeparators(fileName));
    m_message = QStringLiteral(
                    "Der Datenordner \"%1\" kann nicht für dieses Programm gesperrt werden: %2.\n\n"
                    "Ohne Sperre könnte ein zweites gleichzeitig laufendes Quorvel Buchungen überschreiben. Die "
                    "Tabellen werden deshalb nur zum Lesen geöffnet; Buchen und Ändern sind nicht möglich.\n\n"
                    "Sorgen Sie dafür, dass der Ordner existiert und beschreibbar ist, oder wählen Sie im Menü "
                    "„Admin“ unter „Admin Menü...“ einen anderen Datenordner, und starten Sie das Programm neu.")
                    .arg(QDir::toNativeSeparators(folder), why);
    return false;
}

void DataFolderLock::unlock() {
    if (m_lock) m_lock->unlock();
    m_lock.reset();
}

bool DataFolderLock::isLocked() const {
    return m_lock && m_lock->isLocked();
}
