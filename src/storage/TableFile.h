// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <sys/types.h>

#include <QByteArray>
#include <QString>

// An open table file with unbuffered, checked I/O. Every write goes to the file at once (no
// user-space buffer that a killed process could lose half of); a short write or a failed seek is an
// error with a German message naming the file.
class TableFile {
public:
    TableFile() = default;
    ~TableFile();
    TableFile(const TableFile&) = delete;
    TableFile& operator=(const TableFile&) = delete;

    enum class OpenResult { Ok, Missing, Unreadable };
    // Opens for reading and writing, or for reading only when the file may not be written (no write
    // permission, no write bit at all, read-only file system). Never creates, truncates or writes.
    // With `readOnly` the file is opened for reading only, whatever its permissions.
    OpenResult open(const QString& fileName, QString* errorText, bool readOnly = false);
    void close();
    bool isOpen() const { return m_fd >= 0; }
    bool isReadOnly() const { return m_readOnly; }
    const QString& fileName() const { return m_fileName; }

    qint64 size() const;                                           // throws FileIoError
    bool readAll(QByteArray* bytes, QString* errorText);           // the whole file from offset 0
    void writeAt(qint64 offset, const char* data, qint64 length);  // throws FileIoError
    void writeAt(qint64 offset, const QByteArray& data) { writeAt(offset, data.constData(), data.size()); }
    // Cuts the file to `length` bytes (for undoing a failed append); throws FileIoError.
    void truncate(qint64 length);
    // After a write: throws FileIoError when the open file is no longer the one under its name (the
    // folder or the file was deleted, moved or replaced), so that writes into a file nobody will ever
    // read again are not taken for saved.
    void checkInPlace() const;

private:
    int m_fd = -1;
    bool m_readOnly = false;
    QString m_fileName;
    dev_t m_device = 0;
    ino_t m_inode = 0;
};
