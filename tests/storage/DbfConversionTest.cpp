// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QDate>
#include <QLocale>
#include <cmath>

#include "StorageTestUtil.h"
#include "storage/DayNumber.h"
#include "storage/DbfTable.h"
#include "support/RawDbfWriter.h"
#include "support/TestSupport.h"

using namespace storagetest;
using testsupport::RawDbf;
using testsupport::readFile;
using testsupport::ScopedLocale;
using testsupport::TempFolder;

namespace {

// One table with a field of each kind: S string 20, D date, F float 18.8, I integer 9.0.
class Conversions : public ::testing::Test {
protected:
    void SetUp() override {
        createAndOpen(table, folder.path(), QStringLiteral("c.dbf"),
                      {{QStringLiteral("S"), FieldType::String, 20},
                       {QStringLiteral("D"), FieldType::Date, 0},
                       {QStringLiteral("F"), FieldType::Float, 0},
                       {QStringLiteral("I"), FieldType::Integer, 0}});
        table.Insert();
    }
    DbfField& field(int i) { return table.Fields(i); }
    QByteArray storedRecord() {
        const QByteArray bytes = readFile(folder.file(QStringLiteral("c.dbf")));
        return bytes.mid(table.headerLength(), table.recordLength());
    }

    TempFolder folder;
    DbfTable table;
};

const double kDay = DayNumber::fromDate(QDate(2024, 2, 29));

}  // namespace

TEST_F(Conversions, ReadsPerFieldTypeUnderGermanAndEnglishLocale) {
    field(0).setAsString(QStringLiteral("  12"));
    field(1).setAsDateTime(kDay);
    field(2).setAsFloat(1234.5);
    field(3).setAsInteger(-17);
    table.Post();

    struct Case {
        QLocale locale;
        const char* date;
        const char* floatText;
    };
    const Case cases[] = {{QLocale(QLocale::German, QLocale::Germany), "29.02.2024", "1234,5"},
                          {QLocale(QLocale::English, QLocale::UnitedStates), "2/29/2024", "1234.5"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.date);
        ScopedLocale locale(c.locale);
        EXPECT_EQ(field(0).AsString(), QStringLiteral("  12"));
        EXPECT_EQ(field(0).AsInteger(), 12);
        EXPECT_DOUBLE_EQ(field(0).AsFloat(), 12.0);
        EXPECT_EQ(field(1).AsString(), QLatin1String(c.date));
        EXPECT_DOUBLE_EQ(field(1).AsDateTime(), kDay);
        EXPECT_DOUBLE_EQ(field(1).AsFloat(), kDay);
        EXPECT_EQ(field(2).AsString(), QLatin1String(c.floatText));
        EXPECT_DOUBLE_EQ(field(2).AsFloat(), 1234.5);
        EXPECT_EQ(field(3).AsString(), QStringLiteral("-17"));
        EXPECT_EQ(field(3).AsInteger(), -17);
        EXPECT_DOUBLE_EQ(field(3).AsFloat(), -17.0);
    }
    // Numbers are stored with a point whatever the locale.
    EXPECT_EQ(storedRecord(), QByteArray(" ") + QByteArray("  12").leftJustified(20, ' ') + "20240229" +
                                  "     1234.50000000" + "      -17");
}

TEST_F(Conversions, EmptyFieldsReadAsNothingOrZero) {
    table.Post();
    for (int i = 0; i < 4; ++i) {
        EXPECT_TRUE(field(i).IsNull());
        EXPECT_EQ(field(i).AsString(), QString());
    }
    EXPECT_EQ(field(1).AsDateTime(), 0.0);
    EXPECT_EQ(field(2).AsFloat(), 0.0);
    EXPECT_EQ(field(3).AsInteger(), 0);
    EXPECT_EQ(field(3).AsFloat(), 0.0);
    // An empty text is no number.
    EXPECT_THROW(field(0).AsInteger(), ConversionError);
    EXPECT_THROW(field(0).AsFloat(), ConversionError);
}

TEST_F(Conversions, StringAsInteger) {
    struct Case {
        const char* text;
        bool ok;
        int value;
    };
    const Case cases[] = {
        {"12", true, 12},
        {"  12", true, 12},
        {"-5", true, -5},
        {"+7", true, 7},
        {"$1F", true, 31},
        {"x1f", true, 31},
        {"0x1F", true, 31},
        {"2147483647", true, INT_MAX},
        {"-2147483648", true, INT_MIN},
        {"$FFFFFFFF", true, -1},
        {"12a", false, 0},
        {"2147483648", false, 0},
        {"1.5", false, 0},
        {"1,5", false, 0},
        {"", false, 0},
        {"-", false, 0},
        {"$", false, 0},
        {"0x", false, 0},
        {"1 2", false, 0},
        {"R-2024", false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        field(0).setAsString(QLatin1String(c.text));
        if (c.ok)
            EXPECT_EQ(field(0).AsInteger(), c.value);
        else
            EXPECT_THROW(field(0).AsInteger(), ConversionError);
    }
}

TEST_F(Conversions, StringAsFloatUsesLocaleSeparator) {
    struct Case {
        QLocale::Language language;
        const char* text;
        bool ok;
        double value;
    };
    const Case cases[] = {
        {QLocale::German, "1,5", true, 1.5},  {QLocale::German, " -2,25 ", true, -2.25},
        {QLocale::German, "1.5", false, 0},   {QLocale::German, "1E3", true, 1000},
        {QLocale::German, "abc", false, 0},   {QLocale::German, "1,5x", false, 0},
        {QLocale::English, "1.5", true, 1.5}, {QLocale::English, "1,5", false, 0},
        {QLocale::German, "12", true, 12},    {QLocale::German, ",5", true, 0.5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        ScopedLocale locale(QLocale(c.language));
        field(0).setAsString(QLatin1String(c.text));
        if (c.ok)
            EXPECT_DOUBLE_EQ(field(0).AsFloat(), c.value);
        else
            EXPECT_THROW(field(0).AsFloat(), ConversionError);
    }
}

TEST_F(Conversions, WritesThroughText) {
    struct Case {
        QLocale::Language language;
        int fieldIndex;
        const char* text;
        bool ok;
        const char* readBack;
    };
    const Case cases[] = {
        {QLocale::German, 1, "01.02.2025", true, "01.02.2025"},
        {QLocale::German, 1, "1.2.2025", true, "01.02.2025"},
        {QLocale::German, 1, "", true, ""},
        {QLocale::German, 1, "31.02.2025", false, ""},
        {QLocale::German, 1, "heute", false, ""},
        {QLocale::English, 1, "2/1/2025", true, "2/1/2025"},
        {QLocale::German, 2, "19,5", true, "19,5"},
        {QLocale::German, 2, "19.5", false, ""},
        {QLocale::German, 2, "", true, ""},
        {QLocale::English, 2, "0.1", true, "0.1"},
        {QLocale::German, 3, "42", true, "42"},
        {QLocale::German, 3, "4,2", false, ""},
        {QLocale::German, 3, "-123456789", false, ""},  // ten characters in N 9.0
        {QLocale::German, 3, "123456789", true, "123456789"},
        {QLocale::German, 0, "Ein sehr langer Text, der abgeschnitten wird", true, "Ein sehr langer Text"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        ScopedLocale locale(
            QLocale(c.language, c.language == QLocale::German ? QLocale::Germany : QLocale::UnitedStates));
        field(c.fieldIndex).Clear();
        if (c.ok) {
            field(c.fieldIndex).setAsString(QString::fromUtf8(c.text));
            EXPECT_EQ(field(c.fieldIndex).AsString(), QString::fromUtf8(c.readBack));
        } else {
            EXPECT_THROW(field(c.fieldIndex).setAsString(QString::fromUtf8(c.text)), ConversionError);
            EXPECT_TRUE(field(c.fieldIndex).IsNull());
        }
    }
}

TEST_F(Conversions, FloatTextHasFifteenSignificantDigits) {
    struct Case {
        double value;
        const char* german;
    };
    const Case cases[] = {{19, "19"},
                          {0.1, "0,1"},
                          {-12.45, "-12,45"},
                          {1.0 / 3, "0,33333333"},  // N 18.8 keeps eight decimals
                          {123456789.12345678, "123456789,123457"},
                          {0, "0"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.german);
        field(2).setAsFloat(c.value);
        EXPECT_EQ(field(2).AsString(), QLatin1String(c.german));
    }
}

TEST_F(Conversions, TooWideNumbersAreRefusedAndNeighboursStayUntouched) {
    field(0).setAsString(QStringLiteral("links"));
    field(1).setAsDateTime(kDay);
    field(2).setAsFloat(5);
    field(3).setAsInteger(7);
    struct Case {
        int fieldIndex;
        double value;
    };
    const Case cases[] = {{2, 1e9}, {2, -1e8}, {2, 1e300}, {2, NAN},      {2, INFINITY},
                          {3, 1e9}, {3, -1e8}, {3, NAN},   {2, -INFINITY}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_THROW(field(c.fieldIndex).setAsFloat(c.value), ConversionError);
    }
    EXPECT_THROW(field(3).setAsInteger(1000000000), ConversionError);
    // The widest values that fit.
    field(2).setAsFloat(999999999.5);
    EXPECT_EQ(field(2).AsString(), QStringLiteral("999999999,5"));
    field(2).setAsFloat(-99999999.5);
    EXPECT_EQ(field(2).AsString(), QStringLiteral("-99999999,5"));
    field(3).setAsInteger(-99999999);
    table.Post();
    EXPECT_EQ(field(0).AsString(), QStringLiteral("links"));
    EXPECT_DOUBLE_EQ(field(1).AsDateTime(), kDay);
    EXPECT_EQ(field(3).AsInteger(), -99999999);
    const QByteArray rec = storedRecord();
    EXPECT_EQ(rec.mid(1, 20), QByteArray("links").leftJustified(20, ' '));
    EXPECT_EQ(rec.mid(21, 8), QByteArray("20240229"));
    EXPECT_EQ(rec.mid(29, 18), QByteArray("  -99999999.50000000").right(18));
    EXPECT_EQ(rec.mid(47, 9), QByteArray("-99999999"));
}

TEST_F(Conversions, MessagesOfTheDatasetInterface) {
    table.Post();
    try {
        table.Post();
        FAIL();
    } catch (const TableStateError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Dataset not in edit or insert mode"));
    }
    try {
        field(0).setAsString(QStringLiteral("x"));
        FAIL();
    } catch (const TableStateError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Dataset not in edit or insert mode"));
    }
    try {
        table.FieldByName(QStringLiteral("Gibtsnicht"));
        FAIL();
    } catch (const FieldNotFoundError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Field 'Gibtsnicht' not found"));
    }
    EXPECT_EQ(table.FindField(QStringLiteral("gibtsnicht")), nullptr);
    EXPECT_EQ(&table.FieldByName(QStringLiteral("f")), &field(2));
    table.Close();
    const auto closed = [](const std::function<void()>& f) {
        try {
            f();
            ADD_FAILURE();
        } catch (const TableStateError& e) {
            EXPECT_EQ(e.message(), QStringLiteral("Cannot perform this operation on a closed dataset"));
        }
    };
    closed([&] { table.First(); });
    closed([&] { table.Next(); });
    closed([&] { table.Insert(); });
    closed([&] { table.Post(); });
    closed([&] { table.Delete(); });
    closed([&] { table.Edit(); });
    closed([&] { table.Refresh(); });
    closed([&] { table.Fields(0); });
    closed([&] { table.FieldByName(QStringLiteral("S")); });
}

TEST_F(Conversions, TypeMismatchesAreConversionErrors) {
    EXPECT_THROW(field(1).AsInteger(), ConversionError);
    EXPECT_THROW(field(2).AsDateTime(), ConversionError);
    EXPECT_THROW(field(3).setAsDateTime(kDay), ConversionError);
    EXPECT_THROW(field(1).setAsInteger(3), ConversionError);
    field(0).setAsString(QStringLiteral("29.02.2024"));
    EXPECT_DOUBLE_EQ(field(0).AsDateTime(), kDay);
    field(0).setAsDateTime(kDay);
    EXPECT_EQ(field(0).AsString(), QStringLiteral("29.02.2024"));
    field(0).setAsFloat(2.5);
    EXPECT_EQ(field(0).AsString(), QStringLiteral("2,5"));
    field(2).setAsInteger(3);
    EXPECT_EQ(field(2).AsString(), QStringLiteral("3"));
    field(3).setAsFloat(2.6);
    EXPECT_EQ(field(3).AsInteger(), 3);
}

TEST(ForeignNumbers, CommaAndPointDecimalsReadAlike) {
    TempFolder folder;
    RawDbf raw;
    raw.fields = {{"BRUTTO", 'N', 18, 8}, {"KONTO", 'N', 9, 0}, {"DATUM", 'D', 8, 0},
                  {"FLAG", 'L', 1, 0},    {"WERT", 'F', 12, 2}, {"GROSS", 'N', 12, 0}};
    raw.addRecord({"19,00000000", "7", "20240101", "T", "-3,25", "12345678901"});
    raw.addRecord({"19.00000000", "-7", "2024ABCD", "F", "3.25", ""});
    raw.addRecord({"", "", "        ", "", "", ""});
    raw.write(folder.file(QStringLiteral("f.dbf")));
    const QByteArray before = readFile(folder.file(QStringLiteral("f.dbf")));
    for (const QLocale& l : {QLocale(QLocale::German, QLocale::Germany), QLocale(QLocale::English)}) {
        ScopedLocale locale(l);
        DbfTable t;
        t.setFilePath(folder.path());
        t.setTableName(QStringLiteral("f.dbf"));
        t.Open();
        EXPECT_EQ(t.Fields(0).DataType(), FieldType::Float);
        EXPECT_EQ(t.Fields(1).DataType(), FieldType::Integer);
        EXPECT_EQ(t.Fields(3).DataType(), FieldType::String);
        EXPECT_EQ(t.Fields(4).DataType(), FieldType::Float);
        EXPECT_EQ(t.Fields(5).DataType(), FieldType::Float);
        t.First();
        EXPECT_DOUBLE_EQ(t.Fields(0).AsFloat(), 19.0);
        EXPECT_EQ(t.Fields(1).AsInteger(), 7);
        EXPECT_EQ(t.Fields(3).AsString(), QStringLiteral("T"));
        EXPECT_DOUBLE_EQ(t.Fields(4).AsFloat(), -3.25);
        EXPECT_DOUBLE_EQ(t.Fields(5).AsFloat(), 12345678901.0);
        t.Next();
        EXPECT_DOUBLE_EQ(t.Fields(0).AsFloat(), 19.0);
        EXPECT_EQ(t.Fields(1).AsInteger(), -7);
        EXPECT_DOUBLE_EQ(t.Fields(2).AsDateTime(), 0.0);  // digits that are no date: day 0
        EXPECT_EQ(
            t.Fields(2).AsString(),
            QLocale().toString(
                QDate(1899, 12, 30),
                QLocale().dateFormat(QLocale::ShortFormat).replace(QStringLiteral("yy"), QStringLiteral("yyyy"))));
        EXPECT_DOUBLE_EQ(t.Fields(4).AsFloat(), 3.25);
        t.Next();
        EXPECT_TRUE(t.Fields(0).IsNull());
        EXPECT_EQ(t.Fields(2).AsString(), QString());
        t.Next();
        EXPECT_TRUE(t.Eof());
    }
    EXPECT_EQ(readFile(folder.file(QStringLiteral("f.dbf"))), before);  // reading never writes
}

// A wide whole-number field of other software takes values beyond 64 bits' reach of a rounding
// helper; they are stored as they are or refused, never as some other number.
TEST(ForeignNumbers, WideWholeNumberFieldsKeepLargeValues) {
    TempFolder folder;
    RawDbf raw;
    raw.fields = {{"GROSS", 'N', 20, 0}};
    raw.write(folder.file(QStringLiteral("w.dbf")));
    DbfTable t;
    t.setFilePath(folder.path());
    t.setTableName(QStringLiteral("w.dbf"));
    t.Open();
    for (double value : {1e19, -9.9e18, 12345678901234567890.0, 9.5e18}) {
        SCOPED_TRACE(value);
        t.Insert();
        t.Fields(0).setAsFloat(value);
        t.Post();
        EXPECT_EQ(t.Fields(0).AsFloat(), value);
    }
    t.Insert();
    EXPECT_THROW(t.Fields(0).setAsFloat(1e20), ConversionError);  // 21 characters
    t.Cancel();
}
