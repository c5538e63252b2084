// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/WithoutRoot.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>
#include <grp.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QByteArray>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace testsupport {

namespace {

struct Account {
    uid_t uid = 65534;
    gid_t gid = 65534;
};

Account unprivilegedAccount() {
    Account account;
    if (const passwd* entry = ::getpwnam("nobody")) {
        account.uid = entry->pw_uid;
        account.gid = entry->pw_gid;
    }
    return account;
}

std::string errnoText() {
    return std::strerror(errno);
}

// Gives up root for good; the reason when that is not possible.
std::string dropRoot(const Account& account) {
    if (::setgroups(0, nullptr) != 0) return "setgroups: " + errnoText();
    if (::setgid(account.gid) != 0) return "setgid: " + errnoText();
    if (::setuid(account.uid) != 0) return "setuid: " + errnoText();
    if (::geteuid() == 0 || ::getegid() == 0) return "still root after setuid";
    if (::setuid(0) == 0) return "root could be taken back";
    return {};
}

void setVariable(const char* name, const QByteArray& value) {
    ::setenv(name, value.constData(), 1);
}

// One test part result, as the child hands it to the parent.
struct Part {
    int type = 0;
    int line = -1;
    QByteArray file;
    QByteArray message;
};

QByteArray encode(const std::vector<Part>& parts) {
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    for (const Part& part : parts) out << qint32(part.type) << qint32(part.line) << part.file << part.message;
    return bytes;
}

std::vector<Part> decode(const QByteArray& bytes) {
    std::vector<Part> parts;
    QDataStream in(bytes);
    while (!in.atEnd()) {
        qint32 type = 0;
        qint32 line = 0;
        Part part;
        in >> type >> line >> part.file >> part.message;
        if (in.status() != QDataStream::Ok) {
            parts.push_back({int(::testing::TestPartResult::kFatalFailure), -1, {},
                             "the child's report is cut off (" + QByteArray::number(bytes.size()) + " bytes)"});
            break;
        }
        part.type = type;
        part.line = line;
        parts.push_back(part);
    }
    return parts;
}

bool writeAll(int fd, const QByteArray& bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += n;
    }
    return true;
}

QByteArray readAll(int fd) {
    QByteArray bytes;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        bytes.append(buffer, n);
    }
    return bytes;
}

// The child: gives up root, runs the body with its results intercepted, sends them, ends.
[[noreturn]] void runChild(int fd, const Account& account, const QByteArray& scratch,
                           const std::function<void()>& body) {
    std::vector<Part> parts;
    const std::string refused = dropRoot(account);
    if (!refused.empty()) {
        parts.push_back({int(::testing::TestPartResult::kSkip), __LINE__, __FILE__,
                         QByteArray("cannot give up root here (") + refused.c_str() + ")"});
        writeAll(fd, encode(parts));
        ::_exit(0);
    }
    setVariable("TMPDIR", scratch);
    setVariable("HOME", scratch);
    setVariable("XDG_CONFIG_HOME", scratch + "/.config");
    setVariable("XDG_DATA_HOME", scratch + "/.local/share");
    setVariable("XDG_CACHE_HOME", scratch + "/.cache");
    setVariable("XDG_RUNTIME_DIR", scratch);

    ::testing::TestPartResultArray results;
    {
        ::testing::ScopedFakeTestPartResultReporter reporter(
            ::testing::ScopedFakeTestPartResultReporter::INTERCEPT_ALL_THREADS, &results);
        try {
            body();
        } catch (const std::exception& e) {
            ADD_FAILURE() << "exception in the part run without root: " << e.what();
        } catch (...) {
            ADD_FAILURE() << "unknown exception in the part run without root";
        }
    }
    for (int i = 0; i < results.size(); ++i) {
        const ::testing::TestPartResult& result = results.GetTestPartResult(i);
        if (result.type() == ::testing::TestPartResult::kSuccess) continue;
        parts.push_back({int(result.type()), result.line_number(), QByteArray(result.file_name() ? result.file_name() : ""),
                         QByteArray(result.message())});
    }
    std::fflush(nullptr);
    ::_exit(writeAll(fd, encode(parts)) ? 0 : 2);
}

}  // namespace

bool withoutRoot() {
    return ::geteuid() != 0;
}

void runWithoutRoot(const std::function<void()>& body) {
    if (withoutRoot()) {
        body();
        return;
    }
    const Account account = unprivilegedAccount();
    QByteArray scratch = QFile::encodeName(QDir::tempPath()) + "/quorvel-without-root-XXXXXX";
    if (!::mkdtemp(scratch.data())) FAIL() << "no scratch folder: " << errnoText();
    const auto removeScratch = [&] { QDir(QFile::decodeName(scratch)).removeRecursively(); };
    if (::chown(scratch.constData(), account.uid, account.gid) != 0 || ::chmod(scratch.constData(), 0700) != 0) {
        removeScratch();
        FAIL() << "cannot hand the scratch folder to the unprivileged user: " << errnoText();
    }
    int fds[2];
    if (::pipe(fds) != 0) {
        removeScratch();
        FAIL() << "pipe: " << errnoText();
    }
    std::fflush(nullptr);  // nothing buffered may be written twice
    const pid_t child = ::fork();
    if (child < 0) {
        ::close(fds[0]);
        ::close(fds[1]);
        removeScratch();
        FAIL() << "fork: " << errnoText();
    }
    if (child == 0) {
        ::close(fds[0]);
        runChild(fds[1], account, scratch, body);
    }
    ::close(fds[1]);
    const QByteArray report = readAll(fds[0]);
    ::close(fds[0]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    removeScratch();

    if (WIFSIGNALED(status)) {
        ADD_FAILURE() << "the part run without root ended with signal " << WTERMSIG(status) << " ("
                      << strsignal(WTERMSIG(status)) << ")";
    } else if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        ADD_FAILURE() << "the part run without root ended with exit code " << WEXITSTATUS(status);
    }
    bool skipped = false;
    std::string skipMessage;
    for (const Part& part : decode(report)) {
        const auto type = ::testing::TestPartResult::Type(part.type);
        if (type == ::testing::TestPartResult::kSkip) {
            skipped = true;
            skipMessage = part.message.toStdString();
            continue;
        }
        // Reported where the child's assertion stands, as if it had run here.
        ::testing::internal::AssertHelper(type, part.file.isEmpty() ? nullptr : part.file.constData(), part.line,
                                          part.message.constData()) = ::testing::Message();
    }
    if (skipped) GTEST_SKIP() << skipMessage;
}

}  // namespace testsupport
