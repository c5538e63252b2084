// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "startup/ClientNaming.h"
#include "startup/TableSet.h"

namespace {

struct NamingCase {
    int mandantnr;
    int year;
    const char* prefix;
    const char* records;
    const char* address;
};

void PrintTo(const NamingCase& c, std::ostream* os) {
    *os << c.records;
}

class ClientNamingTest : public ::testing::TestWithParam<NamingCase> {};

TEST_P(ClientNamingTest, PrefixTableAndAddressNames) {
    const NamingCase& c = GetParam();
    EXPECT_EQ(ClientNaming::mandantPrefix(c.mandantnr), QString::fromLatin1(c.prefix));
    EXPECT_EQ(ClientNaming::tableFileName(QStringLiteral("records"), c.mandantnr, c.year),
              QString::fromLatin1(c.records));
    EXPECT_EQ(ClientNaming::addressFileName(c.mandantnr), QString::fromLatin1(c.address));
}

INSTANTIATE_TEST_SUITE_P(Clients, ClientNamingTest,
                         ::testing::Values(NamingCase{1, 2026, "_1_", "records_1_2026.dbf", "anschrift_1_.txt"},
                                           NamingCase{3, 2024, "_3_", "records_3_2024.dbf", "anschrift_3_.txt"},
                                           NamingCase{12, 2025, "_12_", "records_12_2025.dbf", "anschrift_12_.txt"},
                                           NamingCase{1000000, 3000, "_1000000_", "records_1000000_3000.dbf",
                                                      "anschrift_1000000_.txt"},
                                           // intermediate years while a year is typed digit by digit
                                           NamingCase{2, 20, "_2_", "records_2_20.dbf", "anschrift_2_.txt"}));

TEST(TableSetNames, SetNamesNamesAllEightTablesAndTheWorkTable) {
    TableSet set;
    set.setNames(12, 2025);
    EXPECT_EQ(set.Dbf1.TableName(), QStringLiteral("records_12_2025.dbf"));
    EXPECT_EQ(set.dauer.TableName(), QStringLiteral("dauerbuchungen_12_2025.dbf"));
    EXPECT_EQ(set.EinnahmeKonten.TableName(), QStringLiteral("eaccounts_12_2025.dbf"));
    EXPECT_EQ(set.AusgabeKonten.TableName(), QStringLiteral("aaccounts_12_2025.dbf"));
    EXPECT_EQ(set.Sammelkonten.TableName(), QStringLiteral("saccounts_12_2025.dbf"));
    EXPECT_EQ(set.kostenkonten.TableName(), QStringLiteral("kaccounts_12_2025.dbf"));
    EXPECT_EQ(set.MwstSaetze.TableName(), QStringLiteral("mwstsaetze_12_2025.dbf"));
    EXPECT_EQ(set.buchungstexte.TableName(), QStringLiteral("buchungstexte_12_2025.dbf"));
    EXPECT_EQ(set.Dbf2.TableName(), QStringLiteral("temp.dbf"));
}

}  // namespace
