// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QRandomGenerator>
#include <cmath>
#include <map>

#include "journal/Booking.h"
#include "reports/data/ReportArrays.h"
#include "reports/data/TotalResult.h"
#include "tax/Kontenzuordnung.h"
#include "tax/TaxBookings.h"
#include "tax/TaxResults.h"
#include "TaxFixture.h"

namespace {

// VAT of a gross amount in cents, rounded half away from zero, by exact integer arithmetic.
qint64 vatCents(qint64 grossCents, int rate) {
    const qint64 num = grossCents * rate;
    const qint64 den = 100 + rate;
    const qint64 q = (2 * std::llabs(num) + den) / (2 * den);
    return num < 0 ? -q : q;
}

qint64 cents(double v) {
    return std::llround(v * 100);
}

UstvaResult ustvaOf(TaxYear& y, const Zeitraum& z) {
    const TaxBookingSource source(y.set.Dbf1);
    return TaxComputation::ustva(source, accountNumbers(y.set.EinnahmeKonten), accountNumbers(y.set.AusgabeKonten),
                                 Kontenzuordnung::read(y.set.Kontenzuordnung), z,
                                 TaxFormData::load(TaxFormData::ustva, y.year));
}

}  // namespace

// The form's rules on single bookings: bases in whole euros with the cents dropped (also below zero),
// the tax of Kz 81/86 computed from that base, Kz 35/36 with the booked tax, input tax to the cent.
struct RuleCase {
    const char* name;
    const char* art;
    double brutto;
    double rate;
    const char* line;  // line that receives the booking
    double base;
    double tax;
};

class UstvaRules : public ::testing::TestWithParam<RuleCase> {};

TEST_P(UstvaRules, BaseInWholeEurosAndTaxAsTheFormHasIt) {
    const RuleCase c = GetParam();
    TaxYear y;
    y.book(QDate(2026, 2, 3), c.art, c.brutto, c.rate, 0, QStringLiteral("1"), QStringLiteral("Fall"));
    const UstvaResult r = ustvaOf(y, CalcZeitraum(PeriodItem::Februar, 2026));
    const UstvaLineValue* v = r.value(QString::fromLatin1(c.line));
    ASSERT_NE(v, nullptr);
    if (v->hasBase) {
        EXPECT_EQ(v->base, c.base);
    }
    EXPECT_DOUBLE_EQ(v->tax, c.tax);
    EXPECT_TRUE(r.unassigned.empty());
    EXPECT_DOUBLE_EQ(r.vorauszahlung, Booking::roundToCent(r.steuerFormular - r.vorsteuer));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UstvaRules,
    ::testing::Values(RuleCase{"Gross119At19", "E", 119.00, 19, "kz81", 100, 19.00},
                      // 100,00 at 19 %: VAT 15,97, net 84,03 → base 84, the form's tax 15,96
                      RuleCase{"CentsDropped", "E", 100.00, 19, "kz81", 84, 15.96},
                      RuleCase{"Reduced", "E", 53.50, 7, "kz86", 50, 3.50},
                      RuleCase{"ReducedCents", "E", 10.00, 7, "kz86", 9, 0.63},
                      RuleCase{"CreditNoteTowardsZero", "E", -100.00, 19, "kz81", -84, -15.96},
                      RuleCase{"OtherRateBookedTax", "E", 110.70, 10.7, "kz35", 100, 10.70},
                      RuleCase{"InputTax", "A", 119.00, 19, "kz66", 0, 19.00},
                      RuleCase{"InputTaxReduced", "A", 10.00, 7, "kz66", 0, 0.65}),
    [](const auto& info) { return std::string(info.param.name); });

// A random year checked quarter by quarter against a recomputation in whole cents: every line, the input
// tax, the advance payment, and which bookings stay unassigned.
TEST(UstvaRandomYear, EveryQuarterMatchesAnIndependentRecomputation) {
    TaxYear y;
    TaxYear::account(y.set.EinnahmeKonten, 2, QStringLiteral("EU-Lieferungen"));
    TaxYear::account(y.set.EinnahmeKonten, 3, QStringLiteral("Ausfuhr"));
    TaxYear::account(y.set.EinnahmeKonten, 4, QStringLiteral("Erstattung Finanzamt"));
    TaxYear::account(y.set.AusgabeKonten, 1, QStringLiteral("Versicherung"));
    TaxYear::account(y.set.AusgabeKonten, 2, QStringLiteral("USt-Zahlung"));
    TaxYear::account(y.set.AusgabeKonten, 3, QStringLiteral("Privat"));
    Kontenzuordnung z = Kontenzuordnung::read(y.set.Kontenzuordnung);
    z.set(KontoSeite::Einnahme, 2, {UstArt::InnergemeinschaftlicheLieferung, {}, true});
    z.set(KontoSeite::Einnahme, 3, {UstArt::SteuerfreiMitVorsteuer, {}, true});
    z.set(KontoSeite::Einnahme, 4, {UstArt::UstErstattung, {}, true});
    z.set(KontoSeite::Ausgabe, 1, {UstArt::OhneVorsteuerabzug, {}, true});
    z.set(KontoSeite::Ausgabe, 2, {UstArt::UstZahlung, {}, true});
    z.set(KontoSeite::Ausgabe, 3, {UstArt::Privatentnahme, {}, true});
    z.write(y.set.Kontenzuordnung);

    struct B {
        QDate date;
        char art;
        qint64 gross;
        int rate;
        int konto;
    };
    std::vector<B> all;
    QRandomGenerator rnd(20260415);
    const int rates[] = {19, 7, 0, 16, 5};
    const char* arts[] = {"E", "A", "N", "S"};
    for (int i = 0; i < 1500; ++i) {
        B b;
        b.date = QDate(2026, 1, 1).addDays(rnd.bounded(365));
        b.art = arts[rnd.bounded(4)][0];
        b.gross = qint64(rnd.bounded(2000000)) - 200000;
        b.rate = rates[rnd.bounded(5)];
        b.konto = b.art == 'E' || b.art == 'N' ? int(rnd.bounded(6)) : int(rnd.bounded(5));  // 5 / 4: no account row
        all.push_back(b);
        y.book(b.date, QByteArray(1, b.art).constData(), double(b.gross) / 100, b.rate, b.konto,
               QString::number(i + 1), QStringLiteral("Buchung %1").arg(i + 1));
    }

    for (PeriodItem q : {PeriodItem::N1Quartal, PeriodItem::N2Quartal, PeriodItem::N3Quartal, PeriodItem::N4Quartal}) {
        const Zeitraum zr = CalcZeitraum(q, 2026);
        std::map<QString, qint64> net, tax;
        qint64 vorsteuer = 0;
        int unassigned = 0;
        for (const B& b : all) {
            const double day = DayNumber::fromDate(b.date);
            if (!zr.contains(day) || b.art == 'N' || b.art == 'S') continue;
            const qint64 v = vatCents(b.gross, b.rate);
            if (b.art == 'A') {
                if (b.konto == 4) ++unassigned;
                else if (b.konto == 0) vorsteuer += v;
                continue;
            }
            if (b.konto == 5) {
                ++unassigned;
                continue;
            }
            QString line;
            if (b.konto <= 1) line = b.rate == 19 ? "kz81" : b.rate == 7 ? "kz86" : b.rate > 0 ? "kz35" : "";
            if (b.konto == 2 && b.rate == 0) line = "kz41";
            if (b.konto == 3 && b.rate == 0) line = "kz43";
            if (b.konto == 4) continue;
            if (line.isEmpty()) {
                ++unassigned;
                continue;
            }
            net[line] += b.gross - v;
            tax[line] += v;
        }
        const UstvaResult r = ustvaOf(y, zr);
        SCOPED_TRACE(periodCaption(q).toStdString());
        qint64 formTax = 0, booked = 0;
        for (const char* id : {"kz81", "kz86", "kz35", "kz41", "kz43"}) {
            const qint64 base = net[id] / 100;  // cents dropped towards zero
            EXPECT_EQ(r.value(id)->base, double(base)) << id;
            EXPECT_EQ(cents(r.value(id)->exactBase), net[id]) << id;
        }
        const qint64 t81 = (net["kz81"] / 100) * 19, t86 = (net["kz86"] / 100) * 7;
        EXPECT_EQ(cents(r.value("kz81")->tax), t81);
        EXPECT_EQ(cents(r.value("kz86")->tax), t86);
        EXPECT_EQ(cents(r.value("kz35")->tax), tax["kz35"]);
        formTax = t81 + t86 + tax["kz35"];
        booked = tax["kz81"] + tax["kz86"] + tax["kz35"];
        EXPECT_EQ(cents(r.steuerFormular), formTax);
        EXPECT_EQ(cents(r.steuerGebucht), booked);
        EXPECT_EQ(cents(r.vorsteuer), vorsteuer);
        EXPECT_EQ(cents(r.value("kz66")->tax), vorsteuer);
        EXPECT_EQ(cents(r.vorauszahlung), formTax - vorsteuer);
        EXPECT_EQ(cents(r.value("kz83")->tax), formTax - vorsteuer);
        EXPECT_EQ(int(r.unassigned.size()), unassigned);
        EXPECT_EQ(r.incomplete(), unassigned > 0);
    }
}

// The Anlage EÜR of the same kind of year: its totals are the gross sums of "Gesamtergebnis" for the
// year (private withdrawals left out of the expenses), and every line is the sum of its bookings.
TEST(EuerRandomYear, ProfitEqualsTheTotalResultAndLinesAddUp) {
    TaxYear y;
    TaxYear::account(y.set.EinnahmeKonten, 4, QStringLiteral("Erstattung Finanzamt"));
    TaxYear::account(y.set.AusgabeKonten, 2, QStringLiteral("USt-Zahlung"));
    TaxYear::account(y.set.AusgabeKonten, 3, QStringLiteral("Privat"));
    Kontenzuordnung z = Kontenzuordnung::read(y.set.Kontenzuordnung);
    z.set(KontoSeite::Einnahme, 4, {UstArt::UstErstattung, {}, true});
    z.set(KontoSeite::Ausgabe, 2, {UstArt::UstZahlung, {}, true});
    z.set(KontoSeite::Ausgabe, 3, {UstArt::Privatentnahme, {}, true});
    z.write(y.set.Kontenzuordnung);

    QRandomGenerator rnd(7);
    const int rates[] = {19, 7, 0, 16};
    qint64 privat = 0, refund = 0, paid = 0, vatIn = 0, vatOut = 0;
    for (int i = 0; i < 1200; ++i) {
        const QDate d = QDate(2026, 1, 1).addDays(int(rnd.bounded(370)) - 2);  // a few outside the year
        const char art = "EANS"[rnd.bounded(4)];
        const qint64 g = qint64(rnd.bounded(500000)) - 50000;
        const int rate = rates[rnd.bounded(4)];
        const int konto = int(rnd.bounded(6));
        y.book(d, QByteArray(1, art).constData(), double(g) / 100, rate, konto);
        if (d.year() != 2026) continue;
        const qint64 v = vatCents(g, rate);
        if (art == 'E') (konto == 4 ? refund : vatOut) += konto == 4 ? g : v;
        if (art == 'A') {
            if (konto == 3) privat += g;
            else if (konto == 2) paid += g;
            else vatIn += v;
        }
    }
    const TaxBookingSource source(y.set.Dbf1);
    const EuerResult r =
        TaxComputation::euer(source, accountNumbers(y.set.EinnahmeKonten), accountNumbers(y.set.AusgabeKonten),
                             Kontenzuordnung::read(y.set.Kontenzuordnung), 2026, TaxFormData::load(TaxFormData::euer, 2026));

    ReportArrays arrays;
    ReportData data;
    TotalResult::build(y.set.Dbf1, CalcZeitraum(PeriodItem::GanzesJahr, 2026), arrays, data);
    double ein = 0, aus = 0;
    for (std::uint32_t i = 0; i < arrays.ein.Count(); ++i) ein += arrays.ein.GetObject(i)->brutto;
    for (std::uint32_t i = 0; i < arrays.aus.Count(); ++i) aus += arrays.aus.GetObject(i)->brutto;
    ReportArrays::withdraw(data);

    EXPECT_EQ(cents(r.einnahmen), cents(ein));
    EXPECT_EQ(cents(r.ausgaben), cents(aus) - privat);
    EXPECT_EQ(cents(r.gewinn), cents(ein) - cents(aus) + privat);
    EXPECT_EQ(cents(r.entnahmen), privat);
    EXPECT_EQ(cents(r.value("ustErstattet")->sum), refund);
    EXPECT_EQ(cents(r.value("ustGezahlt")->sum), paid);
    EXPECT_EQ(cents(r.value("ustVereinnahmt")->sum), vatOut);
    EXPECT_EQ(cents(r.value("vorsteuer")->sum), vatIn);
    // The lines add up to the totals, and each line to its listed bookings.
    qint64 income = 0, expenses = 0;
    for (const EuerLineValue& v : r.lines) {
        qint64 listed = 0;
        for (const EuerEntry& e : v.entries) listed += cents(e.amount);
        if (!v.entries.empty()) {
            EXPECT_EQ(listed, cents(v.sum)) << v.line.id.toStdString();
        }
        const QString& k = v.line.kind;
        if (k == u"income" || k == u"vatReceived" || k == u"vatRefunded") income += cents(v.sum);
        if (k == u"expense" || k == u"inputTax" || k == u"vatPaid") expenses += cents(v.sum);
    }
    EXPECT_EQ(income, cents(r.einnahmen));
    EXPECT_EQ(expenses, cents(r.ausgaben));
    // Bookings outside the year and of missing accounts are listed; the form says it is incomplete.
    EXPECT_TRUE(r.incomplete());
    bool outside = false;
    for (const TaxListedBooking& b : r.unassigned) outside |= b.reason.contains(QStringLiteral("nicht im Jahr 2026"));
    EXPECT_TRUE(outside);
}

// A tax form is not the journal's view: a filter that hides every booking changes nothing.
TEST(TaxBookingSource, ReadsEveryBookingWhateverTheJournalFilter) {
    TaxYear y;
    y.book(QDate(2026, 3, 1), "E", 119, 19, 0, QStringLiteral("7"), QStringLiteral("Beratung"));
    y.book(QDate(2026, 3, 2), "A", 11.9, 19, 0);
    const Zeitraum march = CalcZeitraum(PeriodItem::Maerz, 2026);
    const UstvaResult before = ustvaOf(y, march);
    y.set.Dbf1.setOnFilterRecord([](const DbfTable&) { return false; });
    y.set.Dbf1.setFiltered(true);
    ASSERT_EQ(y.set.Dbf1.RecordCount(), 0);
    const UstvaResult filtered = ustvaOf(y, march);
    EXPECT_EQ(filtered.value("kz81")->base, 100);
    EXPECT_EQ(filtered.vorauszahlung, before.vorauszahlung);
    EXPECT_DOUBLE_EQ(filtered.vorsteuer, 1.90);
}

// Bad input: an account without a row, a rate no treatment covers, an unknown kind — listed with their
// reason, never guessed; nothing is written to the bookings.
TEST(UstvaBadInput, UnplacedBookingsAreListedWithTheirReason) {
    TaxYear y;
    y.book(QDate(2026, 5, 2), "E", 50, 0, 0, QStringLiteral("A1"), QStringLiteral("ohne Steuer"));
    y.book(QDate(2026, 5, 3), "E", 50, 19, 9, QStringLiteral("A2"), QStringLiteral("Konto fehlt"));
    y.book(QDate(2026, 5, 4), "X", 50, 19, 0, QStringLiteral("A3"), QStringLiteral("Art X"));
    const QByteArray before = testsupport::readFile(y.set.Dbf1.absoluteFileName());
    const UstvaResult r = ustvaOf(y, CalcZeitraum(PeriodItem::Mai, 2026));
    ASSERT_EQ(r.unassigned.size(), 3u);
    EXPECT_TRUE(r.unassigned[0].reason.contains(QStringLiteral("0%"))) << r.unassigned[0].reason.toStdString();
    EXPECT_TRUE(r.unassigned[1].reason.contains(QStringLiteral("Einnahmeart 9")));
    EXPECT_EQ(r.unassigned[2].reason, QStringLiteral("unbekannte Buchungsart"));
    EXPECT_EQ(r.unassigned[1].beleg, QStringLiteral("A2"));
    EXPECT_TRUE(r.incomplete());
    EXPECT_EQ(testsupport::readFile(y.set.Dbf1.absoluteFileName()), before);
}
