// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include "startup/DataFolder.h"
#include "support/TestSupport.h"

using testsupport::TempFolder;

namespace {

TEST(DataFolder, ProgramFolderIsTheExecutablesFolderWithSeparator) {
    const QString folder = DataFolder::programFolder();
    EXPECT_TRUE(folder.endsWith(QLatin1Char('/')));
    EXPECT_EQ(folder, QCoreApplication::applicationDirPath() + QLatin1Char('/'));
}

TEST(DataFolder, GetProgramDirIsBelowTheUserDataFolderAndCreatedOnRequest) {
    TempFolder home;
    const QByteArray previous = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", home.path().toLocal8Bit());
    const QString expected = home.path() + QStringLiteral("ZAN-TOR/Quorvel/");

    EXPECT_EQ(DataFolder::GetProgramDir(false, QStringLiteral("/fallback/")), expected);
    EXPECT_FALSE(QDir(expected).exists());
    EXPECT_EQ(DataFolder::GetProgramDir(true, QStringLiteral("/fallback/")), expected);
    EXPECT_TRUE(QDir(expected).exists());

    qputenv("XDG_DATA_HOME", previous);
}

TEST(DataFolder, GetProgramDirIgnoresAFolderThatCannotBeCreated) {
    TempFolder home;
    testsupport::writeFile(home.file(QStringLiteral("ZAN-TOR")), QByteArray("im Weg"));
    const QByteArray previous = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", home.path().toLocal8Bit());
    EXPECT_EQ(DataFolder::GetProgramDir(true, QString()), home.path() + QStringLiteral("ZAN-TOR/Quorvel/"));
    qputenv("XDG_DATA_HOME", previous);
}

// A relative XDG_DATA_HOME is invalid by the XDG rules; the folder would otherwise depend on the
// working directory (for the address file and the lock) and on the program folder (for the tables).
TEST(DataFolder, GetProgramDirIgnoresARelativeUserDataSetting) {
    const QByteArray previous = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", "relativ/daten");
    const QString folder = DataFolder::GetProgramDir(false, QStringLiteral("/fallback/"));
    EXPECT_EQ(folder, QDir::homePath() + QStringLiteral("/.local/share/ZAN-TOR/Quorvel/"));
    qputenv("XDG_DATA_HOME", previous);
}

TEST(DataFolder, WriteTestCreatesAndRemovesTestDat) {
    TempFolder dir;
    EXPECT_TRUE(DataFolder::writeTest(dir.path()));
    EXPECT_FALSE(QFile::exists(dir.file(QStringLiteral("test.dat"))));
    // Without a trailing separator as well.
    EXPECT_TRUE(DataFolder::writeTest(dir.path().chopped(1)));
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
}

TEST(DataFolder, WriteTestFailsWhereNothingCanBeCreated) {
    TempFolder dir;
    testsupport::writeFile(dir.file(QStringLiteral("datei")), QByteArray("x"));
    EXPECT_FALSE(DataFolder::writeTest(dir.file(QStringLiteral("datei/"))));
    EXPECT_FALSE(DataFolder::writeTest(dir.file(QStringLiteral("fehlt/"))));
}

struct SeparatorCase {
    const char* text;
    const char* expected;
};

void PrintTo(const SeparatorCase& c, std::ostream* os) {
    *os << c.text;
}

class DataFolderSeparator : public ::testing::TestWithParam<SeparatorCase> {};

TEST_P(DataFolderSeparator, AppendsOnlyWhenNeeded) {
    EXPECT_EQ(DataFolder::withTrailingSeparator(QString::fromUtf8(GetParam().text)),
              QString::fromUtf8(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(Texts, DataFolderSeparator,
                         ::testing::Values(SeparatorCase{"", ""}, SeparatorCase{"/daten", "/daten/"},
                                           SeparatorCase{"/daten/", "/daten/"},
                                           SeparatorCase{"D:\\Daten", "D:\\Daten/"},
                                           SeparatorCase{"D:\\Daten\\", "D:\\Daten\\"}));

TEST(DataFolder, ResolveTakesRelativeTextsFromTheProgramFolder) {
    const QString program = DataFolder::programFolder();
    EXPECT_EQ(DataFolder::resolve(QString()), program);
    EXPECT_EQ(DataFolder::resolve(QStringLiteral("daten")), program + QStringLiteral("daten/"));
    EXPECT_EQ(DataFolder::resolve(QStringLiteral("/srv/daten")), QStringLiteral("/srv/daten/"));
    EXPECT_EQ(DataFolder::resolve(QStringLiteral("/srv/daten/")), QStringLiteral("/srv/daten/"));
}

// Blanks typed or pasted around the folder text are not part of a folder name: with a leading blank
// an absolute folder would silently become one below the program folder.
TEST(DataFolder, ResolveIgnoresBlanksAroundTheTextAndKnowsTheHomeFolder) {
    const QString program = DataFolder::programFolder();
    EXPECT_EQ(DataFolder::resolve(QStringLiteral(" /srv/daten ")), QStringLiteral("/srv/daten/"));
    EXPECT_EQ(DataFolder::resolve(QStringLiteral("\t/srv/daten\n")), QStringLiteral("/srv/daten/"));
    EXPECT_EQ(DataFolder::resolve(QStringLiteral("   ")), program);
    EXPECT_EQ(DataFolder::resolve(QStringLiteral(" daten ")), program + QStringLiteral("daten/"));
    EXPECT_EQ(DataFolder::resolve(QStringLiteral("~/Buchhaltung")), QDir::homePath() + QStringLiteral("/Buchhaltung/"));
    EXPECT_EQ(DataFolder::resolve(QStringLiteral("~")), QDir::homePath() + QStringLiteral("/"));
    EXPECT_EQ(DataFolder::resolve(QStringLiteral("daten/../x/./y")), program + QStringLiteral("x/y/"));
}

TEST(DataFolder, DecideFollowsTheChoice) {
    TempFolder home;
    const QByteArray previous = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", home.path().toLocal8Bit());

    DataFolder::Choice user;
    const DataFolder::Decision d1 = DataFolder::decide(user);
    EXPECT_EQ(d1.folder, home.path() + QStringLiteral("ZAN-TOR/Quorvel/"));
    EXPECT_TRUE(QDir(d1.folder).exists());
    EXPECT_FALSE(d1.switchedToUserFolder);

    DataFolder::Choice special;
    special.userFolder = false;
    special.specialFolder = true;
    special.directoryText = QStringLiteral("/srv/Daten");
    EXPECT_EQ(DataFolder::decide(special).folder, QStringLiteral("/srv/Daten/"));

    // The program folder stays chosen while it can be written, else the per-user folder takes over.
    const bool writable = DataFolder::writeTest(DataFolder::programFolder());
    DataFolder::Choice program;
    program.userFolder = false;
    program.programFolder = true;
    const DataFolder::Decision d3 = DataFolder::decide(program);
    EXPECT_EQ(d3.folder, writable ? DataFolder::programFolder() : d1.folder);
    EXPECT_EQ(d3.switchedToUserFolder, !writable);
    EXPECT_FALSE(QFile::exists(DataFolder::programFolder() + QStringLiteral("test.dat")));

    qputenv("XDG_DATA_HOME", previous);
}

}  // namespace
