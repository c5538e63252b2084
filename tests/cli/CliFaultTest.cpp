// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <unistd.h>

#include "CliFixture.h"
#include "support/TestSupport.h"

namespace {

// A data folder the user may read but not write (a colleague's folder, a write-protected share): reports
// still come out of it, an import is refused with its reason and changes nothing. The commands run as a
// user without root's rights, since root writes everywhere.
TEST(CliFaultTest, WriteProtectedFolderGivesReportsButNoImport) {
    testsupport::TempFolder data;
    testsupport::TempFolder scratch;
    clitest::writeSampleYear(data.path(), 2, 2025);
    const QString records = data.file(QStringLiteral("records_2_2025.dbf"));
    const QByteArray before = testsupport::readFile(records);
    const auto readable = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup |
                          QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;
    ASSERT_TRUE(QFile::setPermissions(data.path(), geteuid() == 0 ? readable : readable & ~QFile::WriteOwner));
    ASSERT_TRUE(QFile::setPermissions(scratch.path(), readable | QFile::WriteGroup | QFile::WriteOther));
    const QString csv = scratch.file(QStringLiteral("neu.csv"));
    testsupport::writeFile(csv, "01.03.2025;E;9;Neu;10;19;0\r\n");
    QFile::setPermissions(csv, readable);

    auto run = [&](const QString& command, const QStringList& options) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("LC_ALL"), QStringLiteral("de_DE.UTF-8"));
        env.insert(QStringLiteral("HOME"), scratch.path());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), scratch.file(QStringLiteral("config")));
        const QStringList args = QStringList{command, QStringLiteral("--datenordner"), data.path(),
                                             QStringLiteral("--mandant"), QStringLiteral("2"), QStringLiteral("--jahr"),
                                             QStringLiteral("2025")} +
                                 options;
        if (geteuid() != 0) return clitest::runQuorvel(args, env);
        // As "nobody": the program itself runs without root's rights.
        return clitest::runQuorvel(QStringList{QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                                               QStringLiteral("--clear-groups"), QStringLiteral("--"),
                                               QStringLiteral(QUORVEL_EXE)} + args,
                                   env, QStringLiteral("/usr/bin/setpriv"));
    };

    const QString pdf = scratch.file(QStringLiteral("liste.pdf"));
    const clitest::Run report =
        run(QStringLiteral("report"),
            {QStringLiteral("--bericht"), QStringLiteral("alle-buchungen"), QStringLiteral("--pdf"), pdf});
    EXPECT_EQ(report.exitCode, 0) << report.err.toStdString();
    EXPECT_TRUE(QFileInfo::exists(pdf));

    const clitest::Run import = run(QStringLiteral("import-csv"), {QStringLiteral("--datei"), csv,
                                                                   QStringLiteral("--erste-zeile-ueberlesen"),
                                                                   QStringLiteral("nein")});
    EXPECT_EQ(import.exitCode, 1);
    EXPECT_TRUE(import.err.contains(QStringLiteral("nicht beschreibbar"))) << import.err.toStdString();
    EXPECT_EQ(testsupport::readFile(records), before);
    QFile::setPermissions(data.path(), readable);
}

}  // namespace
