// SPDX-License-Identifier: GPL-3.0-or-later
// The booking batch read back field by field against the format data, both charts, bookings that cannot go
// out, tax keys by rate, more bookings than one file holds, a full disk and a cancelled export.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "DatevFixture.h"
#include "datev/DatevExport.h"
#include "datev/DatevKonten.h"
#include "support/FailingFileIo.h"
#include "tax/Kontenzuordnung.h"

namespace {

using testsupport::readFile;

// The publisher's own example header line of a booking batch (developer.datev.de, DATEV-Format, Header).
const QByteArray publisherHeader =
    "\"EXTF\";700;21;\"Buchungsstapel\";13;20240130140440439;;\"RE\";\"\";\"\";29098;55003;20240101;4;20240101;"
    "20240831;\"Buchungsstapel\";\"WD\";1;0;0;\"EUR\";;\"\";;;\"03\";;;\"\";\"\"";

QByteArray field(const QList<ReadField>& line, const char* heading) {
    const int col = datevColumn(QString::fromUtf8(heading));
    return col > 0 && col <= line.size() ? line[col - 1].bytes : QByteArray("<keine Spalte>");
}

TEST(DatevExport, HeaderLineIsThePublishersExample) {
    DatevYear y(2024);
    DatevSettings s = y.settings();
    s.bis = QDate(2024, 8, 31);
    s.diktatkuerzel = QStringLiteral("WD");
    s.erzeugtAm = QDateTime(QDate(2024, 1, 30), QTime(14, 4, 40, 439));
    const DatevKonten konten;
    const Kontenzuordnung zuordnung;
    const DatevExport exporter(DatevData::format(), DatevData::charts(), konten, zuordnung, s);
    EXPECT_EQ(exporter.headerLine().toLatin1(), publisherHeader);

    const QString name = y.dir.file(QStringLiteral("EXTF_Beispiel.csv"));
    ASSERT_TRUE(exporter.writeFiles(y.set.Dbf1, name));
    const auto lines = readDatevFile(readFile(name));
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(readFile(name).startsWith(publisherHeader + "\r\n"));
    // The headings line holds the data file's columns, in order, the umlauts in code page 1252.
    ASSERT_EQ(lines[1].size(), DatevData::format().columns.size());
    EXPECT_EQ(lines[1][7].bytes, QByteArray("Gegenkonto (ohne BU-Schl\xFCssel)"));
    for (int c = 0; c < lines[1].size(); ++c)
        EXPECT_EQ(lines[1][c].bytes, DatevData::format().columns[c].toLatin1()) << "Spalte " << c + 1;
}

struct LineCase {
    const char* name;
    const char* art;
    double brutto;
    double rate;
    int konto;
    int sammel;
    QString beleg;
    QString text;
    // expected fields
    QByteArray umsatz, sh, konto_, gegen, bu, datum, belegfeld, buchungstext;
};

TEST(DatevExport, EveryBookingLineReadsBackFieldByField) {
    DatevYear y;
    const LineCase cases[] = {
        {"Einnahme 19 %", "E", 119.0, 19, 0, 0, "RE-1", "Verkauf", "119,00", "H", "8400", "1200", "3", "1503", "RE-1",
         "Verkauf"},
        {"Einnahme 7 %", "E", 10.7, 7, 1, 0, "2", "Buch", "10,70", "H", "8300", "1200", "2", "1503", "2", "Buch"},
        {"Ausgabe 19 % aus der Kasse", "A", 23.8, 19, 0, 1, "K/7", "B\u00fcro \"M\u00fcller\"", "23,80", "S", "4930",
         "1000", "9", "1503", "K/7", "B\xFCro \"M\xFCller\""},
        {"Ausgabe 7 %", "A", 5.35, 7, 0, 0, "", "Porto", "5,35", "S", "4930", "1200", "8", "1503", "", "Porto"},
        {"Gutschrift auf Einnahmen", "E", -50.0, 19, 0, 0, "G1", "Storno", "50,00", "S", "8400", "1200", "3", "1503",
         "G1", "Storno"},
        {"Ausgabe 0 %", "A", 12.0, 0, 0, 0, "", "Geb\u00fchr", "12,00", "S", "4930", "1200", "", "1503", "",
         "Geb\xFChr"},
        {"neutrale Einnahme", "N", 1000.0, 19, 0, 0, "", "Einlage", "1000,00", "H", "8400", "1200", "", "1503", "",
         "Einlage"},
        {"Ausgabe ohne Vorsteuerabzug", "A", 30.0, 19, 7, 0, "", "Bewirtung", "30,00", "S", "4654", "1200", "", "1503",
         "", "Bewirtung"},
        {"Beleg mit Leerzeichen und Punkt", "A", 1.0, 19, 0, 0, "RE 2026.01", "Beleg", "1,00", "S", "4930", "1200", "9",
         "1503", "RE202601", "Beleg"},
        {"gro\u00dfer Betrag", "E", 1234567.89, 19, 0, 0, "", "", "1234567,89", "H", "8400", "1200", "3", "1503", "",
         ""},
    };
    for (const LineCase& c : cases)
        y.book(QDate(2026, 3, 15), c.art, c.brutto, c.rate, c.konto, c.sammel, c.beleg, c.text);
    DatevKonten konten;
    konten.set(QStringLiteral("03"), DatevKonten::Art::Einnahme, 0, 8400);
    konten.set(QStringLiteral("03"), DatevKonten::Art::Einnahme, 1, 8300);
    konten.set(QStringLiteral("03"), DatevKonten::Art::Ausgabe, 0, 4930);
    konten.set(QStringLiteral("03"), DatevKonten::Art::Ausgabe, 7, 4654);
    konten.set(QStringLiteral("03"), DatevKonten::Art::Sammel, 1, 1000);
    Kontenzuordnung zuordnung;
    zuordnung.set(KontoSeite::Ausgabe, 7, {UstArt::OhneVorsteuerabzug, QString(), false});

    const QString name = y.dir.file(QStringLiteral("EXTF_2026.csv"));
    const auto result = DatevExport(DatevData::format(), DatevData::charts(), konten, zuordnung, y.settings())
                            .writeFiles(y.set.Dbf1, name);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->exported, int(std::size(cases)));
    EXPECT_EQ(result->skippedCount, 0);
    EXPECT_EQ(result->shortenedTexts, 0);
    EXPECT_EQ(result->changedReceipts, 1);
    EXPECT_EQ(result->notes, QStringList{"15.03.2026, Beleg \u201eRE 2026.01\u201c: im Belegfeld nur "
                                         "\u201eRE202601\u201c, DATEV nimmt dort keine anderen Zeichen"});
    const auto lines = readDatevFile(readFile(name));
    ASSERT_EQ(lines.size(), 2 + int(std::size(cases)));
    for (size_t i = 0; i < std::size(cases); ++i) {
        const LineCase& c = cases[i];
        const QList<ReadField>& l = lines[int(i) + 2];
        SCOPED_TRACE(c.name);
        ASSERT_EQ(l.size(), DatevData::format().columns.size());
        EXPECT_EQ(field(l, "Umsatz (ohne Soll/Haben-Kz)"), c.umsatz);
        EXPECT_EQ(field(l, "Soll/Haben-Kennzeichen"), c.sh);
        EXPECT_EQ(field(l, "WKZ Umsatz"), "EUR");
        EXPECT_EQ(field(l, "Konto"), c.konto_);
        EXPECT_EQ(field(l, "Gegenkonto (ohne BU-Schl\u00fcssel)"), c.gegen);
        EXPECT_EQ(field(l, "BU-Schl\u00fcssel"), c.bu);
        EXPECT_EQ(field(l, "Belegdatum"), c.datum);
        EXPECT_EQ(field(l, "Belegfeld 1"), c.belegfeld);
        EXPECT_EQ(field(l, "Buchungstext"), c.buchungstext);
        EXPECT_EQ(field(l, "Festschreibung"), "0");
        // Texts are quoted, numbers are not; every other column stays empty.
        for (int col = 0; col < l.size(); ++col) {
            const QString heading = DatevData::format().columns[col];
            const bool text = heading == u"Soll/Haben-Kennzeichen" || heading == u"WKZ Umsatz" ||
                              heading == u"BU-Schl\u00fcssel" || heading == u"Belegfeld 1" ||
                              heading == u"Buchungstext";
            EXPECT_EQ(l[col].quoted, text) << heading.toStdString();
            const bool filled = text || heading.startsWith(u"Umsatz") || heading == u"Konto" ||
                                heading.startsWith(u"Gegenkonto") || heading == u"Belegdatum" ||
                                heading == u"Festschreibung";
            if (!filled) {
                EXPECT_TRUE(l[col].bytes.isEmpty()) << heading.toStdString();
            }
        }
    }
}

TEST(DatevExport, TheChosenChartGivesItsAccountsAndHeader) {
    struct Case {
        const char* chart;
        int revenue;
        QByteArray bank, cash;
    } cases[] = {{"03", 8400, "1200", "1000"}, {"04", 4400, "1800", "1600"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.chart);
        DatevYear y;
        y.book(QDate(2026, 7, 1), "E", 100, 19, 0, 0);
        y.book(QDate(2026, 7, 2), "E", 100, 19, 0, 1);
        DatevKonten konten;
        konten.set(QStringLiteral("03"), DatevKonten::Art::Einnahme, 0, 8400);
        konten.set(QStringLiteral("04"), DatevKonten::Art::Einnahme, 0, 4400);
        const DatevChart& chart = *DatevData::charts().chart(QString::fromLatin1(c.chart));
        konten.set(chart.code, DatevKonten::Art::Sammel, 1, chart.kasse);
        const QString name = y.dir.file(QStringLiteral("EXTF_x.csv"));
        ASSERT_TRUE(DatevExport(DatevData::format(), DatevData::charts(), konten, Kontenzuordnung(),
                                y.settings(QString::fromLatin1(c.chart)))
                        .writeFiles(y.set.Dbf1, name));
        const auto lines = readDatevFile(readFile(name));
        ASSERT_EQ(lines.size(), 4);
        EXPECT_EQ(lines[0][26].bytes, c.chart);  // Sachkontenrahmen
        EXPECT_EQ(lines[0][13].bytes, "4");      // Sachkontenlänge
        EXPECT_EQ(field(lines[2], "Konto"), QByteArray::number(c.revenue));
        EXPECT_EQ(field(lines[2], "Gegenkonto (ohne BU-Schl\u00fcssel)"), c.bank);
        EXPECT_EQ(field(lines[3], "Gegenkonto (ohne BU-Schl\u00fcssel)"), c.cash);
    }
}

TEST(DatevExport, BookingsThatCannotGoOutAreListedAndLeftOut) {
    DatevYear y;
    y.book(QDate(2026, 2, 1), "E", 119, 19, 0);   // exported
    y.book(QDate(2026, 2, 2), "E", 107, 7, 5);    // income account 5 has no chart account
    y.book(QDate(2026, 2, 3), "E", 50, 7, 5);     // again
    y.book(QDate(2026, 2, 4), "A", 20, 19, 9);    // expense account 9 neither
    y.book(QDate(2026, 2, 5), "A", 10, 5.5, 0);   // no key for 5.5 %
    y.book(QDate(2026, 2, 6), "A", 0, 19, 0);     // 0,00
    y.book(QDate(2025, 12, 31), "A", 10, 19, 0);  // outside the fiscal year
    y.book(QDate(2026, 2, 8), "A", 16, 16, 0);    // 16 % has a key: exported
    DatevKonten konten;
    konten.set(QStringLiteral("03"), DatevKonten::Art::Einnahme, 0, 8400);
    konten.set(QStringLiteral("03"), DatevKonten::Art::Ausgabe, 0, 4930);
    konten.set(QStringLiteral("04"), DatevKonten::Art::Einnahme, 5, 4300);  // another chart's row does not count
    const QString name = y.dir.file(QStringLiteral("EXTF_x.csv"));
    const auto r = DatevExport(DatevData::format(), DatevData::charts(), konten, Kontenzuordnung(), y.settings())
                       .writeFiles(y.set.Dbf1, name);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->exported, 2);
    EXPECT_EQ(r->skippedCount, 6);
    const std::map<std::pair<char, int>, int> unmapped{{{'E', 5}, 2}, {{'A', 9}, 1}};
    EXPECT_EQ(r->unmappedAccounts, unmapped);
    QStringList reasons;
    for (const DatevSkipped& s : r->skipped) reasons << s.reason;
    EXPECT_EQ(reasons, QStringList({"Einnahmekonto 5 hat kein DATEV-Konto", "Einnahmekonto 5 hat kein DATEV-Konto",
                                    "Ausgabekonto 9 hat kein DATEV-Konto",
                                    "f\u00fcr den Steuersatz 5,5 % ist kein DATEV-Steuerschl\u00fcssel hinterlegt",
                                    "Betrag 0,00", "Datum au\u00dferhalb des Wirtschaftsjahres"}));
    const auto lines = readDatevFile(readFile(name));
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(field(lines[3], "BU-Schl\u00fcssel"), "7");  // Vorsteuer 16 %
}

TEST(DatevExport, MoreBookingsThanAFileHoldsGoToSeveralFiles) {
    DatevYear y;
    for (int i = 1; i <= 5; ++i) y.book(QDate(2026, 1, i), "E", i, 19, 0);
    DatevKonten konten;
    konten.set(QStringLiteral("03"), DatevKonten::Art::Einnahme, 0, 8400);
    DatevFormat small = DatevData::format();
    small.maxBookingsPerFile = 2;
    const auto r = DatevExport(small, DatevData::charts(), konten, Kontenzuordnung(), y.settings())
                       .writeFiles(y.set.Dbf1, y.dir.file(QStringLiteral("EXTF_Jahr.csv")));
    ASSERT_TRUE(r);
    EXPECT_EQ(r->files,
              QStringList({y.dir.file("EXTF_Jahr.csv"), y.dir.file("EXTF_Jahr_2.csv"), y.dir.file("EXTF_Jahr_3.csv")}));
    QByteArrayList amounts;
    for (const QString& f : r->files) {
        const auto lines = readDatevFile(readFile(f));
        EXPECT_TRUE(readFile(f).startsWith(readFile(r->files[0]).left(200)));
        for (int i = 2; i < lines.size(); ++i) amounts << field(lines[i], "Umsatz (ohne Soll/Haben-Kz)");
    }
    EXPECT_EQ(amounts, QByteArrayList({"1,00", "2,00", "3,00", "4,00", "5,00"}));
}

TEST(DatevExport, FullDiskOrCancelLeavesThePreviousFile) {
    DatevYear y;
    for (int i = 0; i < 3000; ++i)
        y.book(QDate(2026, 1, 1 + i % 28), "E", 1 + i, 19, 0, 0, QString::number(i), QStringLiteral("Verkauf"));
    DatevKonten konten;
    konten.set(QStringLiteral("03"), DatevKonten::Art::Einnahme, 0, 8400);
    const DatevExport exporter(DatevData::format(), DatevData::charts(), konten, Kontenzuordnung(), y.settings());
    const QString name = y.dir.file(QStringLiteral("EXTF_alt.csv"));
    testsupport::writeFile(name, "alter Inhalt");
    {
        testsupport::IoFaults faults;
        faults.room = 100000;
        testsupport::FailingFileIo io(faults);
        EXPECT_THROW(exporter.writeFiles(y.set.Dbf1, name), FileIoError);
    }
    EXPECT_FALSE(exporter.writeFiles(y.set.Dbf1, name, [](qint64 done, qint64 total) { return done < total * 3 / 4; }));
    EXPECT_EQ(readFile(name), QByteArray("alter Inhalt"));
    EXPECT_EQ(QDir(y.dir.path()).entryList({QStringLiteral("EXTF_*")}, QDir::Files), QStringList{"EXTF_alt.csv"});
    EXPECT_THROW(exporter.writeFiles(y.set.Dbf1, y.dir.file(QStringLiteral("Buchungen.csv"))), QuorvelError);
}

TEST(DatevExport, SettingsTheFormatCannotTakeAreRefused) {
    DatevYear y;
    const DatevKonten konten;
    const Kontenzuordnung z;
    struct Case {
        const char* name;
        std::function<void(DatevSettings&)> change;
        const char* message;
    } cases[] = {
        {"Beraternummer", [](DatevSettings& s) { s.beraternummer = 1000; },
         "Die Beraternummer muss zwischen 1001 und 9999999 liegen; eingetragen ist 1000."},
        {"Mandantennummer", [](DatevSettings& s) { s.mandantennummer = 100000; },
         "Die Mandantennummer muss zwischen 1 und 99999 liegen; eingetragen ist 100000."},
        {"Bezeichnung", [](DatevSettings& s) { s.bezeichnung = QString(31, QLatin1Char('b')); },
         "ist f\u00fcr das Feld Bezeichnung zu lang: h\u00f6chstens 30 Zeichen."},
        {"Zeitraum", [](DatevSettings& s) { s.bis = QDate(2027, 1, 1); },
         "muss im Wirtschaftsjahr ab 01.01.2026 und in einem Kalenderjahr liegen."},
        {"Kontenrahmen", [](DatevSettings& s) { s.chart = QStringLiteral("05"); },
         "Der Kontenrahmen \u201e05\u201c ist nicht bekannt."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DatevSettings s = y.settings();
        c.change(s);
        try {
            DatevExport(DatevData::format(), DatevData::charts(), konten, z, s);
            ADD_FAILURE() << "nicht abgelehnt";
        } catch (const QuorvelError& e) {
            EXPECT_TRUE(e.message().endsWith(QString::fromUtf8(c.message))) << e.message().toStdString();
        }
    }
}

}  // namespace
