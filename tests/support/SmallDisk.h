// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QTemporaryDir>

namespace testsupport {

// A small tmpfs of its own, for tests of a full disk. Mounting needs root; when it fails, ok() is false
// and skipReason() says why (the test skips). The file system is unmounted with the object.
class SmallDisk {
public:
    explicit SmallDisk(int kilobytes);
    ~SmallDisk();
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool ok() const { return m_mounted; }
    const QString& skipReason() const { return m_reason; }
    QString path() const;  // ends in '/'
    QString file(const QString& name) const { return path() + name; }

    // Fills the disk up to the last byte with a filler file; freeSpace() removes it again.
    void fill();
    void freeSpace();

private:
    QTemporaryDir m_mountPoint;
    bool m_mounted = false;
    QString m_reason;
};

}  // namespace testsupport
