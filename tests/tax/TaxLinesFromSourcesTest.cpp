// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "journal/VatSummary.h"
#include "storage/TableRewrite.h"
#include "tax/Kontenzuordnung.h"
#include "tax/TaxBookings.h"
#include "tax/TaxResults.h"
#include "TaxFixture.h"

// The Kennzahlen and line numbers the data files took from their sources, the purchases whose tax the
// client owes (§ 13b UStG), and the Anlage EÜR of a small business (§ 19 UStG).

TEST(TaxFormData, KennzahlenAndLinesAsTheSourcesGiveThem) {
    const struct {
        const char* form;
        int year;
        const char* id;
        const char* kz;
        const char* kzTax;
        const char* zeile;
    } cases[] = {
        {"ustva", 2026, "kz43", "43", "", "22"},  // the BMF letter of 29.12.2025 itself
        {"ustva", 2026, "steuerfreiOhneVorsteuer", "48", "", "23"},
        {"ustva", 2026, "rcEmpfaengerEu", "46", "47", "30"},
        {"ustva", 2026, "rcEmpfaengerAndere", "84", "85", "32"},
        {"ustva", 2026, "reverseCharge", "60", "", "34"},
        {"ustva", 2026, "nichtSteuerbar", "45", "", "36"},
        {"ustva", 2026, "kz67", "67", "", "41"},
        {"ustva", 2026, "kz83", "83", "", "50"},
        {"euer", 2025, "einnahmenKleinunternehmer", "111", "", "12"},
        {"euer", 2025, "einnahmenUstpflichtig", "112", "", "15"},
        {"euer", 2025, "einnahmenSteuerfrei", "103", "", "16"},
        {"euer", 2025, "ustVereinnahmt", "140", "", "17"},
        {"euer", 2025, "ustErstattet", "", "", "18"},
        {"euer", 2025, "vorsteuer", "185", "", "57"},
        {"euer", 2025, "ustGezahlt", "186", "", "58"},
        {"euer", 2025, "ausgabenUebrige", "183", "", "60"},
        {"euer", 2025, "summeEinnahmen", "159", "", "23"},
        {"euer", 2025, "entnahmen", "", "", "106"},
        {"euer", 2025, "summeAusgaben", "199", "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        const TaxForm f = TaxFormData::load(QString::fromLatin1(c.form), c.year);
        const TaxFormLine* l = f.line(QString::fromLatin1(c.id));
        ASSERT_NE(l, nullptr);
        EXPECT_EQ(l->kz, QLatin1String(c.kz));
        EXPECT_EQ(l->kzTax, QLatin1String(c.kzTax));
        EXPECT_EQ(l->zeile, QLatin1String(c.zeile));
        // Whatever is not read from the official form itself says so on the page.
        if (QLatin1String(c.id) != QLatin1String("kz43")) {
            EXPECT_TRUE(l->kzCell().endsWith(QLatin1Char('*')));
        }
    }
}

namespace {

UstvaResult ustvaOf(TaxYear& y) {
    const TaxBookingSource source(y.set.Dbf1);
    return TaxComputation::ustva(source, accountNumbers(y.set.EinnahmeKonten), accountNumbers(y.set.AusgabeKonten),
                                 Kontenzuordnung::read(y.set.Kontenzuordnung), CalcZeitraum(PeriodItem::Maerz, 2026),
                                 TaxFormData::load(TaxFormData::ustva, 2026));
}

// A table as an earlier version wrote it: no column for the rate of the tax owed.
void writeTableWithoutRate(TaxYear& y, UstArt art) {
    const QString file = y.set.Kontenzuordnung.absoluteFileName();
    y.set.closeAll();
    std::vector<FieldDef> schema = TableSet::assignmentsSchema();
    schema.pop_back();
    rewriteTable(file, schema, QStringLiteral("Die Kontenzuordnung"), [art](DbfTable& t) {
        t.Insert();
        t.Fields(0).setAsString(QStringLiteral("A"));
        t.Fields(1).setAsInteger(5);
        t.Fields(2).setAsString(UstArten::code(art));
        t.Fields(3).setAsString(QStringLiteral("ausgabenUebrige"));
        t.Post();
    });
    y.set.InitDB(y.dir.path());
}

}  // namespace

// A purchase whose tax the client owes is booked at 0 % with the amount paid, which holds no VAT: the
// journal's summary shows no VAT for it, and the return takes the rate of the tax owed from the account's
// assignment, owes the tax (Kz 47/85) and deducts it again (Kz 67), so the advance payment is the
// summary's. A booking at another rate is listed, never placed by a guess.
TEST(UstvaReverseCharge, TaxOwedAtTheAssignedRateAndDeductedAgain) {
    const struct {
        const char* name;
        UstArt art;
        double satz;       // the assignment's rate; 0: a table without the column
        double paid;
        double rate;       // the booking's rate
        const char* line;
        double base;
        double tax;
    } cases[] = {
        {"EuService19", UstArt::SteuerschuldnerEu, 19, 99.99, 0, "rcEmpfaengerEu", 99, 19.00},
        {"Construction7", UstArt::SteuerschuldnerAndere, 7, 250.50, 0, "rcEmpfaengerAndere", 250, 17.54},
        {"BookedWithTheRate", UstArt::SteuerschuldnerEu, 19, 100.00, 19, "rcEmpfaengerEu", 0, 0},
        {"TableWithoutRate", UstArt::SteuerschuldnerAndere, 0, 100.00, 0, "rcEmpfaengerAndere", 100, 19.00},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TaxYear y;
        TaxYear::account(y.set.AusgabeKonten, 5, QStringLiteral("Fremdleistung Ausland"));
        if (c.satz > 0) {
            Kontenzuordnung z = Kontenzuordnung::read(y.set.Kontenzuordnung);
            z.set(KontoSeite::Ausgabe, 5, {c.art, QStringLiteral("ausgabenUebrige"), true, c.satz});
            z.write(y.set.Kontenzuordnung);
        } else {
            writeTableWithoutRate(y, c.art);
        }
        y.book(QDate(2026, 3, 2), "E", 119.00, 19, 0, QStringLiteral("R-1"), QStringLiteral("Umsatz"));
        y.book(QDate(2026, 3, 9), "A", c.paid, c.rate, 5, QStringLiteral("E-1"), QStringLiteral("Leistung"));
        const bool wrongRate = c.rate != 0;

        const UstvaResult r = ustvaOf(y);
        ASSERT_EQ(r.unassigned.size(), wrongRate ? 1u : 0u);
        if (wrongRate) EXPECT_TRUE(r.unassigned[0].reason.contains(QStringLiteral("mit 0 % gebucht")));
        EXPECT_EQ(r.value(QString::fromLatin1(c.line))->base, c.base);
        EXPECT_DOUBLE_EQ(r.value(QString::fromLatin1(c.line))->tax, c.tax);
        EXPECT_DOUBLE_EQ(r.value(QStringLiteral("kz67"))->tax, c.tax);
        EXPECT_DOUBLE_EQ(r.vorauszahlung, 19.00);  // only the turnover's tax remains
        const VatSums summary = calcMwst(y.set.Dbf1, CalcZeitraum(PeriodItem::Maerz, 2026));
        if (!wrongRate) {
            EXPECT_DOUBLE_EQ(summary.vorsteuer, 0);
            EXPECT_DOUBLE_EQ(summary.abzufuehren(), r.vorauszahlung);
        }

        const TaxBookingSource source(y.set.Dbf1);
        const EuerResult e = TaxComputation::euer(source, accountNumbers(y.set.EinnahmeKonten),
                                                  accountNumbers(y.set.AusgabeKonten),
                                                  Kontenzuordnung::read(y.set.Kontenzuordnung), 2026,
                                                  TaxFormData::load(TaxFormData::euer, 2026));
        EXPECT_DOUBLE_EQ(e.value(QStringLiteral("ausgabenUebrige"))->sum, c.paid);
        EXPECT_DOUBLE_EQ(e.value(QStringLiteral("vorsteuer"))->sum, 0);
        EXPECT_EQ(e.unassigned.size(), wrongRate ? 1u : 0u);

        // The next write gives an earlier table the column, and the rate is kept.
        Kontenzuordnung z = Kontenzuordnung::read(y.set.Kontenzuordnung);
        z.set(KontoSeite::Einnahme, 1, {UstArt::SteuerfreiMitVorsteuer, {}, true});
        z.write(y.set.Kontenzuordnung);
        EXPECT_EQ(y.set.Kontenzuordnung.FieldCount(), int(TableSet::assignmentsSchema().size()));
        EXPECT_DOUBLE_EQ(Kontenzuordnung::read(y.set.Kontenzuordnung).forAccount(KontoSeite::Ausgabe, 5).satz,
                         c.satz > 0 ? c.satz : Zuordnung::defaultSatz);
    }
}

// A small business charges and deducts no VAT: the takings go gross on line 12 (Kz 111), as the field help
// of the 2025 form asks ("Bruttobetrag"), nothing on the VAT lines, and the expenses stay gross.
TEST(EuerSmallBusiness, TakingsGrossOnTheirOwnLineAndNoVatLines) {
    TaxYear y(2025);
    TaxYear::account(y.set.EinnahmeKonten, 2, QStringLiteral("Mieteinnahmen"));
    Kontenzuordnung z = Kontenzuordnung::read(y.set.Kontenzuordnung);
    z.set(KontoSeite::Einnahme, 2, {UstArt::SteuerfreiOhneVorsteuer, QStringLiteral("einnahmenSteuerfrei"), true});
    z.write(y.set.Kontenzuordnung);
    y.book(QDate(2025, 2, 1), "E", 119.00, 19, 0, QStringLiteral("R-1"), QStringLiteral("Beratung"));
    y.book(QDate(2025, 2, 2), "E", 500.00, 0, 0, QStringLiteral("R-2"), QStringLiteral("Kurs"));
    y.book(QDate(2025, 2, 3), "E", 300.00, 0, 2, QStringLiteral("R-3"), QStringLiteral("Miete"));
    y.book(QDate(2025, 2, 4), "A", 59.50, 19, 0, QStringLiteral("E-1"), QStringLiteral("Bürobedarf"));

    for (const bool klein : {true, false}) {
        SCOPED_TRACE(klein);
        const TaxBookingSource source(y.set.Dbf1);
        const EuerResult e = TaxComputation::euer(source, accountNumbers(y.set.EinnahmeKonten),
                                                  accountNumbers(y.set.AusgabeKonten),
                                                  Kontenzuordnung::read(y.set.Kontenzuordnung), 2025,
                                                  TaxFormData::load(TaxFormData::euer, 2025), klein);
        const auto sum = [&e](const char* id) { return e.value(QString::fromLatin1(id))->sum; };
        EXPECT_DOUBLE_EQ(sum("einnahmenKleinunternehmer"), klein ? 619.00 : 0);
        EXPECT_DOUBLE_EQ(sum("einnahmenUstpflichtig"), klein ? 0 : 600.00);
        EXPECT_DOUBLE_EQ(sum("ustVereinnahmt"), klein ? 0 : 19.00);
        EXPECT_DOUBLE_EQ(sum("einnahmenSteuerfrei"), 300.00);
        EXPECT_DOUBLE_EQ(sum("ausgabenUebrige"), klein ? 59.50 : 50.00);
        EXPECT_DOUBLE_EQ(sum("vorsteuer"), klein ? 0 : 9.50);
        EXPECT_DOUBLE_EQ(sum("summeEinnahmen"), 919.00);
        EXPECT_DOUBLE_EQ(e.gewinn, 919.00 - 59.50);
        EXPECT_TRUE(e.problems.isEmpty());
    }
}
