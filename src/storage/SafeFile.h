// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

// Replaces whole files so that a failure never costs the previous content: the new bytes go to a
// temporary file beside the target, every write and the flush to the disk are checked, the size on
// disk is compared with what was meant to be there, and only then is the temporary file renamed over
// the target. (QSaveFile is not used: it can report success from commit() when its last buffered
// write failed on a full disk.)
//
// Failures throw FileIoError with a German message that names the file, says whether the disk is full
// or the folder not writable, and that the previous file is unchanged. The temporary file is removed.
class SafeFile {
public:
    // `what` starts the message, e.g. "Die Firmenanschrift"; empty means "Die Datei".
    static void replace(const QString& fileName, const QByteArray& bytes, const QString& what = QString());

    // Puts a temporary file that was written by other means in place of `fileName`, after flushing it
    // to the disk and checking that it holds `expectedSize` bytes.
    static void commit(const QString& tempName, const QString& fileName, qint64 expectedSize,
                       const QString& what = QString());

    // A temporary name beside `fileName` that no other file has (the file is not created).
    static QString temporaryName(const QString& fileName);

    // The German reason for a failed write with `error` (an errno value): disk full, not writable, ...
    static QString reason(int error);

    // The same way of writing for files made piece by piece (an export of a million bookings): the
    // pieces go to the temporary file as they come, each write checked; commit() flushes, compares the
    // size and renames. A writer destroyed without commit() removes its temporary file, so a cancelled
    // or failed export leaves the previous file as it was.
    class Writer {
    public:
        explicit Writer(const QString& fileName, const QString& what = QString());  // throws FileIoError
        ~Writer();
        Writer(const Writer&) = delete;
        Writer& operator=(const Writer&) = delete;

        void write(const char* data, qint64 length);  // throws FileIoError (the temporary file is removed)
        void write(const QByteArray& bytes) { write(bytes.constData(), bytes.size()); }
        void restart();  // drops what was written so far
        qint64 written() const { return m_written; }
        void commit();   // throws FileIoError; the previous file stays unchanged then

    private:
        [[noreturn]] void failWith(int error);
        QString m_fileName;
        QString m_what;
        QByteArray m_tempPath;
        int m_fd = -1;
        qint64 m_written = 0;
    };
};
