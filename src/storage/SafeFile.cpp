// SPDX-License-Identifier: GPL-3.0-or-later
#include "storage/SafeFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "storage/FileIo.h"
#include "storage/StorageError.h"

namespace {

QString native(const QString& fileName) {
    return QDir::toNativeSeparators(fileName);
}

[[noreturn]] void fail(const QString& what, const QString& fileName, int error) {
    const QString subject = what.isEmpty() ? QStringLiteral("Die Datei") : what;
    throw FileIoError(QStringLiteral("%1 konnte nicht in „%2“ gespeichert werden. %3 Die bisherige Datei ist "
                                     "unverändert geblieben.")
                          .arg(subject, native(fileName), SafeFile::reason(error)));
}

// A target file that exists but may not be written: said of the file, not of its folder.
[[noreturn]] void failProtected(const QString& what, const QString& fileName) {
    const QString subject = what.isEmpty() ? QStringLiteral("Die Datei") : what;
    throw FileIoError(QStringLiteral("%1 konnte nicht in „%2“ gespeichert werden. Die Datei ist nicht "
                                     "beschreibbar. Prüfen Sie die Zugriffsrechte der Datei oder wählen Sie "
                                     "eine andere Datei. Die bisherige Datei ist unverändert geblieben.")
                          .arg(subject, native(fileName)));
}

int retryOpen(const QByteArray& path, int flags, mode_t mode = 0) {
    int fd;
    do fd = FileIo::current().open(path.constData(), flags | O_CLOEXEC, mode);
    while (fd < 0 && errno == EINTR);
    return fd;
}

// Makes the rename itself durable; a folder that cannot be synced is no reason to fail.
void syncFolderOf(const QString& fileName) {
    const int fd = retryOpen(QFile::encodeName(QFileInfo(fileName).absolutePath()), O_RDONLY | O_DIRECTORY);
    if (fd < 0) return;
    FileIo::current().fsync(fd);
    FileIo::current().close(fd);
}

// Flushes the open temporary file to the disk and checks its size; 0 or the errno of the failure.
int syncAndCheck(int fd, qint64 expectedSize) {
    if (FileIo::current().fsync(fd) != 0 && errno != EINVAL && errno != EROFS) return errno;
    struct stat st {};
    if (::fstat(fd, &st) != 0) return errno;
    if (st.st_size != expectedSize) return ENOSPC;  // the disk took less than was written
    return 0;
}

// The last step of both ways of writing: the synced temporary file replaces the target, unless an
// earlier step failed (`error`), in which case the temporary file goes and the failure is raised.
void putInPlace(const QByteArray& tempPath, const QString& fileName, int error, const QString& what) {
    if (error == 0 && FileIo::current().rename(tempPath.constData(), QFile::encodeName(fileName).constData()) != 0)
        error = errno;
    if (error != 0) {
        FileIo::current().unlink(tempPath.constData());
        fail(what, fileName, error);
    }
    syncFolderOf(fileName);
}

}  // namespace

QString SafeFile::reason(int error) {
    switch (error) {
        case ENOSPC:
        case EDQUOT:
        case EFBIG:
            return QStringLiteral(
                "Der Datenträger ist voll. Schaffen Sie Platz auf dem Datenträger und versuchen Sie "
                "es erneut.");
        case EACCES:
        case EPERM:
        case EROFS:
            return QStringLiteral(
                "Der Ordner ist nicht beschreibbar. Prüfen Sie die Zugriffsrechte des Ordners oder "
                "wählen Sie im Menü „Admin“ einen anderen Datenordner.");
        case ENOENT:
        case ENOTDIR:
            return QStringLiteral(
                "Der Ordner existiert nicht (mehr). Stellen Sie den Datenordner wieder her oder "
                "wählen Sie im Menü „Admin“ einen anderen Datenordner.");
        default:
            return QStringLiteral("Schreibfehler: %1. Prüfen Sie den Datenträger und versuchen Sie es erneut.")
                .arg(QString::fromLocal8Bit(std::strerror(error)));
    }
}

QString SafeFile::temporaryName(const QString& fileName) {
    for (int n = 0;; ++n) {
        const QString candidate = fileName + QStringLiteral(".%1-%2.tmp").arg(::getpid()).arg(n);
        if (!QFileInfo::exists(candidate)) return candidate;
    }
}

void SafeFile::replace(const QString& fileName, const QByteArray& bytes, const QString& what) {
    Writer writer(fileName, what);
    writer.write(bytes);
    writer.commit();
}

SafeFile::Writer::Writer(const QString& fileName, const QString& what) : m_fileName(fileName), m_what(what) {
    // A write-protected file stays as it is, although its folder would let a rename replace it; the new
    // file keeps the rights of the one it replaces.
    struct stat previous {};
    const QByteArray target = QFile::encodeName(fileName);
    const bool exists = ::stat(target.constData(), &previous) == 0;
    if (exists && ::access(target.constData(), W_OK) != 0) {
        const int error = errno;
        if (error == EACCES || error == EPERM) failProtected(what, fileName);
        fail(what, fileName, error);
    }
    m_tempPath = QFile::encodeName(temporaryName(fileName));
    m_fd = retryOpen(m_tempPath, O_WRONLY | O_CREAT | O_EXCL, 0666);
    if (m_fd < 0) fail(what, fileName, errno);
    if (exists) ::fchmod(m_fd, previous.st_mode & 07777);
}

SafeFile::Writer::~Writer() {
    if (m_fd >= 0) {
        FileIo::current().close(m_fd);
        FileIo::current().unlink(m_tempPath.constData());
    }
}

void SafeFile::Writer::failWith(int error) {
    FileIo::current().close(m_fd);
    m_fd = -1;
    FileIo::current().unlink(m_tempPath.constData());
    fail(m_what, m_fileName, error);
}

void SafeFile::Writer::write(const char* data, qint64 length) {
    qint64 done = 0;
    while (done < length) {
        const ssize_t n = FileIo::current().write(m_fd, data + done, size_t(length - done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) failWith(n < 0 ? errno : ENOSPC);
        done += n;
    }
    m_written += length;
}

void SafeFile::Writer::restart() {
    if (FileIo::current().ftruncate(m_fd, 0) != 0 || ::lseek(m_fd, 0, SEEK_SET) != 0) failWith(errno);
    m_written = 0;
}

void SafeFile::Writer::commit() {
    int error = syncAndCheck(m_fd, m_written);
    if (FileIo::current().close(m_fd) != 0 && error == 0 && errno != EINTR) error = errno;
    m_fd = -1;
    putInPlace(m_tempPath, m_fileName, error, m_what);
}

void SafeFile::commit(const QString& tempName, const QString& fileName, qint64 expectedSize, const QString& what) {
    const QByteArray path = QFile::encodeName(tempName);
    int error = 0;
    const int fd = retryOpen(path, O_RDWR);
    if (fd < 0) {
        error = errno;
    } else {
        error = syncAndCheck(fd, expectedSize);
        if (FileIo::current().close(fd) != 0 && error == 0 && errno != EINTR) error = errno;
    }
    putInPlace(path, fileName, error, what);
}
