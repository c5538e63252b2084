#include "exchange/SafeFileWriter.h"

#include <QFileInfo>
#include <QTemporaryFile>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {

QString systemReason(int error) {
    if (error == ENOSPC) return QStringLiteral("Auf dem Datenträger ist nicht genug Platz.");
    if (error == EACCES || error == EPERM || error == EROFS)
        return QStringLiteral("Die Datei oder ihr Ordner ist schreibgeschützt.");
    if (error == ENOENT) return QStringLiteral("Der Ordner der Datei existiert nicht.");
    return QString::fromLocal8Bit(std::strerror(error));
}

}  // namespace

SafeFileWriter::SafeFileWriter(QString target) : m_target(std::move(target)) {}

SafeFileWriter::~SafeFileWriter() {
    if (m_temp && !m_committed) m_temp->remove();
}

bool SafeFileWriter::fail(const QString& reason) {
    m_failed = true;
    if (m_error.isEmpty()) m_error = reason;
    if (m_temp) {
        m_temp->close();
        m_temp->remove();
    }
    return false;
}

bool SafeFileWriter::open() {
    const QFileInfo info(m_target);
    if (info.exists() && !info.isWritable()) return fail(QStringLiteral("Die Datei ist schreibgeschützt."));
    m_temp = std::make_unique<QTemporaryFile>(info.absolutePath() + QLatin1Char('/') + info.fileName() +
                                              QStringLiteral(".XXXXXX.tmp"));
    m_temp->setAutoRemove(false);
    errno = 0;
    if (!m_temp->open()) {
        const int error = errno;
        return fail(error ? systemReason(error) : m_temp->errorString());
    }
    // The file gets the rights of the one it replaces, or the usual ones of a new file.
    const QFileDevice::Permissions rights = info.exists() ? QFile::permissions(m_target)
                                                          : QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                                QFileDevice::ReadGroup | QFileDevice::ReadOther;
    m_temp->setPermissions(rights | QFileDevice::WriteOwner);
    return true;
}

bool SafeFileWriter::write(const char* data, qint64 length) {
    if (m_failed || !m_temp) return false;
    qint64 done = 0;
    while (done < length) {
        errno = 0;
        const qint64 n = m_temp->write(data + done, length - done);
        if (n <= 0) {
            const int error = errno;
            return fail(error ? systemReason(error) : m_temp->errorString());
        }
        done += n;
    }
    return true;
}

bool SafeFileWriter::commit() {
    if (m_failed || !m_temp) return false;
    errno = 0;
    if (!m_temp->flush()) return fail(errno ? systemReason(errno) : m_temp->errorString());
#ifdef Q_OS_UNIX
    if (::fsync(m_temp->handle()) != 0) return fail(systemReason(errno));
#endif
    m_temp->close();
    if (m_temp->error() != QFileDevice::NoError) return fail(m_temp->errorString());
    std::error_code ec;
    std::filesystem::rename(std::filesystem::path(m_temp->fileName().toStdU16String()),
                            std::filesystem::path(m_target.toStdU16String()), ec);
    if (ec) return fail(systemReason(ec.value()));
    m_committed = true;
    return true;
}
