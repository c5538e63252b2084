// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QFile>

#include "startup/BookingSchema.h"
#include "startup/TableSet.h"
#include "storage/CodePage.h"
#include "storage/DbfField.h"
#include "storage/StorageError.h"
#include "support/RawDbfWriter.h"
#include "support/TestSupport.h"

using testsupport::RawDbf;
using testsupport::readFile;
using testsupport::TempFolder;
using testsupport::writeFile;

namespace {

const QString bookingsName = QStringLiteral("records_1_2026.dbf");

// An old 9-field bookings table as other software writes it: `text` goes into TEXT, `brutto` and
// `konto` as stored characters, BRUTTO with the given width and decimals.
RawDbf oldTable(quint8 languageDriver, const QByteArray& text, const QByteArray& brutto, const QByteArray& konto,
                int bruttoWidth = 18, int bruttoDecimals = 8, const QByteArray& date = "20260115") {
    RawDbf raw;
    raw.languageDriver = languageDriver;
    raw.fields = {{"DATUM", 'D', 8, 0},
                  {"ART", 'C', 1, 0},
                  {"BELEG", 'C', 20, 0},
                  {"TEXT", 'C', 60, 0},
                  {"BRUTTO", 'N', bruttoWidth, bruttoDecimals},
                  {"MWST", 'N', 18, 8},
                  {"KONTO", 'N', 9, 0},
                  {"MWST2", 'N', 18, 8},
                  {"NETTO", 'N', 18, 8}};
    raw.addRecord({"20260102", "E", "1", "erste", "1,00000000", "19,00000000", "0", "", ""});
    raw.addRecord({date, "A", "2", text, brutto, "7,00000000", konto, "", ""});
    return raw;
}

struct Opened {
    QStringList messages;
    TableSet set;
};

void openSet(Opened& o, const QString& folder) {
    o.set.setNames(1, 2026);
    o.messages = o.set.InitDB(folder);
}

// Old tables in other code pages keep their language driver and their texts, byte for byte.
TEST(UpgradeFaithfulness, TextsInOtherCodePagesArriveWithTheirLanguageDriver) {
    struct Case {
        quint8 ldid;
        int codePage;
        QString text;
    };
    const Case cases[] = {
        {0xC8, 1250, QStringLiteral("Łódź, Žluťoučký kůň")},
        {0x65, 866, QStringLiteral("Привет, бухгалтерия")},
        {0x02, 850, QStringLiteral("╔══╗ Größe ½ ░▒▓")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.codePage);
        TempFolder dir;
        const QByteArray bytes = CodePage(c.codePage).encode(c.text);
        ASSERT_TRUE(CodePage(c.codePage).canEncode(c.text));
        oldTable(c.ldid, bytes, "12,50000000", "3").write(dir.file(bookingsName));
        Opened o;
        openSet(o, dir.path());
        EXPECT_TRUE(o.messages.isEmpty()) << o.messages.join(QLatin1Char('\n')).toStdString();
        DbfTable& t = o.set.Dbf1;
        ASSERT_EQ(t.FieldCount(), 11);
        EXPECT_FALSE(t.isReadOnly());
        EXPECT_EQ(t.languageDriver(), c.ldid);
        EXPECT_EQ(quint8(readFile(dir.file(bookingsName))[29]), c.ldid);
        t.Last();
        EXPECT_EQ(t.Fields(Booking::Text).AsString(), c.text);
        EXPECT_EQ(t.Fields(Booking::Brutto).AsFloat(), 12.5);
        EXPECT_EQ(readFile(dir.file(bookingsName)).mid(385 + 189 + 1 + 8 + 1 + 20, bytes.size()), bytes);
    }
}

// More decimals than the new field has: the value is carried at the new field's precision (what its
// format does), and the year opens normally.
TEST(UpgradeFaithfulness, ExtraDecimalsAreRoundedToTheNewField) {
    TempFolder dir;
    oldTable(0x03, "zehn Stellen", "119,1234567891", "3", 20, 10).write(dir.file(bookingsName));
    Opened o;
    openSet(o, dir.path());
    EXPECT_TRUE(o.messages.isEmpty()) << o.messages.join(QLatin1Char('\n')).toStdString();
    DbfTable& t = o.set.Dbf1;
    ASSERT_EQ(t.FieldCount(), 11);
    t.Last();
    EXPECT_EQ(t.Fields(Booking::Brutto).AsFloat(), 119.12345679);
    EXPECT_FALSE(t.isReadOnly());
}

// Values that would not arrive as they are stop the upgrade with a message naming them; the old file
// stays as it was and the year can still be read.
TEST(UpgradeFaithfulness, UncarriableValuesStopTheUpgradeNamingThem) {
    struct Case {
        const char* label;
        RawDbf raw;
        QString named;
    };
    RawDbf longText = oldTable(0x03, "kurz", "1,00000000", "3");
    longText.fields[3].width = 80;
    longText.records.clear();
    longText.addRecord({"20260102", "E", "1", QByteArray(70, 'x'), "1,00000000", "", "0", "", ""});
    const Case cases[] = {
        {"garbage after a number", oldTable(0x03, "Text", "12a,50", "3"), QStringLiteral("„12a,50“")},
        {"integer beyond range", oldTable(0x03, "Text", "1,00000000", "1e300"), QStringLiteral("1E300")},
        {"impossible date", oldTable(0x03, "Text", "1,00000000", "3", 18, 8, "20260231"), QStringLiteral("„20260231“")},
        {"text longer than the field", longText, QString(70, QLatin1Char('x'))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        TempFolder dir;
        c.raw.write(dir.file(bookingsName));
        const QByteArray old = readFile(dir.file(bookingsName));
        Opened o;
        openSet(o, dir.path());
        ASSERT_EQ(o.messages.size(), 1);
        const QString& m = o.messages[0];
        EXPECT_TRUE(m.contains(c.named)) << m.toStdString();
        EXPECT_TRUE(m.contains(QStringLiteral("unverändert"))) << m.toStdString();
        EXPECT_TRUE(m.contains(QStringLiteral("nur zum Lesen geöffnet"))) << m.toStdString();
        EXPECT_EQ(readFile(dir.file(bookingsName)), old);
        EXPECT_FALSE(QFile::exists(dir.file(QStringLiteral("copy.dbf"))));
        EXPECT_FALSE(QFile::exists(dir.file(QStringLiteral("temp.dbf"))));
        DbfTable& t = o.set.Dbf1;
        ASSERT_TRUE(t.Active());
        EXPECT_TRUE(t.isReadOnly());
        EXPECT_EQ(t.RecordCount(), c.raw.records.size());
        EXPECT_THROW(t.Insert(), StorageError);
        for (DbfTable* other : o.set.tables()) EXPECT_TRUE(other->Active());
    }
}

}  // namespace
