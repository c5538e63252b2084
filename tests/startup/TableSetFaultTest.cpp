// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "journal/Posting.h"
#include "startup/AddressFile.h"
#include "startup/TableSet.h"
#include "storage/DbfField.h"
#include "storage/StorageError.h"
#include "support/SmallDisk.h"
#include "support/TestSupport.h"

using testsupport::readFile;
using testsupport::SmallDisk;
using testsupport::TempFolder;
using testsupport::writeFile;

namespace {

// Rows each table of a fresh set holds.
const std::pair<const char*, int> defaultRows[] = {
    {"records_1_2026.dbf", 0},    {"dauerbuchungen_1_2026.dbf", 1}, {"eaccounts_1_2026.dbf", 2},
    {"aaccounts_1_2026.dbf", 1},  {"saccounts_1_2026.dbf", 2},      {"kaccounts_1_2026.dbf", 2},
    {"mwstsaetze_1_2026.dbf", 3}, {"buchungstexte_1_2026.dbf", 2},
};

// Every table file present in `folder` opens and holds all its default rows.
void expectOnlyCompleteTables(const QString& folder) {
    for (const auto& [name, rows] : defaultRows) {
        const QString file = QString::fromLatin1(name);
        if (!QFileInfo::exists(folder + file)) continue;
        SCOPED_TRACE(name);
        DbfTable t;
        t.setFilePath(folder);
        t.setTableName(file);
        ASSERT_NO_THROW(t.Open());
        EXPECT_EQ(t.RecordCount(), rows);
    }
}

// A year switch on a full disk: a German message, and no empty or half-filled table that later
// openings would refuse or take for complete. Once there is room again, the year opens normally.
TEST(FullDiskYearSwitch, LeavesNoUnusableTablesAndWorksOnceThereIsRoom) {
    SmallDisk disk(256);
    if (!disk.ok()) GTEST_SKIP() << disk.skipReason().toStdString();
    disk.fill();
    TableSet set;
    set.setNames(1, 2026);
    try {
        set.InitDB(disk.path());
        FAIL() << "a table set was created on a full disk";
    } catch (const StorageError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("Der Datenträger ist voll"))) << e.message().toStdString();
    }
    set.closeAll();
    for (const QString& f : QDir(disk.path()).entryList(QDir::Files))
        EXPECT_TRUE(f == QLatin1String("filler.bin") || f.endsWith(QLatin1String(".dbf"))) << f.toStdString();
    expectOnlyCompleteTables(disk.path());

    disk.freeSpace();
    const QStringList messages = set.InitDB(disk.path());
    EXPECT_TRUE(messages.isEmpty()) << messages.join(QLatin1Char('\n')).toStdString();
    expectOnlyCompleteTables(disk.path());
    EXPECT_EQ(QDir(disk.path()).entryList(QDir::Files).size(), 9);  // with kontenzuordnung
}

// What a killed creation leaves (a part file with only some rows) is never taken for the table: the
// table is made anew, complete, and the part file is gone.
TEST(NewTables, APartFileOfAKilledCreationIsNotUsed) {
    TempFolder dir;
    {
        DbfTable part;
        part.setFilePath(dir.path());
        part.setTableName(QStringLiteral("mwstsaetze_1_2026.dbf.neu"));
        part.setFieldDefs(TableSet::vatRatesSchema());
        part.CreateTable();
        part.Open();
        part.Insert();
        part.Fields(0).setAsFloat(19);
        part.Post();
    }
    TableSet set;
    set.setNames(1, 2026);
    EXPECT_TRUE(set.InitDB(dir.path()).isEmpty());
    EXPECT_EQ(set.MwstSaetze.RecordCount(), 3);
    QStringList files = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
    EXPECT_EQ(files.size(), 9) << files.join(QLatin1Char(' ')).toStdString();
}

// Without the folder lock the set opens for reading only: nothing is created, every write is refused
// with the reason, the files stay byte for byte.
TEST(ReadOnlySet, OpensWhatExistsCreatesNothingAndRefusesWrites) {
    TempFolder dir;
    {
        TableSet first;
        first.setNames(1, 2026);
        ASSERT_TRUE(first.InitDB(dir.path()).isEmpty());
    }
    ASSERT_TRUE(QFile::remove(dir.file(QStringLiteral("buchungstexte_1_2026.dbf"))));
    const QByteArray rates = readFile(dir.file(QStringLiteral("mwstsaetze_1_2026.dbf")));

    TableSet set;
    set.setNames(1, 2026);
    set.setReadOnly(true, QStringLiteral("Grund und Abhilfe."));
    const QStringList messages = set.InitDB(dir.path());
    ASSERT_EQ(messages.size(), 1) << messages.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(messages[0].contains(QStringLiteral("buchungstexte_1_2026.dbf")));
    EXPECT_TRUE(messages[0].contains(QStringLiteral("nicht angelegt")));
    EXPECT_FALSE(QFile::exists(dir.file(QStringLiteral("buchungstexte_1_2026.dbf"))));
    EXPECT_FALSE(set.buchungstexte.Active());
    ASSERT_TRUE(set.MwstSaetze.Active());
    EXPECT_TRUE(set.MwstSaetze.isReadOnly());
    EXPECT_EQ(set.MwstSaetze.RecordCount(), 3);
    try {
        set.Dbf1.Insert();
        FAIL() << "insert without the lock";
    } catch (const StorageError& e) {
        EXPECT_TRUE(e.message().endsWith(QStringLiteral("Grund und Abhilfe."))) << e.message().toStdString();
    }
    set.MwstSaetze.First();
    EXPECT_THROW(set.MwstSaetze.Edit(), StorageError);
    EXPECT_EQ(readFile(dir.file(QStringLiteral("mwstsaetze_1_2026.dbf"))), rates);

    // With the lock back, the next opening writes again and creates what is missing.
    set.setReadOnly(false);
    EXPECT_TRUE(set.InitDB(dir.path()).isEmpty());
    EXPECT_FALSE(set.Dbf1.isReadOnly());
    EXPECT_EQ(set.buchungstexte.RecordCount(), 2);
}

// Posting a booking whose text the tables cannot hold: nothing is posted, no insert stays pending, and
// the message names the characters, so the entry panel keeps the text for correction.
TEST(PostingRefusal, TextWithCharactersTheTableCannotHoldPostsNothing) {
    TempFolder dir;
    TableSet set;
    set.setNames(1, 2026);
    ASSERT_TRUE(set.InitDB(dir.path()).isEmpty());
    const QByteArray before = readFile(dir.file(QStringLiteral("records_1_2026.dbf")));
    BookingEntry entry;
    entry.datum = 46000;
    entry.beleg = QStringLiteral("1");
    entry.text = QStringLiteral("Zug nach Łódź 🚆");
    entry.brutto = 119.5;
    entry.mwstIndex = 0;
    entry.kontoIndex = 0;
    try {
        postBooking(set.Dbf1, set.MwstSaetze, set.EinnahmeKonten, set.AusgabeKonten, set.Sammelkonten, set.kostenkonten,
                    entry);
        FAIL() << "posted";
    } catch (const ConversionError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Die Zeichen „Ł“, „ź“, „🚆“ können in dieser Tabelle nicht gespeichert "
                                              "werden. Bitte ändern Sie den Text."));
    }
    EXPECT_EQ(set.Dbf1.state(), DbfTable::State::Browse);
    EXPECT_EQ(set.Dbf1.RecordCount(), 0);
    EXPECT_EQ(readFile(dir.file(QStringLiteral("records_1_2026.dbf"))), before);

    entry.text = QStringLiteral("Zug nach Lodz");
    postBooking(set.Dbf1, set.MwstSaetze, set.EinnahmeKonten, set.AusgabeKonten, set.Sammelkonten, set.kostenkonten,
                entry);
    EXPECT_EQ(set.Dbf1.RecordCount(), 1);
}

// Saving the company address on a full disk keeps the previous file and says why.
TEST(FullDiskAddress, TheOldAddressStays) {
    SmallDisk disk(64);
    if (!disk.ok()) GTEST_SKIP() << disk.skipReason().toStdString();
    const QString name = disk.file(QStringLiteral("anschrift_1_.txt"));
    AddressFile::save(name, {QStringLiteral("Muster GmbH"), QStringLiteral("Hauptstraße 1")});
    const QByteArray before = readFile(name);
    disk.fill();
    QStringList many;
    for (int i = 0; i < 2000; ++i) many << QStringLiteral("Zeile %1 der neuen Anschrift").arg(i);
    try {
        AddressFile::save(name, many);
        FAIL() << "saved on a full disk";
    } catch (const QuorvelError& e) {
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("Die Firmenanschrift"))) << e.message().toStdString();
        EXPECT_TRUE(e.message().contains(QStringLiteral("Der Datenträger ist voll")));
    }
    EXPECT_EQ(readFile(name), before);
}

}  // namespace
