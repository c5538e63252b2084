// SPDX-License-Identifier: GPL-3.0-or-later
// A new table of each kind of a table set, byte for byte: header, field descriptors, default rows and end
// mark compared with the files in golden/. The golden files themselves are read here with the dBase IV
// layout written out by hand (offsets, widths, encodings of the default rows), independent of the
// table layer, so that they are the documented format and not merely what the program happened to write.
// QUORVEL_WRITE_GOLDEN=1 writes them anew (then check the diff by eye).
#include <gtest/gtest.h>

#include <QDate>
#include <QDir>
#include <functional>

#include "StorageTestUtil.h"
#include "storage/DbfTable.h"
#include "support/TestSupport.h"

using namespace storagetest;
using testsupport::readFile;
using testsupport::TempFolder;

namespace {

using Field = storagetest::StoredField;

// Values as stored: C left-aligned and padded with blanks, N right-aligned with a decimal point (numbers
// are stored with a point whatever the locale, as every dBase reader expects).
QByteArray left(const QByteArray& value, int width) {
    return value.leftJustified(width, ' ', true);
}
QByteArray right(const QByteArray& value, int width) {
    return value.rightJustified(width, ' ', true);
}


struct Kind {
    const char* file;
    std::vector<FieldDef> (*schema)();
    std::vector<Field> fields;
    int headerLength;
    int recordLength;
    std::vector<QByteArray> records;  // without the deletion flag
    std::function<void(DbfTable&)> writeDefaults;
};

void account(DbfTable& t, int number, const QString& name) {
    t.Insert();
    t.Fields(0).setAsInteger(number);
    t.Fields(1).setAsString(name);
    t.Post();
}

QByteArray accountRecord(const char* number, const char* name) {
    return right(number, 9) + left(name, 60);
}

std::vector<Kind> kinds() {
    const QByteArray empty18(18, ' ');
    return {
        {"records_1_2026.dbf",
         bookingsSchema,
         storedBookingsFields(),
         385,
         189,
         {},
         [](DbfTable&) {}},
        {"eaccounts_1_2026.dbf", accountSchema, storedAccountFields(), 97, 70,
         {accountRecord("0", "Einnahmen 19% Umsatzsteuer"), accountRecord("1", "Einnahmen 7% Umsatzsteuer")},
         [](DbfTable& t) {
             account(t, 0, QStringLiteral("Einnahmen 19% Umsatzsteuer"));
             account(t, 1, QStringLiteral("Einnahmen 7% Umsatzsteuer"));
         }},
        {"aaccounts_1_2026.dbf", accountSchema, storedAccountFields(), 97, 70, {accountRecord("0", "Ausgaben")},
         [](DbfTable& t) { account(t, 0, QStringLiteral("Ausgaben")); }},
        {"saccounts_1_2026.dbf", accountSchema, storedAccountFields(), 97, 70,
         {accountRecord("0", "Nicht zugeordnet"), accountRecord("1", "Sammelkonto 1")},
         [](DbfTable& t) {
             account(t, 0, QStringLiteral("Nicht zugeordnet"));
             account(t, 1, QStringLiteral("Sammelkonto 1"));
         }},
        {"kaccounts_1_2026.dbf", accountSchema, storedAccountFields(), 97, 70,
         {accountRecord("0", "Nicht zugeordnet"), accountRecord("1", "Kostenstelle 1")},
         [](DbfTable& t) {
             account(t, 0, QStringLiteral("Nicht zugeordnet"));
             account(t, 1, QStringLiteral("Kostenstelle 1"));
         }},
        {"mwstsaetze_1_2026.dbf", mwstSchema, {{"PROZENT", 'N', 18, 8}}, 65, 19,
         {right("19.00000000", 18), right("7.00000000", 18), right("0.00000000", 18)},
         [](DbfTable& t) {
             for (double rate : {19.0, 7.0, 0.0}) {
                 t.Insert();
                 t.Fields(0).setAsFloat(rate);
                 t.Post();
             }
         }},
        {"buchungstexte_1_2026.dbf", textSchema, {{"TEXT", 'C', 60, 0}}, 65, 61,
         {left("Vorgabetext 1 Beispiel", 60), left("Vorgabetext 2 Beispiel", 60)},
         [](DbfTable& t) {
             for (const char* text : {"Vorgabetext 1 Beispiel", "Vorgabetext 2 Beispiel"}) {
                 t.Insert();
                 t.Fields(0).setAsString(QString::fromLatin1(text));
                 t.Post();
             }
         }},
        {"dauerbuchungen_1_2026.dbf",
         dauerSchema,
         storedDauerFields(),
         225,
         127,
         {"A" + left("", 20) + left("Dauerbuchung Beispiel", 60) + right("12.45000000", 18) + empty18 +
          QByteArray(9, ' ')},
         [](DbfTable& t) {
             t.Insert();
             t.Fields(0).setAsString(QStringLiteral("A"));
             t.Fields(2).setAsString(QStringLiteral("Dauerbuchung Beispiel"));
             t.Fields(3).setAsFloat(12.45);
             t.Post();
         }},
    };
}

int le(const QByteArray& b, int at, int size) {
    int v = 0;
    for (int i = size - 1; i >= 0; --i) v = (v << 8) | quint8(b[at + i]);
    return v;
}

// The golden file read with the documented layout: 32-byte header, one 32-byte descriptor per field,
// 0x0D, records of a blank flag and the fields, 0x1A.
void checkLayout(const Kind& kind, const QByteArray& bytes) {
    const int records = int(kind.records.size());
    ASSERT_EQ(bytes.size(), kind.headerLength + records * kind.recordLength + 1);
    EXPECT_EQ(quint8(bytes[0]), 0x03);  // dBase IV without memo
    EXPECT_EQ(le(bytes, 4, 4), records);
    EXPECT_EQ(le(bytes, 8, 2), 32 + 32 * int(kind.fields.size()) + 1);
    EXPECT_EQ(le(bytes, 8, 2), kind.headerLength);
    EXPECT_EQ(le(bytes, 10, 2), kind.recordLength);
    EXPECT_EQ(bytes.mid(12, 16), QByteArray(16, '\0'));
    EXPECT_EQ(quint8(bytes[28]), 0);     // no production index
    EXPECT_EQ(quint8(bytes[29]), 0x03);  // code page 1252
    EXPECT_EQ(bytes.mid(30, 2), QByteArray(2, '\0'));
    int width = 1;
    for (size_t f = 0; f < kind.fields.size(); ++f) {
        const QByteArray d = bytes.mid(32 + 32 * int(f), 32);
        const Field& field = kind.fields[f];
        EXPECT_EQ(d.left(11), QByteArray(field.name).leftJustified(11, '\0')) << field.name;
        EXPECT_EQ(d[11], field.type) << field.name;
        EXPECT_EQ(d.mid(12, 4), QByteArray(4, '\0')) << field.name;
        EXPECT_EQ(quint8(d[16]), field.width) << field.name;
        EXPECT_EQ(quint8(d[17]), field.decimals) << field.name;
        EXPECT_EQ(d.mid(18, 14), QByteArray(14, '\0')) << field.name;
        width += field.width;
    }
    EXPECT_EQ(width, kind.recordLength);
    EXPECT_EQ(quint8(bytes[kind.headerLength - 1]), 0x0D);
    for (int r = 0; r < records; ++r)
        EXPECT_EQ(bytes.mid(kind.headerLength + r * kind.recordLength, kind.recordLength), " " + kind.records[size_t(r)])
            << "record " << r;
    EXPECT_EQ(quint8(bytes.back()), 0x1A);
}

TEST(GoldenTables, ANewTableOfEachKindIsByteForByteTheDocumentedFile) {
    const QString goldenDir = QStringLiteral(QUORVEL_GOLDEN_DIR);
    const bool write = qEnvironmentVariableIntValue("QUORVEL_WRITE_GOLDEN") == 1;
    const QDate today = QDate::currentDate();
    for (const Kind& kind : kinds()) {
        SCOPED_TRACE(kind.file);
        TempFolder folder;
        {
            DbfTable table;
            createAndOpen(table, folder.path(), QString::fromLatin1(kind.file), kind.schema());
            kind.writeDefaults(table);
        }
        QByteArray made = readFile(folder.file(QString::fromLatin1(kind.file)));
        ASSERT_GE(made.size(), 4);
        // The header's date is the day of writing; the golden file keeps the day it was made.
        EXPECT_EQ(quint8(made[1]), today.year() - 1900);
        EXPECT_EQ(quint8(made[2]), today.month());
        EXPECT_EQ(quint8(made[3]), today.day());
        const QString goldenFile = goldenDir + QLatin1Char('/') + QString::fromLatin1(kind.file);
        if (write) testsupport::writeFile(goldenFile, made);
        const QByteArray golden = readFile(goldenFile);
        checkLayout(kind, golden);
        ASSERT_EQ(made.size(), golden.size());
        made.replace(1, 3, golden.mid(1, 3));
        EXPECT_TRUE(made == golden);
    }
}

}  // namespace
