#include "tax/TaxResults.h"

#include <cmath>
#include <map>

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

    // Line sums in extended precision: net per line, booked tax per line.
    struct Sum {
        long double net = 0;
        long double tax = 0;
        int count = 0;
    };
    std::map<QString, Sum> sums;
    const std::vector<const TaxFormLine*> computed = form.linesOfKind(QStringLiteral("baseComputedTax"));
    const TaxFormLine* other = nullptr;
    if (const auto v = form.linesOfKind(QStringLiteral("baseBookedTax")); !v.empty()) other = v.front();
    long double vorsteuer = 0;
    // Treatment per account, looked up once.
    std::map<std::pair<char, int>, Zuordnung> cache;
    const auto treatment = [&](char art, int konto) -> const Zuordnung& {
        auto it = cache.find({art, konto});
        if (it == cache.end())
            it = cache.emplace(std::make_pair(art, konto),
                               zuordnung.forAccount(art == 'E' ? KontoSeite::Einnahme : KontoSeite::Ausgabe, konto))
                     .first;
        return it->second;
    };

    bookings.forEach([&](const TaxBooking& b) {
        if (!zeitraum.contains(b.datum)) return;
        if (b.art == 'N' || b.art == 'S') return;
        if (b.art == 0) {
            r.unassigned.push_back(listed(bookings, b, QStringLiteral("unbekannte Buchungsart")));
            return;
        }
        const bool einnahme = b.art == 'E';
        if (!(einnahme ? einnahmeKonten : ausgabeKonten).count(b.konto)) {
            r.unassigned.push_back(listed(bookings, b, missingAccount(b.art, b.konto)));
            return;
        }
        const UstArt ust = treatment(b.art, b.konto).ust;
        const Booking::Split s = Booking::split(b.brutto, b.rate);
        const auto add = [&](const TaxFormLine* line) {
            Sum& sum = sums[line->id];
            sum.net += s.netto;
            sum.tax += s.mwst;
            ++sum.count;
        };
        if (!einnahme) {
            if (ust != UstArt::Vorsteuerabzug) return;
            if (b.rate < 0) {
                r.unassigned.push_back(listed(bookings, b, QStringLiteral("negativer Steuersatz")));
                return;
            }
            vorsteuer += s.mwst;
            return;
        }
        if (ust == UstArt::UstErstattung) return;
        if (ust == UstArt::Regelsteuersatz) {
            for (const TaxFormLine* line : computed)
                if (sameRate(b.rate, line->rate)) {
                    add(line);
                    return;
                }
            if (b.rate > 0 && other) {
                add(other);
                return;
            }
            r.unassigned.push_back(listed(
                bookings, b,
                QStringLiteral("%1 ohne Zuordnung: wählen Sie die Behandlung des Kontos in der Kontenzuordnung")
                    .arg(rateText(b.rate))));
            return;
        }
        const TaxFormLine* line = form.line(UstArten::ustvaLineId(ust));
        if (!line || !sameRate(b.rate, 0)) {
            r.unassigned.push_back(listed(
                bookings, b, line ? QStringLiteral("%1 passt nicht zur Behandlung des Kontos (nur 0 %)").arg(rateText(b.rate))
                                  : QStringLiteral("die Behandlung des Kontos hat im Vordruck keine Zeile")));
            return;
        }
        add(line);
    });

    long double steuerGebucht = 0;
    for (const TaxFormLine& line : form.lines) {
        UstvaLineValue v;
        v.line = line;
        const Sum sum = sums.count(line.id) ? sums[line.id] : Sum{};
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
        } else if (line.rule == QLatin1String("inputTax")) {
            v.hasBase = false;
            v.hasTax = true;
            v.tax = Booking::roundToCent(double(vorsteuer));
        } else if (line.rule == QLatin1String("result")) {
            v.hasBase = false;
            v.hasTax = true;
        }
        r.lines.push_back(v);
    }
    r.steuerFormular = Booking::roundToCent(r.steuerFormular);
    r.steuerGebucht = Booking::roundToCent(double(steuerGebucht));
    r.vorsteuer = Booking::roundToCent(double(vorsteuer));
    r.vorauszahlung = Booking::roundToCent(r.steuerFormular - r.vorsteuer);
    for (UstvaLineValue& v : r.lines)
        if (v.line.rule == QLatin1String("result")) v.tax = r.vorauszahlung;
    return r;
}

EuerResult euer(const TaxBookingSource& bookings, const std::set<int>& einnahmeKonten,
                const std::set<int>& ausgabeKonten, const Kontenzuordnung& zuordnung, int year, const TaxForm& form) {
    EuerResult r;
    r.form = form;
    r.year = year;
    if (!zuordnung.problem().isEmpty()) r.problems << zuordnung.problem();
    for (const TaxFormLine& line : form.lines) r.lines.push_back(EuerLineValue{line, 0, {}});
    std::map<QString, std::size_t> index;
    for (std::size_t i = 0; i < r.lines.size(); ++i) index[r.lines[i].line.id] = i;
    std::vector<long double> sums(r.lines.size(), 0);
    const auto lineIndex = [&](const QString& id) -> long {
        const auto it = index.find(id);
        return it == index.end() ? -1 : long(it->second);
    };
    QStringList unknownLines;
    const auto put = [&](const QString& id, const TaxBooking& b, double amount) {
        long i = lineIndex(id);
        if (i < 0) {
            if (!unknownLines.contains(id)) unknownLines << id;
            return false;
        }
        sums[std::size_t(i)] += amount;
        if (amount != 0 || id != QLatin1String("ustVereinnahmt"))
            r.lines[std::size_t(i)].entries.push_back(EuerEntry{b.record, b.datum, amount});
        return true;
    };
    const Zeitraum jahr = CalcZeitraum(PeriodItem::GanzesJahr, year);
    std::map<std::pair<char, int>, Zuordnung> cache;
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
        const KontoSeite seite = einnahme ? KontoSeite::Einnahme : KontoSeite::Ausgabe;
        auto it = cache.find({b.art, b.konto});
        if (it == cache.end()) it = cache.emplace(std::make_pair(b.art, b.konto), zuordnung.forAccount(seite, b.konto)).first;
        Zuordnung z = it->second;
        if (!(einnahme ? einnahmeKonten : ausgabeKonten).count(b.konto)) {
            // Counted on the default line, so the totals still hold every booking; listed as unplaced.
            r.unassigned.push_back(listed(bookings, b, missingAccount(b.art, b.konto)));
            z = Kontenzuordnung::defaultFor(seite);
        }
        const Booking::Split s = Booking::split(b.brutto, b.rate);
        if (einnahme) {
            einnahmen += b.brutto;
            if (z.ust == UstArt::UstErstattung) {
                put(QStringLiteral("ustErstattet"), b, b.brutto);
                return;
            }
            if (!put(z.euerZeile, b, s.netto)) put(UstArten::defaultEuerLine(z.ust), b, s.netto);
            put(QStringLiteral("ustVereinnahmt"), b, s.mwst);
            return;
        }
        switch (z.ust) {
            case UstArt::Privatentnahme:
                entnahmen += b.brutto;
                put(QStringLiteral("entnahmen"), b, b.brutto);
                return;
            case UstArt::UstZahlung:
                ausgaben += b.brutto;
                put(QStringLiteral("ustGezahlt"), b, b.brutto);
                return;
            case UstArt::OhneVorsteuerabzug:
                ausgaben += b.brutto;
                if (!put(z.euerZeile, b, b.brutto)) put(UstArten::defaultEuerLine(z.ust), b, b.brutto);
                return;
            default:
                ausgaben += b.brutto;
                if (!put(z.euerZeile, b, s.netto)) put(UstArten::defaultEuerLine(z.ust), b, s.netto);
                put(QStringLiteral("vorsteuer"), b, s.mwst);
                return;
        }
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
