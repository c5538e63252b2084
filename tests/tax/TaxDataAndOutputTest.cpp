// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLocale>

#include "exchange/YearTransfer.h"
#include "reports/output/RecordingCanvas.h"
#include "support/SmallDisk.h"
#include "tax/Kontenzuordnung.h"
#include "tax/TaxBookings.h"
#include "tax/TaxFormPages.h"
#include "tax/TaxResults.h"
#include "tax/TaxSettings.h"
#include "TaxFixture.h"

using testsupport::readFile;

// Every line of every form file names its sources, and the loader takes the newest file not after the
// booking year, saying so on the page when it is an earlier one.
TEST(TaxFormData, EveryLineIsSourcedAndLaterYearsUseTheNewestEarlierForm) {
    for (const QString& form : {TaxFormData::ustva, TaxFormData::euer}) {
        const QList<int> years = TaxFormData::availableYears(form);
        ASSERT_FALSE(years.isEmpty());
        const TaxForm f = TaxFormData::load(form, years.last());
        EXPECT_TRUE(f.fallbackNote().isEmpty());
        for (const TaxFormLine& l : f.lines)
            for (const QString& s : l.sources) EXPECT_FALSE(f.sources.value(s).isEmpty()) << l.id.toStdString();
        const TaxForm later = TaxFormData::load(form, years.last() + 3);
        EXPECT_EQ(later.year, years.last());
        EXPECT_TRUE(later.fallbackNote().contains(QString::number(years.last() + 3)));
    }
    const TaxForm u = TaxFormData::load(TaxFormData::ustva, 2026);
    EXPECT_EQ(u.line(QStringLiteral("kz81"))->rate, 19);
    EXPECT_EQ(u.line(QStringLiteral("kz86"))->rate, 7);
    EXPECT_EQ(u.line(QStringLiteral("kz35"))->kzText(), QStringLiteral("Kz 35/36"));
    EXPECT_THROW(TaxFormData::load(TaxFormData::ustva, 1999), TaxDataError);
}

TEST(TaxFormData, BrokenFilesAreRefusedWithAGermanReason) {
    const struct {
        const char* json;
        const char* reason;
    } cases[] = {
        {"{", "fehlerhaft"},
        {R"({"form":"ustva","year":2026,"sources":{"a":"x"},"lines":[{"id":"k","label":"L"}]})", "keine Quelle"},
        {R"({"form":"ustva","year":2026,"sources":{"a":"x"},"lines":[{"id":"k","label":"L","source":["b"]}]})",
         "unbekannte Quelle"},
        {R"({"form":"ustva","year":2026,"sources":{"a":"x"},"lines":[{"id":"k","kz":"8x","label":"L","source":["a"]}]})",
         "keine Zahl"},
        {R"({"form":"ustva","year":2026,"sources":{},"lines":[]})", "keine Zeilen"},
        {R"({"form":"ustva","year":2026,"sources":{"a":"x"},"lines":[{"id":"k","zeile":"1a","label":"L","source":["a"]}]})",
         "Zeilennummer \"1a\" ist keine Zahl"},
    };
    for (const auto& c : cases) {
        try {
            TaxFormData::parse(QByteArray(c.json), QStringLiteral("test.json"));
            ADD_FAILURE() << c.json;
        } catch (const TaxDataError& e) {
            EXPECT_TRUE(e.message().contains(QString::fromUtf8(c.reason))) << e.message().toStdString();
        }
    }
}

// The assignment table: created with the set, rows written as a whole new file and read back; a year
// without rows has the defaults of the issue.
TEST(Kontenzuordnung, IsCreatedWithTheSetAndKeepsWhatWasChosen) {
    TaxYear y;
    ASSERT_TRUE(y.set.Kontenzuordnung.Active());
    EXPECT_TRUE(QFile::exists(y.dir.file(QStringLiteral("kontenzuordnung_1_2026.dbf"))));
    Kontenzuordnung z = Kontenzuordnung::read(y.set.Kontenzuordnung);
    EXPECT_EQ(z.forAccount(KontoSeite::Einnahme, 0).ust, UstArt::Regelsteuersatz);
    EXPECT_EQ(z.forAccount(KontoSeite::Ausgabe, 0).ust, UstArt::Vorsteuerabzug);
    EXPECT_EQ(z.forAccount(KontoSeite::Ausgabe, 0).euerZeile, QStringLiteral("ausgabenUebrige"));
    z.set(KontoSeite::Einnahme, 1, {UstArt::InnergemeinschaftlicheLieferung, QStringLiteral("einnahmenSteuerfrei"), true});
    z.set(KontoSeite::Ausgabe, 0, {UstArt::UstZahlung, QStringLiteral("ausgabenUebrige"), true});
    z.write(y.set.Kontenzuordnung);
    TableSet again;
    again.setNames(1, 2026);
    again.InitDB(y.dir.path());
    const Kontenzuordnung read = Kontenzuordnung::read(again.Kontenzuordnung);
    EXPECT_EQ(read.forAccount(KontoSeite::Einnahme, 1).ust, UstArt::InnergemeinschaftlicheLieferung);
    EXPECT_EQ(read.forAccount(KontoSeite::Ausgabe, 0).euerZeile, QStringLiteral("ustGezahlt"));  // fixed by treatment
    EXPECT_TRUE(read.problem().isEmpty());
}

TEST(Kontenzuordnung, AFullDiskKeepsThePreviousTableAndSaysSo) {
    testsupport::SmallDisk disk(256);
    if (!disk.ok()) GTEST_SKIP() << disk.skipReason().toStdString();
    TableSet set;
    set.setNames(1, 2026);
    ASSERT_TRUE(set.InitDB(disk.path()).isEmpty());
    const QString file = set.Kontenzuordnung.absoluteFileName();
    const QByteArray before = readFile(file);
    Kontenzuordnung z;
    for (int nr = 0; nr < 400; ++nr) z.set(KontoSeite::Ausgabe, nr, {UstArt::OhneVorsteuerabzug, {}, true});
    disk.fill();
    try {
        z.write(set.Kontenzuordnung);
        FAIL() << "written on a full disk";
    } catch (const QuorvelError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("voll"))) << e.message().toStdString();
    }
    EXPECT_EQ(readFile(file), before);
    EXPECT_TRUE(set.Kontenzuordnung.Active());
    set.closeAll();
}

TEST(Kontenzuordnung, AWriteProtectedTableIsRefusedAndAClosedOneGivesTheDefaultsWithAReason) {
    TaxYear y;
    y.set.closeAll();
    y.set.setReadOnly(true, QStringLiteral("Nur lesen."));
    y.set.InitDB(y.dir.path());
    EXPECT_THROW(Kontenzuordnung().write(y.set.Kontenzuordnung), QuorvelError);
    y.set.Kontenzuordnung.Close();
    const Kontenzuordnung closed = Kontenzuordnung::read(y.set.Kontenzuordnung);
    EXPECT_FALSE(closed.problem().isEmpty());
    EXPECT_EQ(closed.forAccount(KontoSeite::Einnahme, 5).ust, UstArt::Regelsteuersatz);
}

// The tax number beside the address file (which keeps its layout), refused when it could break the file.
TEST(TaxSettings, RoundTripAndRefusal) {
    testsupport::TempFolder dir;
    const QString file = TaxSettings::fileName(dir.path(), 3);
    EXPECT_TRUE(file.endsWith(QStringLiteral("steuerangaben_3_.txt")));
    EXPECT_FALSE(TaxSettings::load(file).kleinunternehmer);
    TaxSettings s{QStringLiteral("21/815/08150"), true};
    s.save(file);
    const TaxSettings read = TaxSettings::load(file);
    EXPECT_EQ(read.steuernummer, QStringLiteral("21/815/08150"));
    EXPECT_TRUE(read.kleinunternehmer);
    EXPECT_THROW((TaxSettings{QStringLiteral("1=2"), false}.save(file)), QuorvelError);
    EXPECT_EQ(TaxSettings::load(file).steuernummer, QStringLiteral("21/815/08150"));
}

namespace {

std::vector<QString> textsOf(const RecordingCanvas& c) {
    std::vector<QString> t;
    for (const DrawnItem& i : c.items()) t.push_back(i.text);
    return t;
}

bool has(const std::vector<QString>& texts, const QString& s) {
    for (const QString& t : texts)
        if (t.contains(s)) return true;
    return false;
}

}  // namespace

// The form pages: header with tax number, period and printing date; the lines with their Kennzahlen; the
// reconciliation with the booked VAT; the unplaced bookings; CSV in German notation whatever the locale.
TEST(TaxPages, UstvaPageAndCsvCarryTheFiguresOfTheForm) {
    TaxYear y;
    y.book(QDate(2026, 4, 16), "E", 100.00, 19, 0, QStringLiteral("R-1"), QStringLiteral("Beratung"));
    y.book(QDate(2026, 4, 17), "E", 40.00, 0, 0, QStringLiteral("R-2"), QStringLiteral("Ohne Steuer"));
    y.book(QDate(2026, 4, 18), "A", 119.50, 19, 0, QStringLiteral("E-1"), QStringLiteral("Material"));
    const TaxBookingSource source(y.set.Dbf1);
    const UstvaResult r = TaxComputation::ustva(source, accountNumbers(y.set.EinnahmeKonten),
                                                accountNumbers(y.set.AusgabeKonten),
                                                Kontenzuordnung::read(y.set.Kontenzuordnung),
                                                CalcZeitraum(PeriodItem::April, 2026),
                                                TaxFormData::load(TaxFormData::ustva, 2026));
    TaxPageHeader h{{QStringLiteral("Muster GmbH"), QStringLiteral("Hauptstr. 1")}, QStringLiteral("21/815/08150"),
                    QStringLiteral("April 2026"), QStringLiteral("10.12.2026")};
    RecordingCanvas canvas(300);
    PageParams p{true, 1, 300, 2480, 3508};
    EXPECT_LE(TaxFormPages::ustva(canvas, r, h, p), 2);
    const auto t = textsOf(canvas);
    for (const QString& s : {QStringLiteral("Steuernummer: 21/815/08150"), QStringLiteral("Zeitraum: April 2026"),
                             QStringLiteral("Gedruckt am 10.12.2026"), QStringLiteral("84 €"), QStringLiteral("15,96 €"),
                             QStringLiteral("Summe der gebuchten Umsatzsteuer"), QStringLiteral("15,97 €"),
                             QStringLiteral("-0,01 €"), QStringLiteral("19,08 €"), QStringLiteral("Unvollständig"),
                             QStringLiteral("Ohne Steuer"), QStringLiteral("Textfilter"),
                             QStringLiteral("* Kennzahl oder Zeile")})
        EXPECT_TRUE(has(t, s)) << s.toStdString();

    for (const QLocale& locale : {QLocale(QLocale::German, QLocale::Germany), QLocale(QLocale::English, QLocale::UnitedStates)}) {
        testsupport::ScopedLocale scoped(locale);
        const QByteArray csv = TaxCsv::ustva(r);
        EXPECT_TRUE(csv.startsWith("\xEF\xBB\xBFZeile;Kennzahl;Bezeichnung;Betrag;Hinweis\r\n"));
        EXPECT_TRUE(csv.contains("\n13;81;Steuerpflichtige Umsätze zum Steuersatz von 19 %;84;Zeile nur aus")) << csv.toStdString();
        EXPECT_TRUE(csv.contains("\n38;66;Vorsteuerbeträge aus Rechnungen von anderen Unternehmern;19,08;"));
        EXPECT_TRUE(csv.contains("\n;;Summe der gebuchten Umsatzsteuer;15,97;\r\n"));
        EXPECT_TRUE(csv.contains("\n50;83;Verbleibende Umsatzsteuer-Vorauszahlung (Überschuss mit Minuszeichen);-3,12;"));
    }
}

TEST(TaxPages, EuerHasASidePagePerLineWithItsBookings) {
    TaxYear y;
    for (int i = 0; i < 120; ++i)
        y.book(QDate(2026, 1, 1).addDays(i), i % 3 ? "E" : "A", 11.9 + i, 19, 0, QString::number(i + 1),
               QStringLiteral("Posten %1").arg(i + 1));
    const TaxBookingSource source(y.set.Dbf1);
    const EuerResult r = TaxComputation::euer(source, accountNumbers(y.set.EinnahmeKonten),
                                              accountNumbers(y.set.AusgabeKonten),
                                              Kontenzuordnung::read(y.set.Kontenzuordnung), 2026,
                                              TaxFormData::load(TaxFormData::euer, 2026));
    TaxPageHeader h{{QStringLiteral("Muster GmbH")}, QString(), QStringLiteral("2026"), QStringLiteral("10.12.2026")};
    PageParams p{true, 1, 300, 2480, 3508};
    RecordingCanvas canvas(300);
    const int pages = TaxFormPages::euer(canvas, r, source, h, p);
    EXPECT_GE(pages, 5);  // the form and a side page for each of the four lines with bookings
    EXPECT_EQ(canvas.newPages(), pages - 1);
    const auto t = textsOf(canvas);
    EXPECT_TRUE(has(t, QStringLiteral("Buchungen zu Kz 112 Umsatzsteuerpflichtige Betriebseinnahmen")));
    EXPECT_TRUE(has(t, QStringLiteral("Posten 120")));
    EXPECT_TRUE(has(t, QStringLiteral("Gewinn/Verlust")));
    const QByteArray csv = TaxCsv::euer(r);
    EXPECT_TRUE(csv.contains(";Summe Betriebseinnahmen;"));
}

// The year transfer carries the assignment into the new year; an old year without one leaves the new
// year's table as it is.
TEST(YearTransferOfAssignments, CarriesTheTableAndSkipsAYearWithoutOne) {
    TaxYear old(2025);
    Kontenzuordnung z = Kontenzuordnung::read(old.set.Kontenzuordnung);
    z.set(KontoSeite::Einnahme, 0, {UstArt::NichtSteuerbar, {}, true});
    z.write(old.set.Kontenzuordnung);
    old.set.closeAll();
    YearTransfer::CopyFailure failure;
    ASSERT_TRUE(YearTransfer::copyAssignments(old.dir.path(), 1, 2025, 2026, &failure)) << failure.reason.toStdString();
    TableSet next;
    next.setNames(1, 2026);
    next.InitDB(old.dir.path());
    EXPECT_EQ(Kontenzuordnung::read(next.Kontenzuordnung).forAccount(KontoSeite::Einnahme, 0).ust, UstArt::NichtSteuerbar);
    next.closeAll();
    const QByteArray before = readFile(old.dir.file(QStringLiteral("kontenzuordnung_1_2026.dbf")));
    EXPECT_TRUE(YearTransfer::copyAssignments(old.dir.path(), 1, 2024, 2026, &failure));
    EXPECT_EQ(readFile(old.dir.file(QStringLiteral("kontenzuordnung_1_2026.dbf"))), before);
}
