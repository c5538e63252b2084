// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

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
        if (QLatin1String(c.id) != QLatin1String("kz43")) EXPECT_TRUE(l->kzCell().endsWith(QLatin1Char('*')));
    }
}

namespace {

UstvaResult ustvaOf(TaxYear& y) {
    const TaxBookingSource source(y.set.Dbf1);
    return TaxComputation::ustva(source, accountNumbers(y.set.EinnahmeKonten), accountNumbers(y.set.AusgabeKonten),
                                 Kontenzuordnung::read(y.set.Kontenzuordnung), CalcZeitraum(PeriodItem::Maerz, 2026),
                                 TaxFormData::load(TaxFormData::ustva, 2026));
}

}  // namespace

// The amount paid holds no VAT: the tax owed is the rate on it, and the same tax is input tax (Kz 67), so
// the advance payment does not change; the amount paid is the expense of the Anlage EÜR.
TEST(UstvaReverseCharge, TaxOwedOnTheAmountPaidAndDeductedAgain) {
    const struct {
        const char* name;
        UstArt art;
        double paid;
        double rate;
        const char* line;
        double base;
        double tax;
        bool listed;
    } cases[] = {
        {"EuService", UstArt::SteuerschuldnerEu, 100.00, 19, "rcEmpfaengerEu", 100, 19.00, false},
        {"EuServiceCents", UstArt::SteuerschuldnerEu, 99.99, 19, "rcEmpfaengerEu", 99, 19.00, false},
        {"Construction", UstArt::SteuerschuldnerAndere, 250.50, 7, "rcEmpfaengerAndere", 250, 17.54, false},
        {"NoRate", UstArt::SteuerschuldnerEu, 100.00, 0, "rcEmpfaengerEu", 0, 0, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TaxYear y;
        TaxYear::account(y.set.AusgabeKonten, 5, QStringLiteral("Fremdleistung Ausland"));
        Kontenzuordnung z = Kontenzuordnung::read(y.set.Kontenzuordnung);
        z.set(KontoSeite::Ausgabe, 5, {c.art, QStringLiteral("ausgabenUebrige"), true});
        z.write(y.set.Kontenzuordnung);
        y.book(QDate(2026, 3, 2), "E", 119.00, 19, 0, QStringLiteral("R-1"), QStringLiteral("Umsatz"));
        y.book(QDate(2026, 3, 9), "A", c.paid, c.rate, 5, QStringLiteral("E-1"), QStringLiteral("Leistung"));

        const UstvaResult r = ustvaOf(y);
        EXPECT_EQ(r.unassigned.size(), c.listed ? 1u : 0u);
        EXPECT_EQ(r.value(QString::fromLatin1(c.line))->base, c.base);
        EXPECT_DOUBLE_EQ(r.value(QString::fromLatin1(c.line))->tax, c.tax);
        EXPECT_DOUBLE_EQ(r.value(QStringLiteral("kz67"))->tax, c.tax);
        EXPECT_DOUBLE_EQ(r.vorauszahlung, 19.00);  // only the turnover's tax remains
        EXPECT_DOUBLE_EQ(r.steuerFormular - r.steuerGebucht, 0);

        const TaxBookingSource source(y.set.Dbf1);
        const EuerResult e = TaxComputation::euer(source, accountNumbers(y.set.EinnahmeKonten),
                                                  accountNumbers(y.set.AusgabeKonten),
                                                  Kontenzuordnung::read(y.set.Kontenzuordnung), 2026,
                                                  TaxFormData::load(TaxFormData::euer, 2026));
        EXPECT_DOUBLE_EQ(e.value(QStringLiteral("ausgabenUebrige"))->sum, c.paid);
        EXPECT_DOUBLE_EQ(e.value(QStringLiteral("vorsteuer"))->sum, 0);
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
