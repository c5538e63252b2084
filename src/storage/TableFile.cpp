// SPDX-License-Identifier: GPL-3.0-or-later
#include "storage/TableFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <cerrno>
#include <cstring>

#include "storage/FileIo.h"
#include "storage/SafeFile.h"
#include "storage/StorageError.h"

namespace {

QString systemText(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

}  // namespace

TableFile::~TableFile() {
    close();
}

TableFile::OpenResult TableFile::open(const QString& fileName, QString* errorText, bool readOnly) {
    close();
    m_fileName = fileName;
    const QByteArray path = QFile::encodeName(fileName);
    struct stat st {};
    if (::stat(path.constData(), &st) != 0) {
        const int error = errno;
        *errorText = systemText(error);
        return error == ENOENT || error == ENOTDIR ? OpenResult::Missing : OpenResult::Unreadable;
    }
    if (S_ISDIR(st.st_mode)) {
        *errorText = QStringLiteral("ein Ordner, keine Datei");
        return OpenResult::Unreadable;
    }
    // A file without any write bit is read-only even for a privileged user, as the read-only
    // attribute is on other systems.
    const bool writeBits = !readOnly && (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
    int fd = -1;
    if (writeBits) {
        do fd = FileIo::current().open(path.constData(), O_RDWR | O_CLOEXEC, 0);
        while (fd < 0 && errno == EINTR);
    }
    m_readOnly = fd < 0;
    if (fd < 0) {
        do fd = FileIo::current().open(path.constData(), O_RDONLY | O_CLOEXEC, 0);
        while (fd < 0 && errno == EINTR);
    }
    if (fd < 0) {
        const int error = errno;
        *errorText = systemText(error);
        return error == ENOENT ? OpenResult::Missing : OpenResult::Unreadable;
    }
    struct stat opened {};
    if (::fstat(fd, &opened) == 0) {
        m_device = opened.st_dev;
        m_inode = opened.st_ino;
    }
    m_fd = fd;
    return OpenResult::Ok;
}

void TableFile::close() {
    if (m_fd >= 0) FileIo::current().close(m_fd);
    m_fd = -1;
    m_readOnly = false;
}

qint64 TableFile::size() const {
    struct stat st {};
    if (::fstat(m_fd, &st) != 0)
        throw FileIoError(QStringLiteral("Die Größe der Tabelle \"%1\" kann nicht ermittelt werden (%2).")
                              .arg(m_fileName, systemText(errno)));
    return st.st_size;
}

bool TableFile::readAll(QByteArray* bytes, QString* errorText) {
    struct stat st {};
    if (::fstat(m_fd, &st) != 0) {
        *errorText = systemText(errno);
        return false;
    }
    QByteArray buffer;
    buffer.resize(qsizetype(st.st_size));
    qint64 done = 0;
    while (done < buffer.size()) {
        const ssize_t n = FileIo::current().pread(m_fd, buffer.data() + done, size_t(buffer.size() - done), off_t(done));
        if (n < 0) {
            if (errno == EINTR) continue;
            *errorText = systemText(errno);
            return false;
        }
        if (n == 0) break;  // shrank while reading: take what is there
        done += n;
    }
    buffer.truncate(qsizetype(done));
    *bytes = std::move(buffer);
    return true;
}

void TableFile::writeAt(qint64 offset, const char* data, qint64 length) {
    if (m_fd < 0 || m_readOnly)
        throw FileIoError(QStringLiteral("In die Tabelle „%1“ kann nicht geschrieben werden, sie ist nur zum Lesen "
                                         "geöffnet. Die Änderung wurde nicht gespeichert.")
                              .arg(m_fileName));
    qint64 done = 0;
    while (done < length) {
        const ssize_t n = FileIo::current().pwrite(m_fd, data + done, size_t(length - done), off_t(offset + done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            throw FileIoError(QStringLiteral("In die Tabelle „%1“ konnte nicht geschrieben werden; die letzte "
                                             "Änderung wurde nicht gespeichert. %2")
                                  .arg(m_fileName, SafeFile::reason(n < 0 ? errno : ENOSPC)));
        }
        done += n;
    }
}

void TableFile::truncate(qint64 length) {
    int result;
    do result = FileIo::current().ftruncate(m_fd, off_t(length));
    while (result != 0 && errno == EINTR);
    if (result != 0)
        throw FileIoError(QStringLiteral("Die Tabelle „%1“ konnte nicht auf ihre vorige Länge gekürzt werden. %2")
                              .arg(m_fileName, SafeFile::reason(errno)));
}

void TableFile::checkInPlace() const {
    struct stat open {};
    struct stat named {};
    const bool gone = ::fstat(m_fd, &open) != 0 || open.st_nlink == 0 ||
                      ::stat(QFile::encodeName(m_fileName).constData(), &named) != 0 || named.st_dev != m_device ||
                      named.st_ino != m_inode;
    if (gone)
        throw FileIoError(QStringLiteral("Die Tabelle „%1“ ist nicht mehr in ihrem Ordner: Der Datenordner oder die "
                                         "Datei wurde gelöscht, verschoben oder ersetzt. Die letzte Änderung wurde "
                                         "nicht gespeichert. Stellen Sie den Datenordner wieder her und starten Sie "
                                         "das Programm neu.")
                              .arg(m_fileName));
}
