#pragma once

#include <QString>
#include <memory>

class QTemporaryFile;

// Writes a file through a temporary file beside it and puts it in place only when every byte has been
// written, flushed and synced: a failure at any step (a full disk, a write-protected folder or file)
// leaves the previous file exactly as it was and removes the temporary file.
//
// Every write is checked for its full length; QSaveFile is not used because some Qt versions let a
// failing final write pass its commit.
class SafeFileWriter {
public:
    explicit SafeFileWriter(QString target);
    ~SafeFileWriter();  // removes the temporary file unless committed
    SafeFileWriter(const SafeFileWriter&) = delete;
    SafeFileWriter& operator=(const SafeFileWriter&) = delete;

    // Each returns false on failure; errorString() then says why, in German.
    bool open();
    bool write(const char* data, qint64 length);
    bool commit();

    const QString& errorString() const { return m_error; }

private:
    bool fail(const QString& reason);

    QString m_target;
    std::unique_ptr<QTemporaryFile> m_temp;
    bool m_failed = false;
    bool m_committed = false;
    QString m_error;
};
