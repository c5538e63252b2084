// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <functional>

#include "ExchangeTestUtil.h"
#include "exchange/YearTransfer.h"
#include "support/WithoutRoot.h"

using testsupport::readFile;
using testsupport::TempFolder;

namespace {

void openSet(TableSet& set, const QString& folder, int mandant, int year) {
    set.setNames(mandant, year);
    const QStringList problems = set.InitDB(folder);
    ASSERT_TRUE(problems.isEmpty()) << problems.join(QLatin1Char('\n')).toStdString();
}

QStringList accountNames(DbfTable& accounts) {
    QStringList names;
    for (accounts.First(); !accounts.Eof(); accounts.Next()) names << accounts.Fields(1).AsString();
    return names;
}

const std::array<bool, 7> kAll{true, true, true, true, true, true, true};

QString tableFile(const QString& folder, int i, int mandant, int year) {
    return YearTransfer::tableFile(folder, YearTransfer::baseNames[size_t(i)], mandant, year);
}

TEST(YearTransfer, CopiesTheChosenTablesOfTheClientOnly) {
    TempFolder dir;
    {
        TableSet old;
        openSet(old, dir.path(), 1, 2013);
        old.EinnahmeKonten.Insert();
        old.EinnahmeKonten.Fields(0).setAsInteger(4711);
        old.EinnahmeKonten.Fields(1).setAsString(QStringLiteral("Honorare Ärzte"));
        old.EinnahmeKonten.Post();
        old.Dbf1.AppendRecord();  // bookings are never copied
        old.closeAll();
        TableSet other;
        openSet(other, dir.path(), 2, 2014);
        TableSet target;
        openSet(target, dir.path(), 1, 2014);
        target.MwstSaetze.Insert();
        target.MwstSaetze.Fields(0).setAsFloat(16);
        target.MwstSaetze.Post();
    }
    const QByteArray otherClient = readFile(tableFile(dir.path(), 0, 2, 2014));
    const QByteArray keptRates = readFile(tableFile(dir.path(), 2, 1, 2014));

    std::array<bool, 7> chosen = kAll;
    chosen[2] = false;  // MwSt-Sätze
    EXPECT_TRUE(YearTransfer::copyTables(dir.path(), 1, 2013, 2014, chosen).empty());

    TableSet reopened;
    openSet(reopened, dir.path(), 1, 2014);
    EXPECT_EQ(accountNames(reopened.EinnahmeKonten),
              (QStringList{QStringLiteral("Einnahmen 19% Umsatzsteuer"), QStringLiteral("Einnahmen 7% Umsatzsteuer"),
                           QStringLiteral("Honorare Ärzte")}));
    EXPECT_EQ(reopened.Dbf1.RecordCount(), 0);
    EXPECT_EQ(readFile(tableFile(dir.path(), 2, 1, 2014)), keptRates);
    EXPECT_EQ(readFile(tableFile(dir.path(), 0, 2, 2014)), otherClient);
    EXPECT_EQ(readFile(tableFile(dir.path(), 0, 1, 2014)), readFile(tableFile(dir.path(), 0, 1, 2013)));
    QStringList leftovers = QDir(dir.path()).entryList({QStringLiteral("*.tmp")}, QDir::Files | QDir::Hidden);
    EXPECT_TRUE(leftovers.isEmpty());
}

TEST(YearTransfer, MissingSourceYearNamesEveryFileAndKeepsTheTargets) {
    TempFolder dir;
    {
        TableSet target;
        openSet(target, dir.path(), 1, 2015);
    }
    std::vector<QByteArray> before;
    for (int i = 0; i < 7; ++i) before.push_back(readFile(tableFile(dir.path(), i, 1, 2015)));

    const auto failures = YearTransfer::copyTables(dir.path(), 1, 2012, 2015, kAll);
    ASSERT_EQ(failures.size(), 7u);
    EXPECT_EQ(failures[0].message(), QStringLiteral("Konnte die Datei ") + dir.path() +
                                         QStringLiteral("eaccounts_1_2012.dbf nicht nach ") + dir.path() +
                                         QStringLiteral("eaccounts_1_2015.dbf kopieren!"));
    EXPECT_TRUE(failures[6].message().contains(QStringLiteral("kaccounts_1_2012.dbf")));
    for (int i = 0; i < 7; ++i) EXPECT_EQ(readFile(tableFile(dir.path(), i, 1, 2015)), before[size_t(i)]) << i;
}

void writeProtectedTargetFileIsReportedAndKept() {
    TempFolder dir;
    {
        TableSet a;
        openSet(a, dir.path(), 1, 2013);
        a.closeAll();
        TableSet b;
        openSet(b, dir.path(), 1, 2014);
    }
    const QString target = tableFile(dir.path(), 0, 1, 2014);
    const QByteArray before = readFile(target);
    QFile::setPermissions(target, QFileDevice::ReadOwner);
    std::array<bool, 7> only{true, false, false, false, false, false, false};
    const auto failures = YearTransfer::copyTables(dir.path(), 1, 2013, 2014, only);
    ASSERT_EQ(failures.size(), 1u);
    // Said of the file, not of its folder.
    EXPECT_TRUE(failures[0].reason.contains(QStringLiteral("Die Datei ist nicht beschreibbar")));
    EXPECT_TRUE(YearTransfer::failuresText(failures).contains(QStringLiteral("Einnahmekonten: Konnte die Datei")));
    EXPECT_EQ(readFile(target), before);
}

TEST(YearTransfer, WriteProtectedTargetFileIsReportedAndKept) {
    testsupport::runWithoutRoot(writeProtectedTargetFileIsReportedAndKept);
}

TEST(YearTransfer, ReadOnlyFolderIsReportedAndKept) {
    exchangetest::SmallTmpfs disk(1024);
    if (!disk.mounted()) GTEST_SKIP() << "needs root and permission to mount a small tmpfs";
    const QString folder = disk.path() + QLatin1Char('/');
    {
        TableSet a;
        openSet(a, folder, 1, 2013);
        a.closeAll();
        TableSet b;
        openSet(b, folder, 1, 2014);
    }
    const QByteArray before = readFile(tableFile(folder, 0, 1, 2014));
    ASSERT_TRUE(disk.makeReadOnly());
    const auto failures = YearTransfer::copyTables(folder, 1, 2013, 2014, kAll);
    EXPECT_EQ(failures.size(), 7u);
    EXPECT_EQ(readFile(tableFile(folder, 0, 1, 2014)), before);
}

TEST(YearTransfer, FullDiskIsAFailureAndLeavesTheTargetWhole) {
    exchangetest::SmallTmpfs disk(160);
    if (!disk.mounted()) GTEST_SKIP() << "needs root and permission to mount a small tmpfs";
    const QString folder = disk.path() + QLatin1Char('/');
    {
        TableSet a;
        openSet(a, folder, 1, 2013);
        for (int i = 0; i < 1000; ++i) {  // about 70 KB of income accounts
            a.EinnahmeKonten.Insert();
            a.EinnahmeKonten.Fields(0).setAsInteger(i + 10);
            a.EinnahmeKonten.Fields(1).setAsString(QStringLiteral("Konto %1").arg(i));
            a.EinnahmeKonten.Post();
        }
        a.closeAll();
        TableSet b;
        openSet(b, folder, 1, 2014);
    }
    // Fill the disk so that the copy cannot be complete.
    QFile filler(folder + QStringLiteral("filler"));
    ASSERT_TRUE(filler.open(QIODevice::WriteOnly));
    const QByteArray block(4096, 'x');
    while (filler.write(block) == block.size() && filler.flush()) {
    }
    filler.close();
    QFile::resize(filler.fileName(), filler.size() - 40 * 1024);  // room for small tables, not for the big one

    const QByteArray before = readFile(tableFile(folder, 0, 1, 2014));
    const auto failures = YearTransfer::copyTables(folder, 1, 2013, 2014, kAll);
    ASSERT_GE(failures.size(), 1u);
    EXPECT_TRUE(failures[0].message().contains(QStringLiteral("eaccounts_1_2013.dbf")));
    EXPECT_FALSE(failures[0].reason.isEmpty());
    EXPECT_EQ(readFile(tableFile(folder, 0, 1, 2014)), before);
    EXPECT_EQ(readFile(tableFile(folder, 1, 1, 2014)), readFile(tableFile(folder, 1, 1, 2013)));  // small one copied
    EXPECT_TRUE(QDir(folder).entryList({QStringLiteral("*.tmp")}, QDir::Files | QDir::Hidden).isEmpty());
}

TEST(YearTransfer, QuestionNamesTheYearsAsEntered) {
    EXPECT_EQ(YearTransfer::questionText(2013, 2014),
              QStringLiteral("Wollen Sie die Einstellungen aus dem Jahr 2013 wirklich ins Jahr 2014 übernehmen? "
                             "Bestehende Einstellungen im Jahr 2014 gehen dabei verloren."));
}

}  // namespace
