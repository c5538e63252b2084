// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cmath>

#include "StorageTestUtil.h"
#include "storage/DbfTable.h"
#include "storage/StorageError.h"
#include "support/RawDbfWriter.h"
#include "support/TestSupport.h"

using namespace storagetest;
using testsupport::RawDbf;
using testsupport::readFile;
using testsupport::TempFolder;

namespace {

struct Refusal {
    const char* label;
    QString text;
    QString named;  // the characters the message names; empty: the text is stored
};

// Texts a 1252 table cannot hold are refused before anything is written, naming each character once;
// characters past the field width are cut anyway and do not count.
TEST(TextOutsideTheCodePage, IsRefusedNamingTheCharacters) {
    const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80");
    const Refusal cases[] = {
        {"polish", QStringLiteral("Łódź"), QStringLiteral("„Ł“, „ź“")},
        {"czech twice", QStringLiteral("Čeněk č"), QStringLiteral("„Č“, „ě“, „č“")},
        {"emoji", QStringLiteral("Kaffee ") + emoji, QStringLiteral("„") + emoji + QStringLiteral("“")},
        {"invisible", QStringLiteral("A\u200BB"), QStringLiteral("U+200B")},
        {"western", QStringLiteral("Müller & Söhne, 12 € – „Büro“"), QString()},
        {"decomposed", QStringLiteral("Mu\u0308ller"), QString()},
        {"past the width", QStringLiteral("x").repeated(20) + QStringLiteral("Ł"), QString()},
    };
    for (const Refusal& c : cases) {
        SCOPED_TRACE(c.label);
        TempFolder folder;
        DbfTable table;
        createAndOpen(table, folder.path(), QStringLiteral("t.dbf"), {{QStringLiteral("T"), FieldType::String, 20}});
        table.Insert();
        table.Fields(0).setAsString(QStringLiteral("vorher"));
        if (c.named.isEmpty()) {
            EXPECT_NO_THROW(table.Fields(0).setAsString(c.text));
            EXPECT_FALSE(table.Fields(0).AsString().contains(QLatin1Char('?')));
            continue;
        }
        try {
            table.Fields(0).setAsString(c.text);
            ADD_FAILURE() << "stored";
        } catch (const ConversionError& e) {
            const QString plural = c.named.contains(QLatin1Char(',')) ? QStringLiteral("Die Zeichen %1 können")
                                                                      : QStringLiteral("Das Zeichen %1 kann");
            EXPECT_EQ(e.message(), plural.arg(c.named) + QStringLiteral(" in dieser Tabelle nicht gespeichert werden. "
                                                                        "Bitte ändern Sie den Text."));
        }
        EXPECT_EQ(table.Fields(0).AsString(), QStringLiteral("vorher"));
        EXPECT_EQ(table.state(), DbfTable::State::Insert);
    }
}

// The same letters are fine in a table whose code page holds them.
TEST(TextOutsideTheCodePage, ATableInCodePage1250TakesPolishLetters) {
    TempFolder folder;
    DbfTable table;
    table.setCreateLanguageDriver(0xC8);
    createAndOpen(table, folder.path(), QStringLiteral("pl.dbf"), {{QStringLiteral("T"), FieldType::String, 10}});
    EXPECT_EQ(table.languageDriver(), 0xC8);
    table.Insert();
    table.Fields(0).setAsString(QStringLiteral("Łódź"));
    table.Post();
    EXPECT_EQ(readFile(folder.file(QStringLiteral("pl.dbf"))).mid(table.headerLength() + 1, 4),
              QByteArray("\xA3\xF3\x64\x9F"));
    EXPECT_EQ(table.Fields(0).AsString(), QStringLiteral("Łódź"));
}

RawDbf numberTable(const std::vector<QByteArray>& values) {
    RawDbf raw;
    raw.fields = {{"F", 'N', 18, 8}, {"I", 'N', 9, 0}};
    for (const QByteArray& v : values) raw.addRecord({v, v.left(9)});
    return raw;
}

// Some writers fill a null number with asterisks: it reads as empty, exactly like a blank field.
TEST(NumberFields, AsterisksReadAsNull) {
    TempFolder folder;
    numberTable({"******************", "        **********", "   "}).write(folder.file(QStringLiteral("n.dbf")));
    DbfTable table;
    table.setFilePath(folder.path());
    table.setTableName(QStringLiteral("n.dbf"));
    table.Open();
    for (table.First(); !table.Eof(); table.Next()) {
        for (int f = 0; f < 2; ++f) {
            EXPECT_TRUE(table.Fields(f).IsNull());
            EXPECT_EQ(table.Fields(f).AsString(), QString());
            EXPECT_EQ(table.Fields(f).AsFloat(), 0.0);
            EXPECT_TRUE(table.Fields(f).isWellFormed());
        }
    }
}

// Reading stays lenient for display; isWellFormed tells a careful reader what was tolerated.
TEST(NumberFields, StrictReadingTellsGarbageFromNumbers) {
    struct Case {
        QByteArray stored;
        bool wellFormed;
    };
    const Case cases[] = {{"12,50", true},  {"-0.5", true},   {"+3", true},      {".25", true},    {"7.", true},
                          {"1e300", true},  {"1.5E-3", true}, {"12a,50", false}, {"1,2,3", false}, {"--1", false},
                          {"12 34", false}, {"1e", false},    {"abc", false},    {",", false},     {"-", false}};
    TempFolder folder;
    std::vector<QByteArray> values;
    for (const Case& c : cases) values.push_back(c.stored);
    numberTable(values).write(folder.file(QStringLiteral("n.dbf")));
    DbfTable table;
    table.setFilePath(folder.path());
    table.setTableName(QStringLiteral("n.dbf"));
    table.Open();
    int i = 0;
    for (table.First(); !table.Eof(); table.Next(), ++i) {
        SCOPED_TRACE(cases[i].stored.constData());
        EXPECT_EQ(table.Fields(0).isWellFormed(), cases[i].wellFormed);
        EXPECT_EQ(table.Fields(0).storedText(), QString::fromLatin1(cases[i].stored));
        EXPECT_NO_THROW(table.Fields(0).AsString());
    }
    EXPECT_EQ(i, int(std::size(cases)));
}

// An integer field holding a value beyond every integer type: shown as the number it is, refused as int.
TEST(NumberFields, OutOfRangeIntegersConvertWithoutOverflow) {
    TempFolder folder;
    RawDbf raw;
    raw.fields = {{"I", 'N', 9, 0}};
    raw.addRecord({"1e300"});
    raw.addRecord({"-1e19"});
    raw.addRecord({"123456789"});
    raw.write(folder.file(QStringLiteral("i.dbf")));
    DbfTable table;
    table.setFilePath(folder.path());
    table.setTableName(QStringLiteral("i.dbf"));
    table.Open();
    table.First();
    EXPECT_EQ(table.Fields(0).AsString(), QStringLiteral("1E300"));
    EXPECT_THROW(table.Fields(0).AsInteger(), ConversionError);
    table.Next();
    EXPECT_EQ(table.Fields(0).AsString(), QStringLiteral("-1E19"));
    table.Next();
    EXPECT_EQ(table.Fields(0).AsString(), QStringLiteral("123456789"));
    EXPECT_EQ(table.Fields(0).AsInteger(), 123456789);
}

TEST(DateFields, StrictReadingRefusesImpossibleDates) {
    TempFolder folder;
    RawDbf raw;
    raw.fields = {{"D", 'D', 8, 0}};
    for (const char* d : {"20260230", "2026ab01", "00000101", "20261231", "        "}) raw.addRecord({d});
    raw.write(folder.file(QStringLiteral("d.dbf")));
    DbfTable table;
    table.setFilePath(folder.path());
    table.setTableName(QStringLiteral("d.dbf"));
    table.Open();
    QList<bool> wellFormed;
    for (table.First(); !table.Eof(); table.Next()) wellFormed << table.Fields(0).isWellFormed();
    EXPECT_EQ(wellFormed, (QList<bool>{false, false, false, true, true}));
}

}  // namespace
