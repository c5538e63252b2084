// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QLocale>
#include <cmath>

#include "recurring/TemplateTakeOver.h"
#include "startup/TableSet.h"
#include "storage/DbfTable.h"
#include "storage/StorageError.h"
#include "support/RawDbfWriter.h"
#include "support/TestSupport.h"

using namespace TemplateTakeOver;

namespace {

struct Row {
    QString art, beleg, text, brutto, mwst, konto;  // as AsString writes them; empty leaves the field empty
};

// Real tables in a temporary data folder, created from the program's own schemas.
class TemplateTables : public ::testing::Test {
protected:
    void open(DbfTable& table, const QString& name, const std::vector<FieldDef>& schema) {
        table.setFilePath(folder.path());
        table.setTableName(name);
        table.setFieldDefs(schema);
        table.CreateTable();
        table.Open();
    }

    void SetUp() override {
        open(dauer, QStringLiteral("dauerbuchungen_1_2026.dbf"), TableSet::templatesSchema());
        open(rates, QStringLiteral("mwstsaetze_1_2026.dbf"), TableSet::vatRatesSchema());
        open(accounts, QStringLiteral("aaccounts_1_2026.dbf"), TableSet::accountsSchema());
    }

    void addRow(const Row& row) {
        dauer.Insert();
        const QString values[] = {row.art, row.beleg, row.text, row.brutto, row.mwst, row.konto};
        for (int i = 0; i < 6; ++i)
            if (!values[i].isEmpty()) dauer.Fields(i).setAsString(values[i]);
        dauer.Post();
    }

    void addRate(double rate) {
        rates.Insert();
        rates.Fields(0).setAsFloat(rate);
        rates.Post();
    }

    void addAccount(int nr, const QString& name) {
        accounts.Insert();
        accounts.Fields(0).setAsInteger(nr);
        accounts.Fields(1).setAsString(name);
        accounts.Post();
    }

    // Reads the file again from disk, so that a test sees what was stored and not the edit buffer.
    void reopen() {
        dauer.Close();
        dauer.Open();
    }

    testsupport::TempFolder folder;
    DbfTable dauer;
    DbfTable rates;
    DbfTable accounts;
};

}  // namespace

TEST(RoundHalfEven, TiesGoToTheEvenNeighbour) {
    const struct {
        double value;
        int expected;
    } cases[] = {{7.5, 8},   {6.5, 6}, {0.5, 0}, {1.5, 2},   {2.5, 2}, {-0.5, 0},    {-1.5, -2},
                 {-2.5, -2}, {2.4, 2}, {2.6, 3}, {19.0, 19}, {0.0, 0}, {7.49999, 7}, {-7.6, -8}};
    for (const auto& c : cases) EXPECT_EQ(roundHalfEven(c.value), c.expected) << c.value;
}

TEST(RoundHalfEven, OutOfRangeValuesStayInRange) {
    EXPECT_EQ(roundHalfEven(1e300), std::numeric_limits<int>::max());
    EXPECT_EQ(roundHalfEven(-1e300), std::numeric_limits<int>::min());
    EXPECT_EQ(roundHalfEven(std::nan("")), 0);
}

TEST_F(TemplateTables, DefaultTemplateIsAnExpenseWithoutReceiptRateOrAccount) {
    addRow({QStringLiteral("A"), {}, QStringLiteral("Dauerbuchung Beispiel"), QStringLiteral("12,45"), {}, {}});
    reopen();
    dauer.First();
    const TakeOverValues v = readCurrent(dauer);
    EXPECT_FALSE(v.einnahme);
    EXPECT_FALSE(v.beleg.has_value());
    ASSERT_TRUE(v.text.has_value());
    EXPECT_EQ(*v.text, QStringLiteral("Dauerbuchung Beispiel"));
    EXPECT_DOUBLE_EQ(v.brutto, 12.45);
    EXPECT_EQ(v.mwstZahl, 0);
    EXPECT_EQ(v.konto, 0);
}

TEST_F(TemplateTables, OnlyExactlyEIsIncome) {
    const struct {
        QString art;
        bool einnahme;
    } cases[] = {{QStringLiteral("E"), true},
                 {QStringLiteral("A"), false},
                 {QStringLiteral("e"), false},
                 {QString(), false},
                 {QStringLiteral("N"), false}};
    for (const auto& c : cases) addRow({c.art, {}, {}, QStringLiteral("1"), {}, {}});
    reopen();
    dauer.First();
    for (const auto& c : cases) {
        ASSERT_FALSE(dauer.Eof());
        EXPECT_EQ(readCurrent(dauer).einnahme, c.einnahme) << c.art.toStdString();
        dauer.Next();
    }
}

TEST_F(TemplateTables, StoredRatesRoundToEvenNeighbour) {
    const struct {
        QString mwst;
        int expected;
    } cases[] = {{QStringLiteral("7,5"), 8},
                 {QStringLiteral("6,5"), 6},
                 {QStringLiteral("19"), 19},
                 {QStringLiteral("16,4"), 16},
                 {QString(), 0}};
    for (const auto& c : cases) addRow({QStringLiteral("E"), {}, {}, {}, c.mwst, {}});
    reopen();
    dauer.First();
    for (const auto& c : cases) {
        EXPECT_EQ(readCurrent(dauer).mwstZahl, c.expected) << c.mwst.toStdString();
        dauer.Next();
    }
}

TEST_F(TemplateTables, ReceiptAndTextOnlyWhenNotEmpty) {
    addRow({QStringLiteral("E"), QStringLiteral("R-17"), {}, QStringLiteral("5"), {}, QStringLiteral("4")});
    reopen();
    dauer.First();
    const TakeOverValues v = readCurrent(dauer);
    ASSERT_TRUE(v.beleg.has_value());
    EXPECT_EQ(*v.beleg, QStringLiteral("R-17"));
    EXPECT_FALSE(v.text.has_value());
    EXPECT_EQ(v.konto, 4);
}

TEST_F(TemplateTables, ReadsTheRowUnderTheCursor) {
    addRow({QStringLiteral("E"), {}, QStringLiteral("Miete"), QStringLiteral("500"), {}, {}});
    addRow({QStringLiteral("A"), {}, QStringLiteral("Versicherung"), QStringLiteral("80"), {}, {}});
    dauer.setRecNo(1);
    EXPECT_EQ(*readCurrent(dauer).text, QStringLiteral("Versicherung"));
    dauer.setRecNo(0);
    EXPECT_EQ(*readCurrent(dauer).text, QStringLiteral("Miete"));
}

TEST_F(TemplateTables, EmptyOrClosedTableIsReportedNotRead) {
    EXPECT_THROW(readCurrent(dauer), StorageError);
    dauer.Close();
    EXPECT_THROW(readCurrent(dauer), TableStateError);
}

TEST_F(TemplateTables, TableWithoutTemplateFieldsIsReported) {
    EXPECT_THROW(readCurrent(rates), StorageError);
    NewTemplate entry;
    EXPECT_THROW(addTemplate(rates, rates, accounts, entry), StorageError);
    EXPECT_EQ(rates.RecordCount(), 0);
}

TEST(TemplateTakeOverForeignFile, ReadsCommaDecimalsWrittenByOtherSoftware) {
    testsupport::TempFolder folder;
    testsupport::RawDbf raw;
    raw.fields = {{"ART", 'C', 1, 0},     {"BELEG", 'C', 20, 0}, {"TEXT", 'C', 60, 0},
                  {"BRUTTO", 'N', 18, 8}, {"MWST", 'N', 18, 8},  {"KONTO", 'N', 9, 0}};
    raw.addRecord({"E", "", "Miete", "500,25000000", "7,50000000", "12"});
    raw.write(folder.file(QStringLiteral("dauer.dbf")));
    DbfTable dauer;
    dauer.setFilePath(folder.path());
    dauer.setTableName(QStringLiteral("dauer.dbf"));
    dauer.Open();
    const TakeOverValues v = readCurrent(dauer);
    EXPECT_TRUE(v.einnahme);
    EXPECT_DOUBLE_EQ(v.brutto, 500.25);
    EXPECT_EQ(v.mwstZahl, 8);
    EXPECT_EQ(v.konto, 12);
}

TEST_F(TemplateTables, AddTakesRateAndAccountByListPosition) {
    addRate(19);
    addRate(7);
    addRate(0);
    addAccount(1, QStringLiteral("Wareneinkauf"));
    addAccount(5, QStringLiteral("Miete"));
    NewTemplate entry;
    entry.einnahme = false;
    entry.beleg = QStringLiteral("D-1");
    entry.text = QStringLiteral("Büromiete");
    entry.brutto = 595.5;
    entry.rateIndex = 1;
    entry.accountIndex = 1;
    addTemplate(dauer, rates, accounts, entry);
    EXPECT_EQ(dauer.state(), DbfTable::State::Browse);

    reopen();
    ASSERT_EQ(dauer.RecordCount(), 1);
    dauer.First();
    EXPECT_EQ(dauer.FieldByName(QStringLiteral("Art")).AsString(), QStringLiteral("A"));
    EXPECT_EQ(dauer.FieldByName(QStringLiteral("Beleg")).AsString(), QStringLiteral("D-1"));
    EXPECT_EQ(dauer.FieldByName(QStringLiteral("Text")).AsString(), QStringLiteral("Büromiete"));
    EXPECT_DOUBLE_EQ(dauer.FieldByName(QStringLiteral("Brutto")).AsFloat(), 595.5);
    EXPECT_DOUBLE_EQ(dauer.FieldByName(QStringLiteral("MwSt")).AsFloat(), 7.0);
    EXPECT_EQ(dauer.FieldByName(QStringLiteral("Konto")).AsInteger(), 5);
}

TEST_F(TemplateTables, NothingSelectedOrNoSuchRowStoresZero) {
    addRate(19);
    const struct { int rateIndex, accountIndex; } cases[] = {{-1, -1}, {3, 0}, {-1, 7}};
    for (const auto& c : cases) {
        NewTemplate entry;
        entry.rateIndex = c.rateIndex;
        entry.accountIndex = c.accountIndex;  // the expense-account table is empty
        addTemplate(dauer, rates, accounts, entry);
    }
    reopen();
    ASSERT_EQ(dauer.RecordCount(), 3);
    for (dauer.First(); !dauer.Eof(); dauer.Next()) {
        EXPECT_EQ(dauer.FieldByName(QStringLiteral("Konto")).AsInteger(), 0);
        EXPECT_EQ(dauer.FieldByName(QStringLiteral("Konto")).AsString(), QStringLiteral("0"));
        EXPECT_DOUBLE_EQ(dauer.FieldByName(QStringLiteral("MwSt")).AsFloat(), 0.0);
        EXPECT_EQ(dauer.FieldByName(QStringLiteral("Art")).AsString(), QStringLiteral("E"));
    }
}

TEST_F(TemplateTables, EmptyTextAndZeroGrossAreStoredAsEntered) {
    addTemplate(dauer, rates, accounts, NewTemplate{});
    reopen();
    ASSERT_EQ(dauer.RecordCount(), 1);
    dauer.First();
    EXPECT_EQ(dauer.FieldByName(QStringLiteral("Text")).AsString(), QString());
    EXPECT_DOUBLE_EQ(dauer.FieldByName(QStringLiteral("Brutto")).AsFloat(), 0.0);
}

TEST_F(TemplateTables, FailedAddCancelsTheRowAndRethrows) {
    addRow({QStringLiteral("E"), {}, QStringLiteral("bleibt"), QStringLiteral("1"), {}, {}});
    NewTemplate entry;
    entry.brutto = 1e30;  // wider than the N 18.8 field
    EXPECT_THROW(addTemplate(dauer, rates, accounts, entry), StorageError);
    EXPECT_EQ(dauer.state(), DbfTable::State::Browse);
    EXPECT_EQ(dauer.RecordCount(), 1);
    reopen();
    EXPECT_EQ(dauer.RecordCount(), 1);
}

TEST_F(TemplateTables, EnglishLocaleRoundTrip) {
    testsupport::ScopedLocale english(QLocale(QLocale::English, QLocale::UnitedStates));
    addRate(7.5);
    NewTemplate entry;
    entry.einnahme = true;
    entry.brutto = 1234.56;
    entry.rateIndex = 0;
    addTemplate(dauer, rates, accounts, entry);
    reopen();
    dauer.First();
    const TakeOverValues v = readCurrent(dauer);
    EXPECT_TRUE(v.einnahme);
    EXPECT_DOUBLE_EQ(v.brutto, 1234.56);
    EXPECT_EQ(v.mwstZahl, 8);
}
