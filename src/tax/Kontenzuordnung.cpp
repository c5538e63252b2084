// SPDX-License-Identifier: GPL-3.0-or-later
#include "tax/Kontenzuordnung.h"

#include <QDir>

#include "startup/TableSet.h"
#include "storage/DbfTable.h"
#include "storage/ErrorText.h"
#include "storage/LocaleFormat.h"
#include "storage/TableRewrite.h"

namespace {

struct Entry {
    UstArt art;
    const char* code;
    KontoSeite seite;
    const char* text;
    const char* ustvaLine;
    const char* euerLine;
    bool euerFixed;
};

// clang-format off
constexpr Entry entries[] = {
    {UstArt::Regelsteuersatz, "RS", KontoSeite::Einnahme, "Steuerpflichtig nach Steuersatz", "", "einnahmenUstpflichtig", false},
    {UstArt::SteuerfreiMitVorsteuer, "SV", KontoSeite::Einnahme, "Steuerfrei mit Vorsteuerabzug", "kz43", "einnahmenSteuerfrei", false},
    {UstArt::SteuerfreiOhneVorsteuer, "SO", KontoSeite::Einnahme, "Steuerfrei ohne Vorsteuerabzug", "steuerfreiOhneVorsteuer", "einnahmenSteuerfrei", false},
    {UstArt::InnergemeinschaftlicheLieferung, "IG", KontoSeite::Einnahme, "Innergemeinschaftliche Lieferung", "kz41", "einnahmenSteuerfrei", false},
    {UstArt::NichtSteuerbar, "NS", KontoSeite::Einnahme, "Nicht steuerbar", "nichtSteuerbar", "einnahmenSteuerfrei", false},
    {UstArt::Steuerschuldumkehr, "RC", KontoSeite::Einnahme, "Leistungsempfänger schuldet die Steuer (§ 13b UStG)", "reverseCharge", "einnahmenSteuerfrei", false},
    {UstArt::UstErstattung, "ER", KontoSeite::Einnahme, "Umsatzsteuer-Erstattung vom Finanzamt", "", "ustErstattet", true},
    {UstArt::Vorsteuerabzug, "VS", KontoSeite::Ausgabe, "Mit Vorsteuerabzug", "kz66", "ausgabenUebrige", false},
    {UstArt::OhneVorsteuerabzug, "OV", KontoSeite::Ausgabe, "Ohne Vorsteuerabzug", "", "ausgabenUebrige", false},
    {UstArt::SteuerschuldnerEu, "RU", KontoSeite::Ausgabe, "Steuerschuldner nach § 13b Abs. 1 UStG (sonstige Leistung aus dem übrigen EU-Gebiet)", "rcEmpfaengerEu", "ausgabenUebrige", false},
    {UstArt::SteuerschuldnerAndere, "RA", KontoSeite::Ausgabe, "Steuerschuldner nach § 13b Abs. 2 UStG (andere Leistungen)", "rcEmpfaengerAndere", "ausgabenUebrige", false},
    {UstArt::UstZahlung, "ZA", KontoSeite::Ausgabe, "Umsatzsteuer-Zahlung an das Finanzamt", "", "ustGezahlt", true},
    {UstArt::Privatentnahme, "PE", KontoSeite::Ausgabe, "Privatentnahme", "", "entnahmen", true},
};
// clang-format on

const Entry& entryOf(UstArt art) {
    for (const Entry& e : entries)
        if (e.art == art) return e;
    return entries[0];
}

int sideKey(KontoSeite s) {
    return s == KontoSeite::Einnahme ? 0 : 1;
}

constexpr int fieldArt = 0;
constexpr int fieldNr = 1;
constexpr int fieldUst = 2;
constexpr int fieldEuer = 3;
constexpr int fieldSatz = 4;  // added later: an earlier table ends before it

}  // namespace

namespace UstArten {

QString code(UstArt art) {
    return QString::fromLatin1(entryOf(art).code);
}

bool fromCode(const QString& code, UstArt* art) {
    for (const Entry& e : entries)
        if (code == QLatin1String(e.code)) {
            *art = e.art;
            return true;
        }
    return false;
}

std::vector<UstArt> choices(KontoSeite seite) {
    std::vector<UstArt> result;
    for (const Entry& e : entries)
        if (e.seite == seite) result.push_back(e.art);
    return result;
}

KontoSeite seiteOf(UstArt art) {
    return entryOf(art).seite;
}

QString text(UstArt art, const TaxForm& ustva) {
    const Entry& e = entryOf(art);
    QString result = QString::fromUtf8(e.text);
    if (art == UstArt::Regelsteuersatz) {
        QStringList kz;
        for (const TaxFormLine* l : ustva.linesOfKind(QStringLiteral("baseComputedTax"))) kz << l->kzText().mid(3);
        for (const TaxFormLine* l : ustva.linesOfKind(QStringLiteral("baseBookedTax"))) kz << l->kzText().mid(3);
        return result + QStringLiteral(" (Kz %1)").arg(kz.join(QStringLiteral(", ")));
    }
    if (const TaxFormLine* l = ustva.line(QString::fromLatin1(e.ustvaLine))) result += QStringLiteral(" (%1)").arg(l->kzText());
    else if (art == UstArt::UstErstattung || art == UstArt::UstZahlung || art == UstArt::Privatentnahme)
        result += QStringLiteral(" (nicht in der Voranmeldung)");
    else if (art == UstArt::OhneVorsteuerabzug)
        result += QStringLiteral(" (keine Vorsteuer)");
    return result;
}

QString ustvaLineId(UstArt art) {
    if (art == UstArt::Vorsteuerabzug) return QString();
    return QString::fromLatin1(entryOf(art).ustvaLine);
}

QString defaultEuerLine(UstArt art) {
    return QString::fromLatin1(entryOf(art).euerLine);
}

bool euerLineFixed(UstArt art) {
    return entryOf(art).euerFixed;
}

bool owesTax(UstArt art) {
    return art == UstArt::SteuerschuldnerEu || art == UstArt::SteuerschuldnerAndere;
}

QString owedText(UstArt art, double rate, const TaxForm& ustva) {
    QString result = text(art, ustva);
    const QString head = QStringLiteral("Steuerschuldner");  // how the texts of RU and RA begin
    const QString percent = LocaleFormat::formatFloat(rate) + QStringLiteral(" %");
    if (result.startsWith(head)) result.insert(head.size(), QStringLiteral(" mit ") + percent);
    else result += QStringLiteral(", Steuer ") + percent;
    return result;
}

std::vector<double> owedRates(const TaxForm& ustva) {
    std::vector<double> rates;
    for (const TaxFormLine* l : ustva.linesOfKind(QStringLiteral("baseComputedTax")))
        if (l->rate > 0) rates.push_back(l->rate);
    return rates;
}

}  // namespace UstArten

Zuordnung Kontenzuordnung::defaultFor(KontoSeite seite) {
    Zuordnung z;
    z.ust = seite == KontoSeite::Einnahme ? UstArt::Regelsteuersatz : UstArt::Vorsteuerabzug;
    z.euerZeile = UstArten::defaultEuerLine(z.ust);
    return z;
}

Kontenzuordnung Kontenzuordnung::read(const DbfTable& table) {
    Kontenzuordnung result;
    if (!table.Active()) {
        result.m_problem = QStringLiteral(
                               "Die Kontenzuordnung \"%1\" ist nicht geöffnet; es gelten die Vorgaben für alle Konten.")
                               .arg(QDir::toNativeSeparators(table.absoluteFileName()));
        return result;
    }
    if (table.FieldCount() < 4) {
        result.m_problem = QStringLiteral("Die Kontenzuordnung \"%1\" hat ein unbekanntes Format; es gelten die "
                                          "Vorgaben für alle Konten.")
                               .arg(QDir::toNativeSeparators(table.absoluteFileName()));
        return result;
    }
    QStringList bad;
    const bool hasSatz = table.FieldCount() > fieldSatz;
    for (int row = 0; row < table.RecordCount(); ++row) {
        table.readRow(row, [&](const DbfTable& t) {
            const QString art = t.Fields(fieldArt).AsString();
            const int nr = t.Fields(fieldNr).AsInteger();
            UstArt ust;
            if ((art != u"E" && art != u"A") || !UstArten::fromCode(t.Fields(fieldUst).AsString(), &ust)) {
                bad << QString::number(row + 1);
                return;
            }
            const KontoSeite seite = art == u"E" ? KontoSeite::Einnahme : KontoSeite::Ausgabe;
            if (UstArten::seiteOf(ust) != seite) {
                bad << QString::number(row + 1);
                return;
            }
            Zuordnung z;
            z.ust = ust;
            z.euerZeile = UstArten::euerLineFixed(ust) ? UstArten::defaultEuerLine(ust) : t.Fields(fieldEuer).AsString();
            if (z.euerZeile.isEmpty()) z.euerZeile = UstArten::defaultEuerLine(ust);
            if (UstArten::owesTax(ust) && hasSatz) {
                z.satz = t.Fields(fieldSatz).AsFloat();
                if (!(z.satz > 0 && z.satz <= 100)) {
                    bad << QString::number(row + 1);
                    return;
                }
            }
            z.stored = true;
            result.m_rows[{sideKey(seite), nr}] = z;
        });
    }
    if (!bad.isEmpty())
        result.m_problem = QStringLiteral("Die Kontenzuordnung enthält unlesbare Zeilen (Nr. %1); für diese Konten "
                                          "gelten die Vorgaben.")
                               .arg(bad.join(QStringLiteral(", ")));
    return result;
}

Zuordnung Kontenzuordnung::forAccount(KontoSeite seite, int nr) const {
    const auto it = m_rows.find({sideKey(seite), nr});
    return it == m_rows.end() ? defaultFor(seite) : it->second;
}

void Kontenzuordnung::set(KontoSeite seite, int nr, const Zuordnung& z) {
    Zuordnung stored = z;
    if (UstArten::euerLineFixed(z.ust) || stored.euerZeile.isEmpty()) stored.euerZeile = UstArten::defaultEuerLine(z.ust);
    stored.stored = true;
    m_rows[{sideKey(seite), nr}] = stored;
}

void Kontenzuordnung::write(DbfTable& table) const {
    const QString fileName = table.absoluteFileName();
    if (!table.Active())
        throw StorageError(QStringLiteral("Die Kontenzuordnung \"%1\" ist nicht geöffnet; die Änderung wurde nicht "
                                          "gespeichert. Öffnen Sie das Jahr erneut.")
                               .arg(QDir::toNativeSeparators(fileName)));
    if (table.isReadOnly() || table.readOnlyMode())
        throw StorageError(QStringLiteral("Die Kontenzuordnung \"%1\" ist schreibgeschützt; die Änderung wurde nicht "
                                          "gespeichert.")
                               .arg(QDir::toNativeSeparators(fileName)));
    // Closed while its file is replaced, and opened again whatever happened: on a failure the previous
    // file is still there.
    table.Close();
    try {
        rewriteTable(fileName, TableSet::assignmentsSchema(), QStringLiteral("Die Kontenzuordnung"),
                     [this](DbfTable& part) {
                         for (const auto& [key, z] : m_rows) {
                             part.Insert();
                             part.Fields(fieldArt).setAsString(key.first == 0 ? QStringLiteral("E")
                                                                              : QStringLiteral("A"));
                             part.Fields(fieldNr).setAsInteger(key.second);
                             part.Fields(fieldUst).setAsString(UstArten::code(z.ust));
                             part.Fields(fieldEuer).setAsString(z.euerZeile);
                             part.Fields(fieldSatz).setAsFloat(UstArten::owesTax(z.ust) ? z.satz : 0);
                             part.Post();
                         }
                     });
    } catch (const QuorvelError&) {
        table.Open();
        throw;
    } catch (const std::exception& e) {
        table.Open();
        throw StorageError(QStringLiteral("Die Kontenzuordnung \"%1\" konnte nicht gespeichert werden.\n%2")
                               .arg(QDir::toNativeSeparators(fileName), ErrorText::forUser(e)));
    }
    table.Open();
}
