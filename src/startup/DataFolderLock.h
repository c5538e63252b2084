// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <memory>

class QLockFile;

// Keeps a second running copy of the program off a data folder that one copy already uses: two
// copies writing the same tables would overwrite each other's records. The lock is the file
// ".quorvel.lock" in the folder (hidden, beside the tables rather than among them), held until the object dies. A lock
// left by a killed process is recognised by its process id and taken over.
class DataFolderLock {
public:
    DataFolderLock();
    ~DataFolderLock();
    DataFolderLock(const DataFolderLock&) = delete;
    DataFolderLock& operator=(const DataFolderLock&) = delete;

    static QString lockFileName(const QString& folder);

    // False when the lock could not be taken; message() then says why in German and what to do.
    // heldByAnotherCopy() tells the two cases apart: another running copy holds the folder (the program
    // must not start on it), or no lock file can be made there (folder missing or write-protected):
    // the program may then only read, since without the lock a second copy could write at the same time.
    bool tryLock(const QString& folder);
    bool heldByAnotherCopy() const { return m_heldByAnotherCopy; }
    void unlock();

    bool isLocked() const;
    const QString& message() const { return m_message; }

private:
    std::unique_ptr<QLockFile> m_lock;
    QString m_message;
    bool m_heldByAnotherCopy = false;
};
