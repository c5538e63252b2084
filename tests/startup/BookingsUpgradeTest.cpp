// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLocale>

#include "startup/BookingSchema.h"
#include "startup/TableSet.h"
#include "storage/DayNumber.h"
#include "storage/StorageError.h"
#include "support/RawDbfWriter.h"
#include "support/TestSupport.h"
#include "support/WithoutRoot.h"

using testsupport::RawDbf;
using testsupport::readFile;
using testsupport::TempFolder;
using testsupport::writeFile;

namespace {

const QString bookingsName = QStringLiteral("records_1_2026.dbf");

struct OldBooking {
    QDate date;  // invalid: empty date
    const char* art;
    const char* beleg;
    QString text;
    const char* brutto;  // as stored by the old program or other software
    const char* mwst;
    const char* konto;
    double bruttoValue;
    double mwstValue;
    int kontoValue;
};

std::vector<OldBooking> oldBookings() {
    return {
        {QDate(2026, 1, 2), "E", "1", QStringLiteral("Büromaterial Müller & Söhne"), "1234,56000000", "19,00000000",
         "0", 1234.56, 19, 0},
        {QDate(1925, 3, 31), "A", "R-2026/17", QStringLiteral("Straßenbahn Größe Ärger €"), "-12,50000000",
         "7,00000000", "4711", -12.5, 7, 4711},
        {QDate(), "N", "", QStringLiteral("ohne Datum"), "98765,43210987", "0,00000000", "-3", 98765.43210987, 0, -3},
        {QDate(2026, 12, 31), "S", "3", QStringLiteral("Punkt statt Komma"), "19.99000000", "16.00000000", "1", 19.99,
         16, 1},
        {QDate(2026, 6, 15), "E", "4", QString(), "0,01000000", "", "", 0.01, 0, 0},
    };
}

QByteArray cp1252(const QString& s) {
    QByteArray out;
    for (QChar c : s) out += c == QChar(0x20AC) ? char(0x80) : char(c.unicode());
    return out;
}

// An old 9-field bookings table as an earlier version left it: code page 1252, comma decimals, an .mdx,
// and one deleted record between the live ones.
RawDbf oldTable() {
    RawDbf raw;
    raw.languageDriver = 0x03;
    raw.mdxFlag = 1;
    raw.fields = {{"DATUM", 'D', 8, 0}, {"ART", 'C', 1, 0},     {"BELEG", 'C', 20, 0},
                  {"TEXT", 'C', 60, 0}, {"BRUTTO", 'N', 18, 8}, {"MWST", 'N', 18, 8},
                  {"KONTO", 'N', 9, 0}, {"MWST2", 'N', 18, 8},  {"NETTO", 'N', 18, 8}};
    const auto bookings = oldBookings();
    for (size_t i = 0; i < bookings.size(); ++i) {
        const OldBooking& b = bookings[i];
        const QByteArray date =
            b.date.isValid() ? b.date.toString(QStringLiteral("yyyyMMdd")).toLatin1() : QByteArray();
        raw.addRecord({date, b.art, b.beleg, cp1252(b.text), b.brutto, b.mwst, b.konto, "", ""});
        if (i == 1) raw.addRecord({"20260101", "E", "X", "gelöscht", "1,00000000", "", "", "", ""}, true);
    }
    return raw;
}

void expectUpgraded(TableSet& set) {
    DbfTable& t = set.Dbf1;
    ASSERT_TRUE(t.Active());
    EXPECT_EQ(t.FieldCount(), 11);
    EXPECT_EQ(t.headerLength(), 385);
    EXPECT_EQ(t.recordLength(), 189);
    const auto bookings = oldBookings();
    ASSERT_EQ(t.RecordCount(), int(bookings.size()));
    EXPECT_EQ(t.physicalRecordCount(), int(bookings.size()));
    int i = 0;
    for (t.First(); !t.Eof(); t.Next(), ++i) {
        const OldBooking& b = bookings[size_t(i)];
        SCOPED_TRACE(i);
        if (b.date.isValid())
            EXPECT_EQ(t.Fields(Booking::Datum).AsDateTime(), DayNumber::fromDate(b.date));
        else
            EXPECT_TRUE(t.Fields(Booking::Datum).IsNull());
        EXPECT_EQ(t.Fields(Booking::Art).AsString(), QString::fromLatin1(b.art));
        EXPECT_EQ(t.Fields(Booking::Beleg).AsString(), QString::fromLatin1(b.beleg));
        EXPECT_EQ(t.Fields(Booking::Text).AsString(), b.text);
        EXPECT_EQ(t.Fields(Booking::Brutto).AsFloat(), b.bruttoValue);
        EXPECT_EQ(t.Fields(Booking::MwSt).AsFloat(), b.mwstValue);
        EXPECT_EQ(t.Fields(Booking::MwSt).IsNull(), QByteArray(b.mwst).isEmpty());
        EXPECT_EQ(t.Fields(Booking::Konto).AsInteger(), b.kontoValue);
        for (int p = 7; p <= 10; ++p) EXPECT_TRUE(t.Fields(p).IsNull()) << p;
    }
}

class BookingsUpgrade : public ::testing::TestWithParam<QLocale::Language> {};

TEST_P(BookingsUpgrade, EveryLiveRecordArrivesIntactAndTheOldFileIsKept) {
    testsupport::ScopedLocale locale(GetParam() == QLocale::German ? QLocale(QLocale::German, QLocale::Germany)
                                                                   : QLocale(QLocale::English, QLocale::UnitedStates));
    TempFolder dir;
    const QByteArray old = oldTable().bytes();
    writeFile(dir.file(bookingsName), old);
    const QByteArray mdx("stale index of the old records");
    writeFile(dir.file(QStringLiteral("records_1_2026.mdx")), mdx);

    TableSet set;
    set.setNames(1, 2026);
    const QStringList messages = set.InitDB(dir.path());
    EXPECT_TRUE(messages.isEmpty()) << messages.join(QLatin1Char('\n')).toStdString();
    expectUpgraded(set);

    EXPECT_EQ(readFile(dir.file(QStringLiteral("copy.dbf"))), old);
    EXPECT_FALSE(QFile::exists(dir.file(QStringLiteral("temp.dbf"))));
    EXPECT_FALSE(QFile::exists(dir.file(QStringLiteral("records_1_2026.mdx"))));
    EXPECT_EQ(readFile(dir.file(QStringLiteral("records_1_2026.mdx.bak"))), mdx);
    EXPECT_EQ(quint8(readFile(dir.file(bookingsName))[28]), 0);
    EXPECT_FALSE(set.Dbf2.Active());
    for (DbfTable* t : set.tables()) EXPECT_TRUE(t->Active());

    // Opened again (in the other locale as well) the new file needs no further upgrade.
    set.closeAll();
    testsupport::ScopedLocale other(QLocale(QLocale::English, QLocale::UnitedKingdom));
    EXPECT_TRUE(set.InitDB(dir.path()).isEmpty());
    expectUpgraded(set);
    EXPECT_FALSE(QFile::exists(dir.file(QStringLiteral("copy1.dbf"))));
}

INSTANTIATE_TEST_SUITE_P(Locales, BookingsUpgrade, ::testing::Values(QLocale::German, QLocale::English),
                         [](const auto& info) { return info.param == QLocale::German ? "German" : "English"; });

TEST(BookingsUpgradeCopies, AnExistingCopyStaysAndTheOldFileBecomesTheNextFreeCopy) {
    TempFolder dir;
    const QByteArray old = oldTable().bytes();
    writeFile(dir.file(bookingsName), old);
    writeFile(dir.file(QStringLiteral("copy.dbf")), QByteArray("older copy"));

    TableSet set;
    set.setNames(1, 2026);
    EXPECT_TRUE(set.InitDB(dir.path()).isEmpty());
    expectUpgraded(set);
    EXPECT_EQ(readFile(dir.file(QStringLiteral("copy.dbf"))), QByteArray("older copy"));
    EXPECT_EQ(readFile(dir.file(QStringLiteral("copy1.dbf"))), old);
    EXPECT_FALSE(QFile::exists(dir.file(bookingsName + QStringLiteral(".mdx.bak"))));  // no .mdx was there

    // The next year's old table finds copy.dbf and copy1.dbf taken.
    const QString nextYear = QStringLiteral("records_1_2027.dbf");
    writeFile(dir.file(nextYear), old);
    set.closeAll();
    set.setNames(1, 2027);
    EXPECT_TRUE(set.InitDB(dir.path()).isEmpty());
    expectUpgraded(set);
    EXPECT_EQ(readFile(dir.file(QStringLiteral("copy1.dbf"))), old);
    EXPECT_EQ(readFile(dir.file(QStringLiteral("copy2.dbf"))), old);
    EXPECT_EQ(readFile(dir.file(QStringLiteral("copy.dbf"))), QByteArray("older copy"));
}

TEST(BookingsUpgradeFilter, CopiesEveryRecordWhateverTheFilterAndKeepsTheFilterOn) {
    TempFolder dir;
    writeFile(dir.file(bookingsName), oldTable().bytes());
    TableSet set;
    set.setNames(1, 2026);
    set.Dbf1.setOnFilterRecord([](const DbfTable&) { return false; });
    set.Dbf1.setFiltered(true);
    EXPECT_TRUE(set.InitDB(dir.path()).isEmpty());
    EXPECT_TRUE(set.Dbf1.Filtered());
    set.Dbf1.First();
    EXPECT_TRUE(set.Dbf1.Eof());

    set.Dbf1.setFiltered(false);
    expectUpgraded(set);
}

TEST(BookingsUpgradeFailure, WorkFileThatCannotBeMadeLeavesTheOldFileInPlace) {
    TempFolder dir;
    const QByteArray old = oldTable().bytes();
    writeFile(dir.file(bookingsName), old);
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("temp.dbf")));  // in the way of the work table

    TableSet set;
    set.setNames(1, 2026);
    QStringList messages;
    ASSERT_NO_THROW(messages = set.InitDB(dir.path()));
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains(bookingsName)) << messages[0].toStdString();
    EXPECT_TRUE(messages[0].contains(QStringLiteral("unverändert"))) << messages[0].toStdString();
    // The year stays readable: the old table is open for reading only.
    EXPECT_TRUE(messages[0].contains(QStringLiteral("nur zum Lesen geöffnet"))) << messages[0].toStdString();
    ASSERT_TRUE(set.Dbf1.Active());
    EXPECT_TRUE(set.Dbf1.isReadOnly());
    EXPECT_EQ(set.Dbf1.FieldCount(), 9);
    EXPECT_EQ(set.Dbf1.RecordCount(), int(oldBookings().size()));
    EXPECT_TRUE(set.MwstSaetze.Active());
    EXPECT_EQ(readFile(dir.file(bookingsName)), old);
    EXPECT_FALSE(QFile::exists(dir.file(QStringLiteral("copy.dbf"))));

    // Once the obstacle is gone, the next opening upgrades.
    ASSERT_TRUE(QDir(dir.path()).rmdir(QStringLiteral("temp.dbf")));
    set.closeAll();
    EXPECT_TRUE(set.InitDB(dir.path()).isEmpty());
    expectUpgraded(set);
}

TEST(BookingsUpgradeFailure, AValueThatCannotBeCarriedOverStopsTheUpgrade) {
    TempFolder dir;
    RawDbf raw = oldTable();
    raw.fields[6] = {"KONTO", 'C', 9, 0};  // a text field where the new layout wants a number
    raw.records.clear();
    raw.addRecord({"20260102", "E", "1", "gut", "1,00000000", "", "12", "", ""});
    raw.addRecord({"20260103", "E", "2", "schlecht", "2,00000000", "", "zwölf", "", ""});
    const QByteArray old = raw.bytes();
    writeFile(dir.file(bookingsName), old);
    writeFile(dir.file(QStringLiteral("copy.dbf")), QByteArray("older copy"));

    TableSet set;
    set.setNames(1, 2026);
    const QStringList messages = set.InitDB(dir.path());
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains(QStringLiteral("Buchung Nr. 2"))) << messages[0].toStdString();
    EXPECT_TRUE(messages[0].contains(QStringLiteral("KONTO"))) << messages[0].toStdString();
    ASSERT_TRUE(set.Dbf1.Active());
    EXPECT_TRUE(set.Dbf1.isReadOnly());
    EXPECT_THROW(set.Dbf1.Insert(), StorageError);
    EXPECT_EQ(readFile(dir.file(bookingsName)), old);
    EXPECT_EQ(readFile(dir.file(QStringLiteral("copy.dbf"))), QByteArray("older copy"));
    EXPECT_FALSE(QFile::exists(dir.file(QStringLiteral("copy1.dbf"))));
    EXPECT_FALSE(QFile::exists(dir.file(QStringLiteral("temp.dbf"))));
}

void writeProtectedOldTableIsNotUpgraded() {
    TempFolder dir;
    const QByteArray old = oldTable().bytes();
    const QString path = dir.file(bookingsName);
    writeFile(path, old);
    ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::ReadOwner));
    QFile probe(path);
    if (probe.open(QIODevice::ReadWrite)) GTEST_SKIP() << "the file system ignores write protection here";

    TableSet set;
    set.setNames(1, 2026);
    const QStringList messages = set.InitDB(dir.path());
    ASSERT_EQ(messages.size(), 2);
    EXPECT_TRUE(messages[1].contains(QStringLiteral("schreibgeschützt")));
    EXPECT_TRUE(set.Dbf1.Active() && set.Dbf1.isReadOnly());
    EXPECT_EQ(readFile(path), old);
    EXPECT_FALSE(QFile::exists(dir.file(QStringLiteral("copy.dbf"))));
}

TEST(BookingsUpgradeFailure, WriteProtectedOldTableIsNotUpgraded) {
    testsupport::runWithoutRoot(writeProtectedOldTableIsNotUpgraded);
}

TEST(BookingsUpgradeEdges, NoRecordsOrOnlyDeletedOnesGiveAnEmptyNewTable) {
    for (bool withDeleted : {false, true}) {
        SCOPED_TRACE(withDeleted);
        TempFolder dir;
        RawDbf raw = oldTable();
        raw.records.clear();
        if (withDeleted) raw.addRecord({"20260101", "E", "X", "weg", "1,00000000", "", "", "", ""}, true);
        const QByteArray old = raw.bytes();
        writeFile(dir.file(bookingsName), old);

        TableSet set;
        set.setNames(1, 2026);
        const QStringList messages = set.InitDB(dir.path());
        EXPECT_TRUE(messages.isEmpty()) << messages.join(QLatin1Char('\n')).toStdString();
        ASSERT_TRUE(set.Dbf1.Active());
        EXPECT_EQ(set.Dbf1.FieldCount(), 11);
        EXPECT_EQ(set.Dbf1.RecordCount(), 0);
        EXPECT_EQ(readFile(dir.file(QStringLiteral("copy.dbf"))), old);
        EXPECT_FALSE(QFile::exists(dir.file(QStringLiteral("temp.dbf"))));
    }
}

// Other software writes the old layout with its own widths; every value that fits the new layout
// arrives as it was, also texts with bytes 1252 names no character for, dates before 1900 and in 9999.
TEST(BookingsUpgradeEdges, OddWidthsAndUnusualValuesArriveIntact) {
    TempFolder dir;
    RawDbf raw;
    raw.fields = {{"DATUM", 'D', 8, 0},  {"ART", 'C', 1, 0},     {"BELEG", 'C', 10, 0},
                  {"TEXT", 'C', 80, 0},  {"BRUTTO", 'N', 12, 2}, {"MWST", 'N', 5, 1},
                  {"KONTO", 'N', 10, 0}, {"MWST2", 'N', 20, 4},  {"NETTO", 'F', 19, 8}};
    raw.addRecord({"18991231", "E", "A-1",
                   "Stra\xDF"
                   "e \x81\x8D\x8F\x90\x9D Ende",
                   "1234567,89", "19,0", "4711", "12,3456", "-0,5"});
    raw.addRecord({"99991231", "A", "", QByteArray(59, 'x') + "y", "-0.01", "7.0", "-12345678", "", ""});
    const QByteArray old = raw.bytes();
    writeFile(dir.file(bookingsName), old);

    TableSet set;
    set.setNames(1, 2026);
    const QStringList messages = set.InitDB(dir.path());
    EXPECT_TRUE(messages.isEmpty()) << messages.join(QLatin1Char('\n')).toStdString();
    DbfTable& t = set.Dbf1;
    ASSERT_TRUE(t.Active());
    ASSERT_EQ(t.RecordCount(), 2);
    t.First();
    EXPECT_EQ(t.Fields(Booking::Datum).AsDateTime(), DayNumber::fromDate(QDate(1899, 12, 31)));
    EXPECT_EQ(t.Fields(Booking::Beleg).AsString(), QStringLiteral("A-1"));
    const QByteArray stored = readFile(dir.file(bookingsName));
    EXPECT_EQ(stored.mid(385 + 1 + 8 + 1 + 20, 20), QByteArray("Stra\xDF"
                                                               "e \x81\x8D\x8F\x90\x9D Ende   "));
    EXPECT_EQ(t.Fields(Booking::Brutto).AsFloat(), 1234567.89);
    EXPECT_EQ(t.Fields(Booking::MwSt).AsFloat(), 19.0);
    EXPECT_EQ(t.Fields(Booking::Konto).AsInteger(), 4711);
    EXPECT_EQ(t.Fields(Booking::MwSt2).AsFloat(), 12.3456);
    EXPECT_EQ(t.Fields(Booking::Netto).AsFloat(), -0.5);
    t.Next();
    EXPECT_EQ(t.Fields(Booking::Datum).AsDateTime(), DayNumber::fromDate(QDate(9999, 12, 31)));
    EXPECT_TRUE(t.Fields(Booking::Beleg).IsNull());
    EXPECT_EQ(t.Fields(Booking::Text).AsString(), QString(59, QLatin1Char('x')) + QLatin1Char('y'));
    EXPECT_EQ(t.Fields(Booking::Brutto).AsFloat(), -0.01);
    EXPECT_EQ(t.Fields(Booking::Konto).AsInteger(), -12345678);
    EXPECT_TRUE(t.Fields(Booking::MwSt2).IsNull());
    EXPECT_EQ(readFile(dir.file(QStringLiteral("copy.dbf"))), old);
}

}  // namespace
