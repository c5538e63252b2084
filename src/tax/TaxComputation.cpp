// SPDX-License-Identifier: GPL-3.0-or-later
#include "tax/TaxResults.h"

#include <cmath>
#include <map>
#include <unordered_map>

#include "journal/Booking.h"
#include "reports/output/ReportFormat.h"
#include "storage/DayNumber.h"
#include "tax/Kontenzuordnung.h"
#include "tax/TaxBookings.h"

namespace {

bool sameRate(double a, double b) {
    return std::fabs(a - b) < 1e-9;
}

TaxListedBooking listed(const TaxBookingSource& source, const TaxBooking& b, const QString& reason) {
    TaxListedBooking l;
    l.datum = b.datum;
    l.beleg = source.beleg(b.record);
    l.text = source.text(b.record);
    l.brutto = b.brutto;
    l.rate = b.rate;
    l.konto = b.konto;
    l.art = b.art;
    l.reason = reason;
    return l;
}

QString rateText(double rate) {
    return ReportFormat::rateLabel(rate);
}

// A purchase whose tax the client owes is booked at 0 %: a booking at another rate would show in the
// journal's summary an input tax the supplier never charged.
QString wrongRateFor13b(double rate, double satz) {
    return QStringLiteral("%1 passt nicht zur Behandlung des Kontos: Leistungen nach § 13b UStG werden mit 0 % "
                          "gebucht (der gezahlte Betrag); die Steuer von %2 rechnet das Formular aus der "
                          "Kontenzuordnung")
        .arg(rateText(rate), rateText(satz));
}

QString missingAccount(char art, int konto) {
    return art == 'E' ? QStringLiteral("Einnahmeart %1 gibt es nicht").arg(konto)
                      : QStringLiteral("Ausgabeart %1 gibt es nicht").arg(konto);
}

}  // namespace

const UstvaLineValue* UstvaResult::value(const QString& id) const {
    for (const UstvaLineValue& v : lines)
        if (v.line.id == id) return &v;
    return nullptr;
}

const EuerLineValue* EuerResult::value(const QString& id) const {
    for (const EuerLineValue& v : lines)
        if (v.line.id == id) return &v;
    return nullptr;
}

namespace TaxComputation {

double wholeEuros(double amount) {
    return std::trunc(Booking::roundToCent(amount));
}

double computedTax(double base, double rate) {
    return Booking::roundToCent(base * rate / 100.0);
}

QString periodNote(PeriodItem item) {
    if (item == PeriodItem::N1Halbjahr || item == PeriodItem::N2Halbjahr)
        return QStringLiteral("Das Finanzamt nimmt Voranmeldungen nur für einen Monat oder ein Vierteljahr an. "
                              "Wählen Sie im Menü \"Zeitraum\" einen Monat, ein Quartal oder das ganze Jahr.");
    return QString();
}

UstvaResult ustva(const TaxBookingSource& bookings, const std::set<int>& einnahmeKonten,
                  const std::set<int>& ausgabeKonten, const Kontenzuordnung& zuordnung, const Zeitraum& zeitraum,
                  const TaxForm& form) {
    UstvaResult r;
    r.form = form;
    r.zeitraum = zeitraum;
    if (!zuordnung.problem().isEmpty()) r.problems << zuordnung.problem();

    // Line sums in extended precision, by the line's position in the form: net and booked tax.
    struct Sum {
        long double net = 0;
        long double tax = 0;
        int count = 0;
    };
    const auto indexOf = [&form](const QString& id) -> int {
        for (std::size_t i = 0; i < form.lines.size(); ++i)
            if (form.lines[i].id == id) return int(i);
        return -1;
    };
    std::vector<Sum> sums(form.lines.size());
    std::vector<std::pair<double, int>> computed;  // rate, line
    int other = -1;
    for (std::size_t i = 0; i < form.lines.size(); ++i) {
        if (form.lines[i].rule == QLatin1String("baseComputedTax")) computed.emplace_back(form.lines[i].rate, int(i));
        if (form.lines[i].rule == QLatin1String("baseBookedTax") && other < 0) other = int(i);
    }
    long double vorsteuer = 0;
    long double vorsteuer13b = 0;  // input tax of the tax owed under § 13b (Kz 67)

    // What an account's bookings do, worked out once per account.
    struct Account {
        bool missing = false;
        UstArt ust = UstArt::Regelsteuersatz;
        int line = -1;    // the line of a 0 % treatment
        double satz = 0;  // the rate of the tax owed (RU, RA)
    };
    std::unordered_map<int, Account> einnahmen, ausgaben;
    const auto account = [&](bool einnahme, int konto) -> const Account& {
        auto& cache = einnahme ? einnahmen : ausgaben;
        auto it = cache.find(konto);
        if (it != cache.end()) return it->second;
        Account a;
        a.missing = !(einnahme ? einnahmeKonten : ausgabeKonten).count(konto);
        const Zuordnung z = zuordnung.forAccount(einnahme ? KontoSeite::Einnahme : KontoSeite::Ausgabe, konto);
        a.ust = z.ust;
        a.satz = z.satz;
        a.line = indexOf(UstArten::ustvaLineId(a.ust));
        return cache.emplace(konto, a).first->second;
    };

    bookings.forEach([&](const TaxBooking& b) {
        if (!zeitraum.contains(b.datum)) return;
        if (b.art == 'N' || b.art == 'S') return;
        if (b.art == 0) {
            r.unassigned.push_back(listed(bookings, b, QStringLiteral("unbekannte Buchungsart")));
            return;
        }
        const bool einnahme = b.art == 'E';
        const Account& a = account(einnahme, b.konto);
        if (a.missing) {
            r.unassigned.push_back(listed(bookings, b, missingAccount(b.art, b.konto)));
            return;
        }
        if (!einnahme) {
            if (UstArten::owesTax(a.ust)) {
                if (a.line < 0 || !sameRate(b.rate, 0)) {
                    r.unassigned.push_back(listed(bookings, b,
                                                  a.line < 0 ? QStringLiteral("die Behandlung des Kontos hat im Vordruck "
                                                                              "keine Zeile")
                                                             : wrongRateFor13b(b.rate, a.satz)));
                    return;
                }
                // The amount paid has no VAT in it: the tax owed is the assignment's rate on top of it (not a
                // split of a gross amount), to the cent per booking, and the same amount is input tax again.
                const double tax = computedTax(b.brutto, a.satz);
                Sum& sum = sums[std::size_t(a.line)];
                sum.net += b.brutto;
                sum.tax += tax;
                ++sum.count;
                vorsteuer13b += tax;
                return;
            }
            if (a.ust != UstArt::Vorsteuerabzug) return;
            if (b.rate < 0) {
                r.unassigned.push_back(listed(bookings, b, QStringLiteral("negativer Steuersatz")));
                return;
            }
            vorsteuer += Booking::split(b.brutto, b.rate).mwst;
            return;
        }
        if (a.ust == UstArt::UstErstattung) return;
        int line = -1;
        if (a.ust == UstArt::Regelsteuersatz) {
            for (const auto& [rate, at] : computed)
                if (sameRate(b.rate, rate)) line = at;
            if (line < 0 && b.rate > 0) line = other;
            if (line < 0) {
                r.unassigned.push_back(listed(
                    bookings, b,
                    QStringLiteral("%1 ohne Zuordnung: wählen Sie die Behandlung des Kontos in der Kontenzuordnung")
                        .arg(rateText(b.rate))));
                return;
            }
        } else {
            if (a.line < 0 || !sameRate(b.rate, 0)) {
                r.unassigned.push_back(listed(
                    bookings, b,
                    a.line >= 0 ? QStringLiteral("%1 passt nicht zur Behandlung des Kontos (nur 0 %)").arg(rateText(b.rate))
                                : QStringLiteral("die Behandlung des Kontos hat im Vordruck keine Zeile")));
                return;
            }
            line = a.line;
        }
        const Booking::Split s = Booking::split(b.brutto, b.rate);
        Sum& sum = sums[std::size_t(line)];
        sum.net += s.netto;
        sum.tax += s.mwst;
        ++sum.count;
    });

    long double steuerGebucht = 0;
    for (std::size_t i = 0; i < form.lines.size(); ++i) {
        const TaxFormLine& line = form.lines[i];
        UstvaLineValue v;
        v.line = line;
        const Sum& sum = sums[i];
        v.count = sum.count;
        v.exactBase = Booking::roundToCent(double(sum.net));
        v.base = wholeEuros(v.exactBase);
        if (line.rule == QLatin1String("baseComputedTax")) {
            v.hasTax = true;
            v.tax = computedTax(v.base, line.rate);
            r.steuerFormular += v.tax;
            steuerGebucht += sum.tax;
        } else if (line.rule == QLatin1String("baseBookedTax")) {
            v.hasTax = true;
            v.tax = Booking::roundToCent(double(sum.tax));
            r.steuerFormular += v.tax;
            steuerGebucht += sum.tax;
        } else if (line.rule == QLatin1String("reverseChargeTax")) {
            v.hasTax = true;
            v.tax = Booking::roundToCent(double(sum.tax));
            r.steuerFormular += v.tax;
            steuerGebucht += sum.tax;
        } else if (line.rule == QLatin1String("inputTax")) {
            v.hasBase = false;
            v.hasTax = true;
            v.tax = Booking::roundToCent(double(vorsteuer));
        } else if (line.rule == QLatin1String("reverseChargeInputTax")) {
            v.hasBase = false;
            v.hasTax = true;
            v.tax = Booking::roundToCent(double(vorsteuer13b));
        } else if (line.rule == QLatin1String("result")) {
            v.hasBase = false;
            v.hasTax = true;
        }
        r.lines.push_back(v);
    }
    r.steuerFormular = Booking::roundToCent(r.steuerFormular);
    r.steuerGebucht = Booking::roundToCent(double(steuerGebucht));
    // The input tax of § 13b counts only where the form has its line; otherwise the tax owed would be
    // deducted without the form saying so.
    const bool has67 = !form.linesOfKind(QStringLiteral("reverseChargeInputTax")).empty();
    r.vorsteuer = Booking::roundToCent(double(vorsteuer + (has67 ? vorsteuer13b : 0)));
    r.vorauszahlung = Booking::roundToCent(r.steuerFormular - r.vorsteuer);
    for (UstvaLineValue& v : r.lines)
        if (v.line.rule == QLatin1String("result")) v.tax = r.vorauszahlung;
    return r;
}

EuerResult euer(const TaxBookingSource& bookings, const std::set<int>& einnahmeKonten,
                const std::set<int>& ausgabeKonten, const Kontenzuordnung& zuordnung, int year, const TaxForm& form,
                bool kleinunternehmer) {
    EuerResult r;
    r.form = form;
    r.year = year;
    if (!zuordnung.problem().isEmpty()) r.problems << zuordnung.problem();
    for (const TaxFormLine& line : form.lines) r.lines.push_back(EuerLineValue{line, 0, {}});
    const auto indexOf = [&form](const QString& id) -> int {
        for (std::size_t i = 0; i < form.lines.size(); ++i)
            if (form.lines[i].id == id) return int(i);
        return -1;
    };
    std::vector<long double> sums(r.lines.size(), 0);
    QStringList unknownLines;
    const int vatReceived = indexOf(QStringLiteral("ustVereinnahmt"));
    const int inputTax = indexOf(QStringLiteral("vorsteuer"));
    // A small business (§ 19 UStG) charges no VAT and deducts none: its taxable takings go gross on their
    // own line, and every amount stays gross.
    const int smallBusiness = kleinunternehmer ? indexOf(QStringLiteral("einnahmenKleinunternehmer")) : -1;
    if (kleinunternehmer && smallBusiness < 0)
        r.problems << QStringLiteral("Der Vordruck %1 hat keine Zeile für Kleinunternehmer; die Einnahmen stehen "
                                     "brutto auf den zugeordneten Zeilen.")
                          .arg(form.year);

    // Where an account's bookings go, worked out once per account: the line of the amount (net, or gross
    // where there is no VAT to split off) and the line of the VAT.
    struct Account {
        bool missing = false;
        int line = -1;
        int vatLine = -1;
        bool gross = false;
        bool privat = false;
        bool owesTax = false;  // RU, RA: booked at 0 %
        double satz = 0;
    };
    const auto resolve = [&](bool einnahme, int konto) {
        Account a;
        const KontoSeite seite = einnahme ? KontoSeite::Einnahme : KontoSeite::Ausgabe;
        Zuordnung z = zuordnung.forAccount(seite, konto);
        if (!(einnahme ? einnahmeKonten : ausgabeKonten).count(konto)) {
            // Counted on the default line, so the totals still hold every booking; listed as unplaced.
            a.missing = true;
            z = Kontenzuordnung::defaultFor(seite);
        }
        a.line = indexOf(z.euerZeile);
        if (a.line < 0) {
            if (!unknownLines.contains(z.euerZeile)) unknownLines << z.euerZeile;
            a.line = indexOf(UstArten::defaultEuerLine(z.ust));
        }
        a.gross = kleinunternehmer || z.ust == UstArt::UstErstattung || z.ust == UstArt::UstZahlung ||
                  z.ust == UstArt::OhneVorsteuerabzug || z.ust == UstArt::Privatentnahme ||
                  z.ust == UstArt::SteuerschuldnerEu || z.ust == UstArt::SteuerschuldnerAndere;
        if (smallBusiness >= 0 && a.line >= 0 && form.lines[std::size_t(a.line)].id == u"einnahmenUstpflichtig")
            a.line = smallBusiness;
        a.privat = z.ust == UstArt::Privatentnahme;
        a.owesTax = !a.missing && UstArten::owesTax(z.ust);
        a.satz = z.satz;
        if (!a.gross) a.vatLine = einnahme ? vatReceived : inputTax;
        return a;
    };
    std::unordered_map<int, Account> einnahmenKonten, ausgabenKonten;
    // Room for every booking on every line that lists bookings: only the address space is taken until a
    // line fills it, and a large year is not copied over and over while its lists grow.
    for (EuerLineValue& v : r.lines)
        if (!v.line.kind.endsWith(QLatin1String("Total")) && v.line.kind != QLatin1String("profit"))
            v.entries.reserve(std::size_t(bookings.count()));
    const Zeitraum jahr = CalcZeitraum(PeriodItem::GanzesJahr, year);
    long double einnahmen = 0, ausgaben = 0, entnahmen = 0;

    bookings.forEach([&](const TaxBooking& b) {
        if (b.art == 'N' || b.art == 'S') return;
        if (b.art == 0) {
            r.unassigned.push_back(listed(bookings, b, QStringLiteral("unbekannte Buchungsart")));
            return;
        }
        if (!jahr.contains(b.datum)) {
            r.unassigned.push_back(listed(bookings, b, QStringLiteral("liegt nicht im Jahr %1").arg(year)));
            return;
        }
        const bool einnahme = b.art == 'E';
        auto& cache = einnahme ? einnahmenKonten : ausgabenKonten;
        auto it = cache.find(b.konto);
        if (it == cache.end()) it = cache.emplace(b.konto, resolve(einnahme, b.konto)).first;
        const Account& a = it->second;
        if (a.missing) r.unassigned.push_back(listed(bookings, b, missingAccount(b.art, b.konto)));
        // Counted with the amount booked, and listed: the journal split a VAT off it that was never charged.
        if (a.owesTax && !sameRate(b.rate, 0)) r.unassigned.push_back(listed(bookings, b, wrongRateFor13b(b.rate, a.satz)));
        if (einnahme) einnahmen += b.brutto;
        else if (a.privat) entnahmen += b.brutto;
        else ausgaben += b.brutto;
        const auto put = [&](int line, double amount) {
            if (line < 0) return;
            sums[std::size_t(line)] += amount;
            r.lines[std::size_t(line)].entries.push_back(EuerEntry{b.record, amount});
        };
        if (a.gross) {
            put(a.line, b.brutto);
            return;
        }
        const Booking::Split s = Booking::split(b.brutto, b.rate);
        put(a.line, s.netto);
        if (s.mwst != 0) put(a.vatLine, s.mwst);
    });

    for (std::size_t i = 0; i < r.lines.size(); ++i) r.lines[i].sum = Booking::roundToCent(double(sums[i]));
    r.einnahmen = Booking::roundToCent(double(einnahmen));
    r.ausgaben = Booking::roundToCent(double(ausgaben));
    r.gewinn = Booking::roundToCent(double(einnahmen - ausgaben));
    r.entnahmen = Booking::roundToCent(double(entnahmen));
    for (EuerLineValue& v : r.lines) {
        if (v.line.kind == QLatin1String("incomeTotal")) v.sum = r.einnahmen;
        if (v.line.kind == QLatin1String("expenseTotal")) v.sum = r.ausgaben;
        if (v.line.kind == QLatin1String("profit")) v.sum = r.gewinn;
    }
    for (const QString& id : unknownLines)
        r.problems << QStringLiteral("Die Kontenzuordnung nennt die Zeile \"%1\", die der Vordruck %2 nicht hat; die "
                                     "Beträge stehen auf der vorgegebenen Zeile.")
                          .arg(id)
                          .arg(form.year);
    return r;
}

}  // namespace TaxComputation
