// SPDX-License-Identifier: GPL-3.0-or-later
#include "storage/FileIo.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>

namespace {

FileIo& systemIo() {
    static FileIo io;
    return io;
}

std::atomic<FileIo*> installed{nullptr};

}  // namespace

int FileIo::open(const char* path, int flags, mode_t mode) {
    return ::open(path, flags, mode);
}

int FileIo::close(int fd) {
    return ::close(fd);
}

ssize_t FileIo::pread(int fd, void* buffer, size_t count, off_t offset) {
    return ::pread(fd, buffer, count, offset);
}

ssize_t FileIo::pwrite(int fd, const void* data, size_t count, off_t offset) {
    return ::pwrite(fd, data, count, offset);
}

ssize_t FileIo::write(int fd, const void* data, size_t count) {
    return ::write(fd, data, count);
}

int FileIo::fsync(int fd) {
    return ::fsync(fd);
}

int FileIo::ftruncate(int fd, off_t length) {
    return ::ftruncate(fd, length);
}

int FileIo::rename(const char* from, const char* to) {
    return std::rename(from, to);
}

int FileIo::unlink(const char* path) {
    return ::unlink(path);
}

FileIo& FileIo::current() {
    FileIo* io = installed.load(std::memory_order_acquire);
    return io ? *io : systemIo();
}

FileIo* FileIo::install(FileIo* io) {
    FileIo* previous = installed.exchange(io, std::memory_order_acq_rel);
    return previous;
}
