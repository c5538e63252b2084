// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QLockFile>
#include <QProcess>
#include <QThread>
#include <iostream>

#include "startup/DataFolderLock.h"
#include "support/TestSupport.h"
#include "support/WithoutRoot.h"

using testsupport::TempFolder;

namespace {

const char* const childFolderVariable = "QUORVEL_LOCK_CHILD_FOLDER";

TEST(DataFolderLock, SecondHolderInTheSameProcessIsRefused) {
    TempFolder dir;
    DataFolderLock first;
    ASSERT_TRUE(first.tryLock(dir.path()));
    EXPECT_TRUE(first.isLocked());
    EXPECT_TRUE(QFile::exists(dir.file(QStringLiteral(".quorvel.lock"))));

    DataFolderLock second;
    EXPECT_FALSE(second.tryLock(dir.path()));
    EXPECT_FALSE(second.isLocked());
    EXPECT_TRUE(
        second.message().startsWith(QStringLiteral("Der Datenordner \"") + QDir::toNativeSeparators(dir.path())));
    EXPECT_TRUE(second.message().contains(QStringLiteral("von einem anderen laufenden Quorvel verwendet")));
    EXPECT_TRUE(second.heldByAnotherCopy());

    first.unlock();
    EXPECT_TRUE(second.tryLock(dir.path()));
    EXPECT_TRUE(second.message().isEmpty());
}

TEST(DataFolderLock, ReleasedWhenTheObjectDies) {
    TempFolder dir;
    {
        DataFolderLock lock;
        ASSERT_TRUE(lock.tryLock(dir.path()));
    }
    EXPECT_FALSE(QFile::exists(dir.file(QStringLiteral(".quorvel.lock"))));
    DataFolderLock again;
    EXPECT_TRUE(again.tryLock(dir.path()));
}

// Without a lock the program must not write: a folder where no lock file can be made is refused with
// the reason, but not as if another copy held it (the program then opens its tables read-only).
void aFolderWithoutRoomForALockIsNotLockedAndSaysWhy() {
    TempFolder dir;
    DataFolderLock lock;
    EXPECT_FALSE(lock.tryLock(dir.file(QStringLiteral("fehlt/"))));
    EXPECT_FALSE(lock.isLocked());
    EXPECT_FALSE(lock.heldByAnotherCopy());
    EXPECT_TRUE(lock.message().contains(QStringLiteral("der Ordner existiert nicht"))) << lock.message().toStdString();
    EXPECT_TRUE(lock.message().contains(QStringLiteral("nur zum Lesen geöffnet")));

    const QString readOnly = dir.file(QStringLiteral("nurlesen"));
    ASSERT_TRUE(QDir().mkpath(readOnly));
    ASSERT_TRUE(QFile::setPermissions(readOnly, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    QFile probe(readOnly + QStringLiteral("/probe"));
    if (probe.open(QIODevice::WriteOnly)) {
        probe.remove();
        QFile::setPermissions(readOnly, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        GTEST_SKIP() << "the file system ignores write protection here";
    }
    EXPECT_FALSE(lock.tryLock(readOnly));
    EXPECT_FALSE(lock.heldByAnotherCopy());
    EXPECT_TRUE(lock.message().contains(QStringLiteral("nicht beschreibbar"))) << lock.message().toStdString();
    QFile::setPermissions(readOnly, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

TEST(DataFolderLock, AFolderWithoutRoomForALockIsNotLockedAndSaysWhy) {
    testsupport::runWithoutRoot(aFolderWithoutRoomForALockIsNotLockedAndSaysWhy);
}

// Child mode: holds the lock of the folder named in the environment until it is killed.
TEST(DataFolderLockChild, HoldLockUntilKilled) {
    const QString folder = qEnvironmentVariable(childFolderVariable);
    if (folder.isEmpty()) GTEST_SKIP() << "runs only as the child of SecondProcessIsRefusedAndADeadOneIsNot";
    DataFolderLock lock;
    ASSERT_TRUE(lock.tryLock(folder));
    std::cout << "LOCKED" << std::endl;
    for (;;) QThread::msleep(100);
}

TEST(DataFolderLock, SecondProcessIsRefusedAndADeadOneIsNot) {
    TempFolder dir;
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QString::fromLatin1(childFolderVariable), dir.path());
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=DataFolderLockChild.HoldLockUntilKilled")});
    ASSERT_TRUE(child.waitForStarted(10000));
    QByteArray out;
    while (!out.contains("LOCKED") && child.waitForReadyRead(10000)) out += child.readAllStandardOutput();
    ASSERT_TRUE(out.contains("LOCKED")) << out.constData();

    DataFolderLock lock;
    EXPECT_FALSE(lock.tryLock(dir.path()));
    EXPECT_FALSE(lock.message().isEmpty());

    // A killed holder leaves its lock file behind; it must not block the next start.
    child.kill();
    ASSERT_TRUE(child.waitForFinished(10000));
    EXPECT_TRUE(QFile::exists(dir.file(QStringLiteral(".quorvel.lock"))));
    EXPECT_TRUE(lock.tryLock(dir.path()));
    EXPECT_TRUE(lock.isLocked());
}

}  // namespace
