// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "startup/BookingSchema.h"
#include "startup/TableSet.h"
#include "storage/StorageError.h"
#include "support/RawDbfWriter.h"
#include "support/TestSupport.h"
#include "support/WithoutRoot.h"

using testsupport::readFile;
using testsupport::TempFolder;
using testsupport::writeFile;

namespace {

int le16(const QByteArray& b, int at) {
    return quint8(b[at]) | (quint8(b[at + 1]) << 8);
}

struct FileFacts {
    const char* name;
    int headerLength;
    int recordLength;
    int records;
};

const FileFacts setOfClient1[] = {
    {"records_1_2026.dbf", 385, 189, 0},  {"dauerbuchungen_1_2026.dbf", 225, 127, 1},
    {"eaccounts_1_2026.dbf", 97, 70, 2},  {"aaccounts_1_2026.dbf", 97, 70, 1},
    {"saccounts_1_2026.dbf", 97, 70, 2},  {"kaccounts_1_2026.dbf", 97, 70, 2},
    {"mwstsaetze_1_2026.dbf", 65, 19, 3}, {"buchungstexte_1_2026.dbf", 65, 61, 2},
};

QStringList column(DbfTable& t, int field) {
    QStringList values;
    for (t.First(); !t.Eof(); t.Next()) values << t.Fields(field).AsString();
    return values;
}

TEST(TableSet, EmptyFolderGetsEightFilesWithExactLayoutAndDefaultRows) {
    TempFolder dir;
    TableSet set;
    set.setNames(1, 2026);
    const QStringList messages = set.InitDB(dir.path());
    EXPECT_TRUE(messages.isEmpty()) << messages.join(QLatin1Char('\n')).toStdString();

    QStringList files = QDir(dir.path()).entryList(QDir::Files);
    files.sort();
    EXPECT_EQ(files.size(), 9) << files.join(QLatin1Char(' ')).toStdString();
    for (const FileFacts& f : setOfClient1) {
        SCOPED_TRACE(f.name);
        const QByteArray b = readFile(dir.file(QString::fromLatin1(f.name)));
        ASSERT_GE(b.size(), 32);
        EXPECT_EQ(quint8(b[0]), 0x03);
        EXPECT_EQ(le16(b, 8), f.headerLength);
        EXPECT_EQ(le16(b, 10), f.recordLength);
        EXPECT_EQ(quint8(b[4]), f.records);
        EXPECT_EQ(quint8(b[28]), 0);  // no .mdx
        EXPECT_EQ(b.size(), f.headerLength + f.records * f.recordLength + 1);
        EXPECT_EQ(b.back(), char(0x1a));
    }
    for (DbfTable* t : set.tables()) EXPECT_TRUE(t->Active()) << t->TableName().toStdString();
    EXPECT_FALSE(set.Dbf2.Active());

    EXPECT_EQ(set.Dbf1.FieldCount(), 11);
    EXPECT_EQ(set.Dbf1.Fields(Booking::Sammelkonto).FieldName(), QStringLiteral("SAMMELKONT"));
    EXPECT_EQ(set.Dbf1.Fields(Booking::Kostenstelle).FieldName(), QStringLiteral("KOSTENSTEL"));
    EXPECT_EQ(set.EinnahmeKonten.Fields(1).FieldName(), QStringLiteral("BEZEICHNUN"));
    EXPECT_TRUE(set.Dbf1.IsEmpty());

    EXPECT_EQ(column(set.EinnahmeKonten, 0), (QStringList{QStringLiteral("0"), QStringLiteral("1")}));
    EXPECT_EQ(column(set.EinnahmeKonten, 1),
              (QStringList{QStringLiteral("Einnahmen 19% Umsatzsteuer"), QStringLiteral("Einnahmen 7% Umsatzsteuer")}));
    EXPECT_EQ(column(set.AusgabeKonten, 1), QStringList{QStringLiteral("Ausgaben")});
    EXPECT_EQ(column(set.Sammelkonten, 1),
              (QStringList{QStringLiteral("Nicht zugeordnet"), QStringLiteral("Sammelkonto 1")}));
    EXPECT_EQ(column(set.kostenkonten, 1),
              (QStringList{QStringLiteral("Nicht zugeordnet"), QStringLiteral("Kostenstelle 1")}));
    EXPECT_EQ(column(set.kostenkonten, 0), (QStringList{QStringLiteral("0"), QStringLiteral("1")}));
    EXPECT_EQ(column(set.buchungstexte, 0),
              (QStringList{QStringLiteral("Vorgabetext 1 Beispiel"), QStringLiteral("Vorgabetext 2 Beispiel")}));

    std::vector<double> rates;
    for (set.MwstSaetze.First(); !set.MwstSaetze.Eof(); set.MwstSaetze.Next())
        rates.push_back(set.MwstSaetze.Fields(0).AsFloat());
    EXPECT_EQ(rates, (std::vector<double>{19, 7, 0}));
    // Numbers are written with a point whatever the locale, so that every reader takes them.
    const QByteArray vat = readFile(dir.file(QStringLiteral("mwstsaetze_1_2026.dbf")));
    EXPECT_EQ(vat.mid(65, 19), QByteArray("        19.00000000"));

    set.dauer.First();
    EXPECT_EQ(set.dauer.Fields(0).AsString(), QStringLiteral("A"));
    EXPECT_TRUE(set.dauer.Fields(1).IsNull());
    EXPECT_EQ(set.dauer.Fields(2).AsString(), QStringLiteral("Dauerbuchung Beispiel"));
    EXPECT_DOUBLE_EQ(set.dauer.Fields(3).AsFloat(), 12.45);
    EXPECT_TRUE(set.dauer.Fields(4).IsNull());
    EXPECT_TRUE(set.dauer.Fields(5).IsNull());
}

TEST(TableSet, ReopeningKeepsRowsAndRecreatesOnlyAMissingFile) {
    TempFolder dir;
    TableSet set;
    set.setNames(12, 2025);
    set.InitDB(dir.path());
    set.EinnahmeKonten.Insert();
    set.EinnahmeKonten.Fields(0).setAsInteger(8400);
    set.EinnahmeKonten.Fields(1).setAsString(QStringLiteral("Erlöse"));
    set.MwstSaetze.First();
    set.MwstSaetze.Edit();
    set.MwstSaetze.Fields(0).setAsFloat(16);
    set.postAll();
    set.closeAll();
    for (DbfTable* t : set.tables()) EXPECT_FALSE(t->Active());

    ASSERT_TRUE(QFile::remove(dir.file(QStringLiteral("buchungstexte_12_2025.dbf"))));
    ASSERT_TRUE(QFile::remove(dir.file(QStringLiteral("mwstsaetze_12_2025.dbf"))));
    EXPECT_TRUE(set.InitDB(dir.path()).isEmpty());
    EXPECT_EQ(set.EinnahmeKonten.RecordCount(), 3);
    set.EinnahmeKonten.Last();
    EXPECT_EQ(set.EinnahmeKonten.Fields(1).AsString(), QStringLiteral("Erlöse"));
    EXPECT_EQ(set.buchungstexte.RecordCount(), 2);
    // The deleted rates file is back with its defaults, the edited 16 is gone with it.
    set.MwstSaetze.First();
    EXPECT_EQ(set.MwstSaetze.Fields(0).AsFloat(), 19);
    EXPECT_EQ(set.MwstSaetze.RecordCount(), 3);

    // Another client and year open their own files.
    set.closeAll();
    set.setNames(1000000, 2026);
    set.InitDB(dir.path());
    EXPECT_TRUE(QFile::exists(dir.file(QStringLiteral("records_1000000_2026.dbf"))));
    EXPECT_TRUE(QFile::exists(dir.file(QStringLiteral("dauerbuchungen_1000000_2026.dbf"))));
    EXPECT_EQ(set.EinnahmeKonten.RecordCount(), 2);
}

TEST(TableSet, InitDBOnAnOpenSetPostsPendingChangesFirst) {
    TempFolder dir;
    TableSet set;
    set.setNames(1, 2026);
    set.InitDB(dir.path());
    set.buchungstexte.Insert();
    set.buchungstexte.Fields(0).setAsString(QStringLiteral("Miete"));
    set.InitDB(dir.path());
    EXPECT_EQ(column(set.buchungstexte, 0).last(), QStringLiteral("Miete"));
}

TEST(TableSet, PostAllWithNothingPendingDoesNothing) {
    TempFolder dir;
    TableSet set;
    set.setNames(1, 2026);
    set.InitDB(dir.path());
    EXPECT_NO_THROW(set.postAll());
    set.closeAll();
    EXPECT_NO_THROW(set.postAll());  // closed tables have nothing pending either
}

TEST(TableSet, MissingFileInAFolderThatCannotBeMadeThrows) {
    TempFolder dir;
    writeFile(dir.file(QStringLiteral("datei")), QByteArray("kein Ordner"));
    TableSet set;
    set.setNames(1, 2026);
    try {
        set.InitDB(dir.file(QStringLiteral("datei/sub/")));
        FAIL() << "no error";
    } catch (const QuorvelError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("records_1_2026.dbf"))) << e.what();
        EXPECT_TRUE(e.message().contains(QStringLiteral("konnte nicht angelegt werden"))) << e.what();
    }
    for (DbfTable* t : set.tables()) EXPECT_FALSE(t->Active());
}

struct DamageCase {
    const char* label;
    const char* file;
    QByteArray bytes;  // empty: a folder stands in the file's place
};

void PrintTo(const DamageCase& c, std::ostream* os) {
    *os << c.label;
}

QByteArray validAccounts() {
    testsupport::RawDbf raw;
    raw.fields = {{"NR", 'N', 9, 0}, {"BEZEICHNUN", 'C', 60, 0}};
    raw.addRecord({"1", "Konto"});
    raw.addRecord({"2", "Konto 2"});
    return raw.bytes();
}

class TableSetDamaged : public ::testing::TestWithParam<DamageCase> {};

TEST_P(TableSetDamaged, FileStaysUntouchedAndTheRestOpens) {
    TempFolder dir;
    const QString name = QString::fromLatin1(GetParam().file);
    const QString path = dir.file(name);
    if (GetParam().bytes.isEmpty())
        ASSERT_TRUE(QDir(dir.path()).mkdir(name));
    else
        writeFile(path, GetParam().bytes);

    TableSet set;
    set.setNames(1, 2026);
    QStringList messages;
    ASSERT_NO_THROW(messages = set.InitDB(dir.path()));
    ASSERT_EQ(messages.size(), 1) << messages.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(messages[0].contains(name)) << messages[0].toStdString();
    EXPECT_TRUE(messages[0].startsWith(QStringLiteral("Die Tabelle"))) << messages[0].toStdString();

    if (GetParam().bytes.isEmpty())
        EXPECT_TRUE(QFileInfo(path).isDir());
    else
        EXPECT_EQ(readFile(path), GetParam().bytes);
    int open = 0;
    for (DbfTable* t : set.tables()) {
        if (t->TableName() == name)
            EXPECT_FALSE(t->Active());
        else
            open += t->Active() ? 1 : 0;
    }
    EXPECT_EQ(open, 7);
    EXPECT_FALSE(QFile::exists(dir.file(QStringLiteral("temp.dbf"))));
    EXPECT_FALSE(QFile::exists(dir.file(QStringLiteral("copy.dbf"))));
}

INSTANTIATE_TEST_SUITE_P(
    Files, TableSetDamaged,
    ::testing::Values(DamageCase{"GarbageBookings", "records_1_2026.dbf",
                                 QByteArray("Das ist keine Tabelle, nur Text.")},
                      DamageCase{"GarbageAccounts", "eaccounts_1_2026.dbf", QByteArray(700, 'x')},
                      DamageCase{"TruncatedHeader", "mwstsaetze_1_2026.dbf", validAccounts().left(40)},
                      DamageCase{"TruncatedRecords", "saccounts_1_2026.dbf", validAccounts().chopped(30)},
                      DamageCase{"OneByte", "dauerbuchungen_1_2026.dbf", QByteArray(1, '\x03')},
                      DamageCase{"FolderInsteadOfFile", "kaccounts_1_2026.dbf", QByteArray()}),
    [](const auto& info) { return std::string(info.param.label); });

void writeProtectedFileOpensReadOnlyWithANote() {
    TempFolder dir;
    {
        TableSet set;
        set.setNames(1, 2026);
        set.InitDB(dir.path());
    }
    const QString path = dir.file(QStringLiteral("aaccounts_1_2026.dbf"));
    ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup));
    QFile probe(path);
    if (probe.open(QIODevice::ReadWrite)) GTEST_SKIP() << "the file system ignores write protection here";

    const QByteArray before = readFile(path);
    TableSet set;
    set.setNames(1, 2026);
    const QStringList messages = set.InitDB(dir.path());
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains(QStringLiteral("aaccounts_1_2026.dbf")));
    EXPECT_TRUE(messages[0].contains(QStringLiteral("ist schreibgeschützt")));
    EXPECT_TRUE(set.AusgabeKonten.Active());
    EXPECT_TRUE(set.AusgabeKonten.isReadOnly());
    EXPECT_EQ(set.AusgabeKonten.RecordCount(), 1);
    EXPECT_EQ(readFile(path), before);
}

TEST(TableSet, WriteProtectedFileOpensReadOnlyWithANote) {
    testsupport::runWithoutRoot(writeProtectedFileOpensReadOnlyWithANote);
}

}  // namespace
