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

    // False only when another running copy holds the folder; message() then says so in German.
    // A folder where no lock file can be made (missing, write-protected) is not held against the
    // user: the call returns true without a lock, and opening the tables reports the real problem.
    bool tryLock(const QString& folder);
    void unlock();

    bool isLocked() const;
    const QString& message() const { return m_message; }

private:
    std::unique_ptr<QLockFile> m_lock;
    QString m_message;
};
