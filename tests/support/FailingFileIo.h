// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>
#include <cerrno>

#include "storage/FileIo.h"

namespace testsupport {

// File calls that fail where a test says, in place of the system's own for the lifetime of the object
// (KeePassXC's FailDevice, shapelib's SAHooks). Every fault is off unless set. Bytes are counted over all
// writes since the object was made.
struct IoFaults {
    qint64 room = -1;            // a disk with this many free bytes: growing a file takes from it, cutting
                                 // or removing one gives back; a write that does not fit stops with ENOSPC
    qint64 writeErrorAt = -1;    // the write that reaches this byte stops there and fails with writeError
    int writeError = EIO;
    bool writeErrorPersists = false;  // also every later write fails (else the device recovers)
    qint64 silentLossAt = -1;    // bytes from here on are reported written but never reach the file
    int openError = 0;           // every open for writing fails with this errno
    int fsyncError = 0;
    int renameError = 0;
    int truncateError = 0;
};

class FailingFileIo : public FileIo {
public:
    explicit FailingFileIo(const IoFaults& faults);
    ~FailingFileIo() override;
    FailingFileIo(const FailingFileIo&) = delete;
    FailingFileIo& operator=(const FailingFileIo&) = delete;

    int strikes() const { return m_strikes; }  // how often a fault struck
    qint64 written() const { return m_written; }

    int open(const char* path, int flags, mode_t mode) override;
    ssize_t pwrite(int fd, const void* data, size_t count, off_t offset) override;
    ssize_t write(int fd, const void* data, size_t count) override;
    int fsync(int fd) override;
    int ftruncate(int fd, off_t length) override;
    int rename(const char* from, const char* to) override;
    int unlink(const char* path) override;

private:
    ssize_t writeSome(int fd, const void* data, size_t count, off_t offset);
    int fail(int error);

    IoFaults m_faults;
    FileIo* m_previous = nullptr;
    qint64 m_written = 0;
    int m_strikes = 0;
    bool m_writeFailed = false;
};

}  // namespace testsupport
