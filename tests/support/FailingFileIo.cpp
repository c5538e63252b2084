// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/FailingFileIo.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

namespace testsupport {

namespace {

qint64 sizeOf(int fd) {
    struct stat st {};
    return ::fstat(fd, &st) == 0 ? qint64(st.st_size) : 0;
}

qint64 sizeOf(const char* path) {
    struct stat st {};
    return ::stat(path, &st) == 0 && S_ISREG(st.st_mode) && st.st_nlink == 1 ? qint64(st.st_size) : 0;
}

}  // namespace

FailingFileIo::FailingFileIo(const IoFaults& faults) : m_faults(faults) {
    m_previous = FileIo::install(this);
}

FailingFileIo::~FailingFileIo() {
    FileIo::install(m_previous);
}

int FailingFileIo::fail(int error) {
    ++m_strikes;
    errno = error;
    return -1;
}

int FailingFileIo::open(const char* path, int flags, mode_t mode) {
    if (m_faults.openError != 0 && (flags & (O_WRONLY | O_RDWR | O_CREAT)) != 0) return fail(m_faults.openError);
    return FileIo::open(path, flags, mode);
}

// Decides how much of a write at `offset` reaches the file, writes it, and reports as the device would.
ssize_t FailingFileIo::writeSome(int fd, const void* data, size_t count, off_t offset) {
    qint64 take = qint64(count);
    if (m_faults.writeErrorAt >= 0) {
        if (m_writeFailed && m_faults.writeErrorPersists) return fail(m_faults.writeError);
        if (!m_writeFailed) {
            const qint64 left = m_faults.writeErrorAt - m_written;
            if (left <= 0) {
                m_writeFailed = true;
                return fail(m_faults.writeError);
            }
            take = std::min(take, left);
        }
    }
    const qint64 sizeBefore = sizeOf(fd);
    if (m_faults.room >= 0) {
        const qint64 grows = std::max<qint64>(0, qint64(offset) + take - sizeBefore);
        if (grows > m_faults.room) {
            take -= grows - m_faults.room;
            if (take <= 0) return fail(ENOSPC);
        }
    }
    qint64 stored = take;
    if (m_faults.silentLossAt >= 0 && m_written + take > m_faults.silentLossAt) {
        ++m_strikes;
        stored = std::max<qint64>(0, m_faults.silentLossAt - m_written);
    }
    if (stored > 0) {
        const ssize_t n = ::pwrite(fd, data, size_t(stored), offset);
        if (n < 0) return n;
        if (n < stored) take = n;
    }
    if (m_faults.room >= 0) m_faults.room -= std::max<qint64>(0, sizeOf(fd) - sizeBefore);
    m_written += take;
    return ssize_t(take);
}

ssize_t FailingFileIo::pwrite(int fd, const void* data, size_t count, off_t offset) {
    return writeSome(fd, data, count, offset);
}

ssize_t FailingFileIo::write(int fd, const void* data, size_t count) {
    const off_t offset = ::lseek(fd, 0, SEEK_CUR);
    if (offset < 0) return -1;
    const ssize_t n = writeSome(fd, data, count, offset);
    if (n > 0) ::lseek(fd, offset + n, SEEK_SET);
    return n;
}

int FailingFileIo::fsync(int fd) {
    if (m_faults.fsyncError != 0) return fail(m_faults.fsyncError);
    return FileIo::fsync(fd);
}

int FailingFileIo::ftruncate(int fd, off_t length) {
    if (m_faults.truncateError != 0) return fail(m_faults.truncateError);
    const qint64 before = sizeOf(fd);
    if (m_faults.room >= 0 && length > before && length - before > m_faults.room) return fail(ENOSPC);
    const int result = FileIo::ftruncate(fd, length);
    if (result == 0 && m_faults.room >= 0) m_faults.room += before - sizeOf(fd);
    return result;
}

int FailingFileIo::rename(const char* from, const char* to) {
    if (m_faults.renameError != 0) return fail(m_faults.renameError);
    const qint64 replaced = sizeOf(to);
    const int result = FileIo::rename(from, to);
    if (result == 0 && m_faults.room >= 0) m_faults.room += replaced;
    return result;
}

int FailingFileIo::unlink(const char* path) {
    const qint64 freed = sizeOf(path);
    const int result = FileIo::unlink(path);
    if (result == 0 && m_faults.room >= 0) m_faults.room += freed;
    return result;
}

}  // namespace testsupport
