// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/SmallDisk.h"

#include <sys/mount.h>
#include <unistd.h>

#include <QFile>
#include <cerrno>
#include <cstring>

namespace testsupport {

SmallDisk::SmallDisk(int kilobytes) {
    if (!m_mountPoint.isValid()) {
        m_reason = QStringLiteral("no temporary folder");
        return;
    }
    const QByteArray options = "size=" + QByteArray::number(kilobytes) + "k,mode=0777";
    if (::mount("tmpfs", QFile::encodeName(m_mountPoint.path()).constData(), "tmpfs", 0, options.constData()) != 0) {
        m_reason = QStringLiteral("cannot mount a small tmpfs (%1); needs root")
                       .arg(QString::fromLocal8Bit(std::strerror(errno)));
        return;
    }
    m_mounted = true;
}

SmallDisk::~SmallDisk() {
    if (m_mounted) ::umount2(QFile::encodeName(m_mountPoint.path()).constData(), MNT_DETACH);
}

QString SmallDisk::path() const {
    return m_mountPoint.path() + QLatin1Char('/');
}

void SmallDisk::fill() {
    QFile filler(file(QStringLiteral("filler.bin")));
    if (!filler.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)) return;
    const QByteArray block(4096, 'x');
    while (filler.write(block) == block.size()) {
    }
    // The last partial block.
    while (filler.write("x", 1) == 1) {
    }
}

void SmallDisk::freeSpace() {
    QFile::remove(file(QStringLiteral("filler.bin")));
}

}  // namespace testsupport
