// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "JournalFixtures.h"
#include "journal/EntryLookups.h"

using namespace journaltest;
using namespace EntryLookups;

namespace {

class EntryLookupsTest : public ::testing::Test {
protected:
    testsupport::TempFolder folder;
    std::unique_ptr<DbfTable> rates = createTable(folder, QStringLiteral("mwstsaetze_1_2024.dbf"), ratesDefs());
    std::unique_ptr<DbfTable> accounts = createTable(folder, QStringLiteral("saccounts_1_2024.dbf"), accountsDefs());
    std::unique_ptr<DbfTable> texts = createTable(folder, QStringLiteral("buchungstexte_1_2024.dbf"),
                                                  {{QStringLiteral("Text"), FieldType::String, 60}});
};

TEST_F(EntryLookupsTest, vatEntriesInBothLocales) {
    for (double r : {19.0, 7.0, 0.0, 10.7}) addRate(*rates, r);
    EXPECT_EQ(vatEntries(*rates), (QStringList{"19,00%", "7,00%", "0,00%", "10,70%"}));
    testsupport::ScopedLocale english(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(vatEntries(*rates), (QStringList{"19.00%", "7.00%", "0.00%", "10.70%"}));
}

TEST_F(EntryLookupsTest, accountAndTextEntries) {
    addAccount(*accounts, 1, QStringLiteral("Ausgaben"));
    addAccount(*accounts, 0, QStringLiteral("Nicht zugeordnet"));
    addAccount(*accounts, -3, QStringLiteral("Negativ"));
    addAccount(*accounts, 1200, QStringLiteral("Bank"));
    EXPECT_EQ(accountEntries(*accounts),
              (QStringList{"1 - Ausgaben", "0 - Nicht zugeordnet", "-3 - Negativ", "1200 - Bank"}));

    for (const char* t : {"Vorgabetext 1 Beispiel", "Miete für Büro", ""}) {
        texts->Insert();
        texts->Fields(0).setAsString(QString::fromUtf8(t));
        texts->Post();
    }
    EXPECT_EQ(textEntries(*texts), (QStringList{"Vorgabetext 1 Beispiel", "Miete für Büro", ""}));
}

TEST_F(EntryLookupsTest, emptyTablesGiveEmptyLists) {
    EXPECT_TRUE(vatEntries(*rates).isEmpty());
    EXPECT_TRUE(accountEntries(*accounts).isEmpty());
    EXPECT_EQ(rateAt(*rates, 0), 0.0);
    EXPECT_EQ(accountNrAt(*accounts, 0), 0);
    EXPECT_EQ(rowOfAccount(*accounts, 0), -1);
    EXPECT_EQ(findKonto(*accounts, 0), QStringLiteral("Konto 0"));
}

TEST_F(EntryLookupsTest, rowsByPosition) {
    for (double r : {19.0, 7.0, 0.0}) addRate(*rates, r);
    const std::pair<int, double> rateCases[] = {{-1, 0}, {0, 19}, {1, 7}, {2, 0}, {3, 0}, {100, 0}};
    for (auto [index, expected] : rateCases) EXPECT_EQ(rateAt(*rates, index), expected) << index;

    addAccount(*accounts, 10, QStringLiteral("A"));
    addAccount(*accounts, 20, QStringLiteral("B"));
    const std::pair<int, int> accountCases[] = {{-1, 0}, {0, 10}, {1, 20}, {2, 0}};
    for (auto [index, expected] : accountCases) EXPECT_EQ(accountNrAt(*accounts, index), expected) << index;
}

TEST_F(EntryLookupsTest, duplicateNumbersSelectTheFirstAndNameTheLast) {
    addAccount(*accounts, 0, QStringLiteral("Nicht zugeordnet"));
    addAccount(*accounts, 5, QStringLiteral("Erste Fünf"));
    addAccount(*accounts, 7, QStringLiteral("Sieben"));
    addAccount(*accounts, 5, QStringLiteral("Zweite Fünf"));
    EXPECT_EQ(rowOfAccount(*accounts, 5), 1);
    EXPECT_EQ(findKonto(*accounts, 5), QStringLiteral("Zweite Fünf"));
    EXPECT_EQ(findKonto(*accounts, 7), QStringLiteral("Sieben"));
    EXPECT_EQ(rowOfAccount(*accounts, 99), -1);
    EXPECT_EQ(findKonto(*accounts, 99), QStringLiteral("Konto 99"));
    EXPECT_EQ(findKonto(*accounts, -2), QStringLiteral("Konto -2"));
}

TEST_F(EntryLookupsTest, rateByNumberAtDoublePrecision) {
    for (double r : {19.0, 7.0, 0.0, 10.7}) addRate(*rates, r);
    EXPECT_EQ(rowOfRate(*rates, 7), 1);
    EXPECT_EQ(rowOfRate(*rates, 16), -1);
    EXPECT_EQ(rowOfRate(*rates, 10.7), 3);
    EXPECT_EQ(rowOfRate(*rates, 10.70000001), -1);
}

TEST_F(EntryLookupsTest, lookupsFollowTheTableOrder) {
    addAccount(*accounts, 30, QStringLiteral("C"));
    addAccount(*accounts, 10, QStringLiteral("A"));
    addAccount(*accounts, 20, QStringLiteral("B"));
    accounts->AddIndex(QStringLiteral("NR"), QStringLiteral("NR"));
    accounts->setIndexName(QStringLiteral("NR"));
    EXPECT_EQ(accountEntries(*accounts), (QStringList{"10 - A", "20 - B", "30 - C"}));
    EXPECT_EQ(accountNrAt(*accounts, 0), 10);
    EXPECT_EQ(rowOfAccount(*accounts, 30), 2);
}

TEST(EntryLookupsIndex, restoredSelections) {
    // remembered, count -> bounded, unbounded
    const std::tuple<int, int, int, int> cases[] = {
        {-1, 3, 0, 0}, {0, 3, 0, 0}, {2, 3, 2, 2}, {2, 1, 0, -1}, {5, 3, 2, -1}, {0, 0, -1, -1}, {-1, 0, -1, -1},
    };
    for (auto [remembered, count, bounded, unbounded] : cases) {
        EXPECT_EQ(boundedIndex(remembered, count), bounded) << remembered << "/" << count;
        EXPECT_EQ(unboundedIndex(remembered, count), unbounded) << remembered << "/" << count;
    }
}

}  // namespace
