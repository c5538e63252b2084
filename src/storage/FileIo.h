// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <sys/types.h>

// The system calls through which the table files and every saved file are read and written. The program
// uses the system's own; a test puts in calls that fail at a chosen point (after so many bytes, on the
// flush to the disk, on the rename, on opening), so that every failure path runs for every user on every
// machine, without a full disk or a second user account.
//
// Each call keeps its POSIX contract: a negative result means failure with the reason in errno; a write
// may take fewer bytes than asked.
class FileIo {
public:
    virtual ~FileIo() = default;

    virtual int open(const char* path, int flags, mode_t mode);
    virtual int close(int fd);
    virtual ssize_t pread(int fd, void* buffer, size_t count, off_t offset);
    virtual ssize_t pwrite(int fd, const void* data, size_t count, off_t offset);
    virtual ssize_t write(int fd, const void* data, size_t count);
    virtual int fsync(int fd);
    virtual int ftruncate(int fd, off_t length);
    virtual int rename(const char* from, const char* to);
    virtual int unlink(const char* path);

    // The calls in use.
    static FileIo& current();
    // Makes `io` the calls in use for the whole process (nullptr: the system's own) and returns the
    // previous ones. For tests; the program never changes them.
    static FileIo* install(FileIo* io);
};
