// SPDX-License-Identifier: GPL-3.0-or-later
// The chart accounts table beside the year's tables, the check of a typed chart account, and texts longer
// than the booking text field of the format.
#include <gtest/gtest.h>

#include <QFile>

#include "DatevFixture.h"
#include "datev/DatevExport.h"
#include "datev/DatevKonten.h"
#include "storage/DbfTable.h"
#include "tax/Kontenzuordnung.h"

namespace {

using testsupport::readFile;

TEST(DatevKonten, RowsSurviveAWriteAndAFileWithBadRowsIsNeverWrittenOver) {
    testsupport::TempFolder dir;
    EXPECT_EQ(DatevKonten::fileName(3, 2026), QStringLiteral("datevkonten_3_2026.dbf"));
    DatevKonten none = DatevKonten::read(dir.path(), 3, 2026);
    EXPECT_TRUE(none.problem().isEmpty());
    EXPECT_FALSE(none.account(QStringLiteral("03"), DatevKonten::Art::Einnahme, 0));

    DatevKonten k;
    k.set(QStringLiteral("03"), DatevKonten::Art::Einnahme, 0, 8400);
    k.set(QStringLiteral("04"), DatevKonten::Art::Einnahme, 0, 4400);
    k.set(QStringLiteral("03"), DatevKonten::Art::Ausgabe, 12, 4930);
    k.set(QStringLiteral("03"), DatevKonten::Art::Sammel, 1, 1000);
    k.set(QStringLiteral("03"), DatevKonten::Art::Ausgabe, 13, 4100);
    k.set(QStringLiteral("03"), DatevKonten::Art::Ausgabe, 13, std::nullopt);
    k.write(dir.path(), 3, 2026);

    const DatevKonten back = DatevKonten::read(dir.path(), 3, 2026);
    EXPECT_TRUE(back.problem().isEmpty()) << back.problem().toStdString();
    EXPECT_EQ(back.account(QStringLiteral("03"), DatevKonten::Art::Einnahme, 0), 8400);
    EXPECT_EQ(back.account(QStringLiteral("04"), DatevKonten::Art::Einnahme, 0), 4400);
    EXPECT_EQ(back.account(QStringLiteral("03"), DatevKonten::Art::Ausgabe, 12), 4930);
    EXPECT_FALSE(back.account(QStringLiteral("03"), DatevKonten::Art::Ausgabe, 13));
    const DatevChart& skr03 = *DatevData::charts().chart(QStringLiteral("03"));
    const DatevChart& skr04 = *DatevData::charts().chart(QStringLiteral("04"));
    EXPECT_EQ(back.contraAccount(skr03, 1), 1000);
    EXPECT_EQ(back.contraAccount(skr03, 0), skr03.bank);
    EXPECT_EQ(back.contraAccount(skr04, 1), skr04.bank);

    // A row written by another hand with an unknown kind: read with a problem, and never written over.
    {
        DbfTable t;
        t.setFilePath(dir.path());
        t.setTableName(DatevKonten::fileName(3, 2026));
        t.Open();
        t.Insert();
        t.Fields(0).setAsString(QStringLiteral("03"));
        t.Fields(1).setAsString(QStringLiteral("X"));
        t.Fields(2).setAsInteger(5);
        t.Fields(3).setAsInteger(4400);
        t.Post();
        t.Close();
    }
    const QByteArray before = readFile(dir.file(DatevKonten::fileName(3, 2026)));
    DatevKonten damaged = DatevKonten::read(dir.path(), 3, 2026);
    EXPECT_TRUE(damaged.problem().contains(QStringLiteral("unlesbare Zeilen (Nr. 5)")))
        << damaged.problem().toStdString();
    EXPECT_EQ(damaged.account(QStringLiteral("03"), DatevKonten::Art::Einnahme, 0), 8400);
    damaged.set(QStringLiteral("03"), DatevKonten::Art::Einnahme, 1, 8300);
    EXPECT_THROW(damaged.write(dir.path(), 3, 2026), QuorvelError);
    EXPECT_EQ(readFile(dir.file(DatevKonten::fileName(3, 2026))), before);
}

TEST(DatevKonten, ATypedChartAccountIsTakenOrRefused) {
    const DatevChart& skr03 = *DatevData::charts().chart(QStringLiteral("03"));
    const struct {
        const char* typed;
        int konto;  // 0: refused
    } cases[] = {{"8400", 8400}, {" 1200 ", 1200}, {"840", 0},  {"84000", 0},
                 {"84a0", 0},    {"", 0},          {"0000", 0}, {"-840", 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        int konto = 0;
        const QString refusal = DatevKonten::refusal(QString::fromLatin1(c.typed), skr03, &konto);
        if (c.konto) {
            EXPECT_TRUE(refusal.isEmpty());
            EXPECT_EQ(konto, c.konto);
        } else {
            EXPECT_TRUE(
                refusal.endsWith(QStringLiteral("ist kein Konto des SKR 03: Ein DATEV-Konto besteht hier aus genau "
                                                "4 Ziffern, z. B. 1200.")))
                << refusal.toStdString();
        }
    }
}

TEST(DatevExport, ATextLongerThanTheFieldIsShortenedWithANote) {
    // An older bookings table with a wider text field.
    testsupport::TempFolder dir;
    DbfTable t;
    t.setFilePath(dir.path());
    t.setTableName(QStringLiteral("records_1_2026.dbf"));
    std::vector<FieldDef> defs = Booking::schema();
    defs[Booking::Text].size = 100;
    t.setFieldDefs(defs);
    t.CreateTable();
    t.Open();
    t.Insert();
    t.Fields(Booking::Datum).setAsDateTime(DayNumber::fromDate(QDate(2026, 5, 4)));
    t.Fields(Booking::Art).setAsString(QStringLiteral("A"));
    t.Fields(Booking::Text).setAsString(QStringLiteral("Reparatur ") + QString(80, QChar(0xE4)));
    t.Fields(Booking::Brutto).setAsFloat(9.99);
    t.Fields(Booking::MwSt).setAsFloat(19);
    t.Post();
    DatevKonten konten;
    konten.set(QStringLiteral("03"), DatevKonten::Art::Ausgabe, 0, 4800);
    DatevYear y;
    const QString name = dir.file(QStringLiteral("EXTF_lang.csv"));
    const auto r = DatevExport(DatevData::format(), DatevData::charts(), konten, Kontenzuordnung(), y.settings())
                       .writeFiles(t, name);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->shortenedTexts, 1);
    EXPECT_EQ(r->notes,
              QStringList{QStringLiteral("04.05.2026, Beleg \u201e\u201c: Buchungstext auf 60 Zeichen gek\u00fcrzt")});
    const auto lines = readDatevFile(readFile(name));
    ASSERT_EQ(lines.size(), 3);
    const int col = datevColumn(QStringLiteral("Buchungstext"));
    EXPECT_EQ(lines[2][col - 1].bytes, QByteArray("Reparatur ") + QByteArray(50, '\xE4'));
}

}  // namespace
