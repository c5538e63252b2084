// SPDX-License-Identifier: GPL-3.0-or-later
// A process killed at every single write of a day's work (the log's creation, its entries, the table's
// records and counts), half-way through that write: on the next opening the bookings and the log agree.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QProcess>

#include "AuditTestUtil.h"
#include "audit/LogCheck.h"
#include "audit/LogReader.h"
#include "storage/FileIo.h"
#include "support/TestSupport.h"

using namespace audittest;
using testsupport::TempFolder;

namespace {

const char* const kFolderVariable = "QUORVEL_AUDIT_CRASH_FOLDER";
const char* const kKillVariable = "QUORVEL_AUDIT_CRASH_AT";

// The system's calls, except that write number `killAt` stops half-way and the process dies.
class KillingFileIo : public FileIo {
public:
    explicit KillingFileIo(int killAt) : m_killAt(killAt) { m_previous = FileIo::install(this); }
    ~KillingFileIo() override { FileIo::install(m_previous); }
    ssize_t pwrite(int fd, const void* data, size_t count, off_t offset) override {
        if (++m_writes == m_killAt) die(FileIo::pwrite(fd, data, count / 2, offset));
        return FileIo::pwrite(fd, data, count, offset);
    }
    ssize_t write(int fd, const void* data, size_t count) override {
        if (++m_writes == m_killAt) die(FileIo::write(fd, data, count / 2));
        return FileIo::write(fd, data, count);
    }

private:
    [[noreturn]] static void die(ssize_t) {
        ::kill(::getpid(), SIGKILL);
        for (;;) ::pause();
    }
    int m_killAt;
    int m_writes = 0;
    FileIo* m_previous = nullptr;
};

}  // namespace

// Runs only as the child of the test below: opens the year (creating its log) and works through a script.
TEST(ChangeLogCrash, ChildWriter) {
    const QByteArray folder = qgetenv(kFolderVariable);
    if (folder.isEmpty()) GTEST_SKIP() << "runs only as a child process";
    KillingFileIo io(qEnvironmentVariableIntValue(kKillVariable));
    Year year(QString::fromLocal8Bit(folder), 0);
    ASSERT_TRUE(year.log->problem().isEmpty()) << year.log->problem().toStdString();
    post(year.table, QStringLiteral("Erste"), 1);
    edit(year.table, 0, QStringLiteral("Altbestand geändert"));
    remove(year.table, 1);
    post(year.table, QStringLiteral("Zweite"), 2);
    year.log->note({QStringLiteral("Festschreibung"), -1, QStringLiteral("Januar festgeschrieben")});
    edit(year.table, 2, QStringLiteral("Erste geändert"));
}

TEST(ChangeLogCrash, KilledAtEveryWriteLeavesBothInStep) {
    int recovered = 0;
    int killAt = 1;
    for (;; ++killAt) {
        SCOPED_TRACE(killAt);
        TempFolder folder;
        { Year legacy(folder.path(), 2, false); }
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QString::fromLatin1(kFolderVariable), folder.path());
        env.insert(QString::fromLatin1(kKillVariable), QString::number(killAt));
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--gtest_filter=ChangeLogCrash.ChildWriter")});
        ASSERT_TRUE(child.waitForFinished(30000));
        const bool killed = child.exitStatus() == QProcess::CrashExit;
        if (!killed) ASSERT_EQ(child.exitCode(), 0) << child.readAllStandardOutput().toStdString();

        Year year(folder.path(), 0);
        ASSERT_TRUE(year.log->problem().isEmpty()) << year.log->problem().toStdString();
        recovered += year.log->recoveredEntries();
        audit::LogCheckResult r = audit::LogCheck::run(year.logFile(), year.bookingsFile());
        ASSERT_TRUE(r.ok()) << r.summary().toStdString();
        post(year.table, QStringLiteral("Nach dem Absturz"), 3);  // the year goes on
        r = audit::LogCheck::run(year.logFile(), year.bookingsFile());
        ASSERT_TRUE(r.ok()) << r.summary().toStdString();
        if (!killed) {
            EXPECT_EQ(r.entries, 1 + 6 + 1);  // the whole script ran
            break;
        }
    }
    EXPECT_GT(killAt, 15);
    EXPECT_GT(recovered, 0);  // some kills came between an entry and its change
}
