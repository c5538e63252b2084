// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDate>
#include <QFile>

#include "StorageTestUtil.h"
#include "startup/BookingSchema.h"
#include "storage/DayNumber.h"
#include "storage/DbfTable.h"
#include "support/TestSupport.h"

using namespace storagetest;
using testsupport::readFile;
using testsupport::TempFolder;

namespace {

using Desc = storagetest::StoredField;

// The expected header, spelled out byte by byte.
QByteArray expectedHeader(const std::vector<Desc>& fields, int recordCount, const QDate& date) {
    QByteArray b(32, '\0');
    b[0] = 0x03;
    b[1] = char(date.year() - 1900);
    b[2] = char(date.month());
    b[3] = char(date.day());
    b[4] = char(recordCount);
    const int headerLength = 32 + 32 * int(fields.size()) + 1;
    int recordLength = 1;
    for (const Desc& f : fields) recordLength += f.width;
    b[8] = char(headerLength & 0xff);
    b[9] = char(headerLength >> 8);
    b[10] = char(recordLength & 0xff);
    b[11] = char(recordLength >> 8);
    b[29] = 0x03;
    for (const Desc& f : fields) {
        QByteArray d(32, '\0');
        d.replace(0, int(strlen(f.name)), f.name);
        d[11] = f.type;
        d[16] = char(f.width);
        d[17] = char(f.decimals);
        b += d;
    }
    b += char(0x0d);
    return b;
}

struct SchemaCase {
    const char* label;
    std::vector<FieldDef> (*schema)();
    std::vector<Desc> stored;
    int headerLength;
    int recordLength;
};

const std::vector<SchemaCase>& schemaCases() {
    static const std::vector<SchemaCase> cases = {
        {"records",
         bookingsSchema,
         storedBookingsFields(),
         385,
         189},
        {"accounts", accountSchema, storedAccountFields(), 97, 70},
        {"mwstsaetze", mwstSchema, {{"PROZENT", 'N', 18, 8}}, 65, 19},
        {"buchungstexte", textSchema, {{"TEXT", 'C', 60, 0}}, 65, 61},
        {"dauerbuchungen",
         dauerSchema,
         storedDauerFields(),
         225,
         127},
    };
    return cases;
}

}  // namespace

TEST(DbfLayout, CreatedFilesHaveExactHeaderBytes) {
    for (const SchemaCase& c : schemaCases()) {
        SCOPED_TRACE(c.label);
        TempFolder folder;
        DbfTable table;
        table.setFilePath(folder.path());
        table.setTableName(QStringLiteral("t.dbf"));
        table.setFieldDefs(c.schema());
        const QDate before = QDate::currentDate();
        table.CreateTable();
        EXPECT_FALSE(table.Active());
        const QByteArray bytes = readFile(folder.file(QStringLiteral("t.dbf")));
        ASSERT_EQ(bytes.size(), c.headerLength + 1);
        QByteArray expected = expectedHeader(c.stored, 0, before);
        if (bytes.mid(1, 3) != expected.mid(1, 3)) expected = expectedHeader(c.stored, 0, QDate::currentDate());
        EXPECT_EQ(bytes.left(c.headerLength).toHex(' '), expected.toHex(' '));
        EXPECT_EQ(bytes.at(c.headerLength), char(0x1a));

        table.Open();
        EXPECT_EQ(table.headerLength(), c.headerLength);
        EXPECT_EQ(table.recordLength(), c.recordLength);
        ASSERT_EQ(table.FieldCount(), int(c.stored.size()));
        for (int i = 0; i < table.FieldCount(); ++i) {
            EXPECT_EQ(table.Fields(i).FieldName(), QLatin1String(c.stored[size_t(i)].name));
            EXPECT_EQ(table.Fields(i).dbfType(), c.stored[size_t(i)].type);
        }
        EXPECT_TRUE(table.Eof());
        EXPECT_EQ(table.RecordCount(), 0);
    }
}

TEST(DbfLayout, BookingRecordBytes) {
    TempFolder folder;
    DbfTable table;
    createAndOpen(table, folder.path(), QStringLiteral("records_1_2026.dbf"), bookingsSchema());
    table.Insert();
    table.Fields(Booking::Datum).setAsDateTime(DayNumber::fromDate(QDate(2026, 3, 7)));
    table.Fields(Booking::Art).setAsString(QStringLiteral("E"));
    table.Fields(Booking::Beleg).setAsString(QStringLiteral("17"));
    table.Fields(Booking::Text).setAsString(QStringLiteral("Miete März"));
    table.Fields(Booking::Brutto).setAsFloat(119.5);
    table.Fields(Booking::MwSt).setAsFloat(19);
    table.Fields(Booking::Konto).setAsInteger(-42);
    table.Fields(Booking::Sammelkonto).setAsInteger(0);
    table.Post();
    table.AppendRecord();
    table.Close();

    const QByteArray bytes = readFile(folder.file(QStringLiteral("records_1_2026.dbf")));
    ASSERT_EQ(bytes.size(), 385 + 2 * 189 + 1);
    EXPECT_EQ(bytes.at(4), char(2));
    EXPECT_EQ(bytes.at(5), char(0));
    QByteArray expected = " 20260307E17                  ";
    expected += QByteArray("Miete M") + char(0xe4) + QByteArray("rz") + QByteArray(50, ' ');
    expected += "      119.50000000";
    expected += "       19.00000000";
    expected += "      -42";
    expected += QByteArray(18, ' ') + QByteArray(18, ' ');
    expected += "        0";
    expected += QByteArray(9, ' ');
    ASSERT_EQ(expected.size(), 189);
    EXPECT_EQ(bytes.mid(385, 189), expected);
    EXPECT_EQ(bytes.mid(385 + 189, 189), QByteArray(" ") + QByteArray(188, ' '));
    EXPECT_EQ(bytes.back(), char(0x1a));
}

TEST(DbfLayout, NamesAreCutAndUpperCased) {
    TempFolder folder;
    DbfTable table;
    createAndOpen(table, folder.path(), QStringLiteral("k.dbf"),
                  {{QStringLiteral("Kostenstelle"), FieldType::Integer, 0},
                   {QStringLiteral("Bezeichnung"), FieldType::String, 60}});
    EXPECT_EQ(table.Fields(0).FieldName(), QStringLiteral("KOSTENSTEL"));
    EXPECT_EQ(table.Fields(1).FieldName(), QStringLiteral("BEZEICHNUN"));
    EXPECT_EQ(&table.FieldByName(QStringLiteral("kostenstel")), &table.Fields(0));
    EXPECT_EQ(table.Fields(0).DataType(), FieldType::Integer);
}

TEST(DbfLayout, InvalidDefinitionsAreRefusedWithoutAFile) {
    struct Case {
        const char* label;
        std::vector<FieldDef> defs;
    };
    const std::vector<Case> cases = {
        {"none", {}},
        {"string size 0", {{QStringLiteral("A"), FieldType::String, 0}}},
        {"string size 256", {{QStringLiteral("A"), FieldType::String, 256}}},
        {"empty name", {{QString(), FieldType::Integer, 0}}},
        {"duplicate", {{QStringLiteral("Text"), FieldType::String, 5}, {QStringLiteral("TEXT"), FieldType::String, 5}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        TempFolder folder;
        DbfTable table;
        table.setFilePath(folder.path());
        table.setTableName(QStringLiteral("x.dbf"));
        table.setFieldDefs(c.defs);
        EXPECT_THROW(table.CreateTable(), StorageError);
        EXPECT_FALSE(QFile::exists(folder.file(QStringLiteral("x.dbf"))));
    }
}

TEST(DbfLayout, CreateReplacesAnExistingFile) {
    TempFolder folder;
    DbfTable table;
    createAndOpen(table, folder.path(), QStringLiteral("t.dbf"), textSchema());
    appendTexts(table, {QStringLiteral("a"), QStringLiteral("b")});
    EXPECT_THROW(table.CreateTable(), TableStateError);  // only while closed
    table.Close();
    table.CreateTable();
    table.Open();
    EXPECT_EQ(table.RecordCount(), 0);
    EXPECT_EQ(readFile(folder.file(QStringLiteral("t.dbf"))).size(), 66);
}

TEST(DbfLayout, RelativeFolderIsTakenFromProgramFolder) {
    DbfTable table;
    table.setFilePath(QString());
    table.setTableName(QStringLiteral("x.dbf"));
    EXPECT_EQ(table.absoluteFileName(), QCoreApplication::applicationDirPath() + QStringLiteral("/x.dbf"));
    table.setFilePath(QStringLiteral("daten"));
    EXPECT_EQ(table.absoluteFileName(), QCoreApplication::applicationDirPath() + QStringLiteral("/daten/x.dbf"));
}
