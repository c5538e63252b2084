// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <memory>

#include "audit/ChangeLog.h"
#include "startup/DataFolderLock.h"
#include "startup/TableSet.h"
#include "storage/StorageError.h"

class OptionStore;

// The data folder is in use by a running copy of the program: the command writes nothing.
class FolderInUseError : public QuorvelError {
public:
    using QuorvelError::QuorvelError;
};

// One command's hold on a client's booking year: the data folder as the window would choose it (or as
// given), its lock, and the table set opened for reading only or for writing. The lock is held until the
// object dies, so a window started meanwhile does not write beside the command.
class CliSession {
public:
    enum class Access { Read, Write };

    // `folderText` empty: the folder of the stored admin options. Throws FolderInUseError when a running
    // copy holds the folder; QuorvelError when the year's bookings cannot be opened (for reading: when the
    // bookings file is missing, nothing is created) or, for writing, when the folder cannot be locked.
    CliSession(const QString& folderText, int mandant, int jahr, Access access);
    ~CliSession();
    CliSession(const CliSession&) = delete;
    CliSession& operator=(const CliSession&) = delete;

    // The data folder the window takes: the stored choice of the admin dialog ("Admin Menü"), with the
    // write test of the program folder. `store` nullptr: the program's option store.
    static QString storedDataFolder(OptionStore* store = nullptr);
    // A folder given on the command line: relative to the working folder, "~" the home folder; ends in '/'.
    static QString givenDataFolder(const QString& text);

    TableSet& tables() { return m_tables; }
    const QString& folder() const { return m_folder; }
    int mandant() const { return m_mandant; }
    int jahr() const { return m_jahr; }
    // Remarks of the opening that did not stop it (a master table missing, ...), in German.
    const QStringList& remarks() const { return m_remarks; }

    // Posts and closes the tables; throws when a post fails.
    void close();

private:
    QString m_folder;
    int m_mandant = 1;
    int m_jahr = 0;
    DataFolderLock m_lock;
    TableSet m_tables;
    std::unique_ptr<audit::ChangeLog> m_log;  // for writing: every change of the bookings is logged
    QStringList m_remarks;
};
