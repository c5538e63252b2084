// SPDX-License-Identifier: GPL-3.0-or-later
#include "audit/AuditExportTables.h"

#include "storage/DbfField.h"

namespace AuditExportTables {

namespace {

std::vector<FieldText> accountFields(const QString& what) {
    return {
        {"NR", QStringLiteral("Nummer des %1, wie sie in den Buchungen steht").arg(what)},
        {"BEZEICHNUN", QStringLiteral("Bezeichnung des %1").arg(what)},
    };
}

std::vector<Known> makeAll() {
    std::vector<Known> tables;
    tables.push_back({QStringLiteral("records"),
                      QStringLiteral("buchungen.csv"),
                      QStringLiteral("Buchungen"),
                      QStringLiteral("Alle Buchungen des Buchungsjahres (Einnahmen-Überschuss-Rechnung) in der "
                                     "Reihenfolge der Tabellendatei; Beträge brutto, USt und Netto berechnet"),
                      {
                          {"DATUM", QStringLiteral("Buchungsdatum")},
                          {"ART", QStringLiteral("Art der Buchung: E Einnahme, A Ausgabe, N gewinnneutrale Buchung "
                                                 "auf der Einnahmenseite, S gewinnneutrale Buchung auf der "
                                                 "Ausgabenseite")},
                          {"BELEG", QStringLiteral("Belegnummer")},
                          {"TEXT", QStringLiteral("Buchungstext")},
                          {"BRUTTO", QStringLiteral("Bruttobetrag")},
                          {"MWST", QStringLiteral("Umsatzsteuersatz in Prozent (19 bedeutet 19 %)")},
                          {"KONTO", QStringLiteral("Nummer des Einnahmekontos (Art E und N) oder des Ausgabekontos "
                                                   "(Art A und S)")},
                          {"MWST2", QStringLiteral("Gespeichertes Feld, vom Programm nicht beschrieben (in der "
                                                   "Regel leer); maßgeblich ist die Spalte USTBETRAG")},
                          {"NETTO", QStringLiteral("Gespeichertes Feld, vom Programm nicht beschrieben (in der "
                                                   "Regel leer); maßgeblich ist die Spalte NETTOBETRAG")},
                          {"SAMMELKONT", QStringLiteral("Nummer des Sammelkontos, 0 = nicht zugeordnet")},
                          {"KOSTENSTEL", QStringLiteral("Nummer der Kostenstelle, 0 = nicht zugeordnet")},
                      },
                      true,
                      true});
    tables.push_back({QStringLiteral("eaccounts"), QStringLiteral("einnahmekonten.csv"),
                      QStringLiteral("Einnahmekonten"),
                      QStringLiteral("Einnahmearten (Konten der Buchungen mit Art E und N)"),
                      accountFields(QStringLiteral("Einnahmekontos"))});
    tables.push_back({QStringLiteral("aaccounts"), QStringLiteral("ausgabekonten.csv"), QStringLiteral("Ausgabekonten"),
                      QStringLiteral("Ausgabearten (Konten der Buchungen mit Art A und S)"),
                      accountFields(QStringLiteral("Ausgabekontos"))});
    tables.push_back({QStringLiteral("saccounts"), QStringLiteral("sammelkonten.csv"), QStringLiteral("Sammelkonten"),
                      QStringLiteral("Sammelkonten der Buchungen (Spalte SAMMELKONT)"),
                      accountFields(QStringLiteral("Sammelkontos"))});
    tables.push_back({QStringLiteral("kaccounts"), QStringLiteral("kostenstellen.csv"), QStringLiteral("Kostenstellen"),
                      QStringLiteral("Kostenstellen der Buchungen (Spalte KOSTENSTEL)"),
                      accountFields(QStringLiteral("Kostenstelle"))});
    tables.push_back({QStringLiteral("mwstsaetze"),
                      QStringLiteral("mwstsaetze.csv"),
                      QStringLiteral("Umsatzsteuersaetze"),
                      QStringLiteral("Umsatzsteuersätze, die bei der Erfassung zur Wahl stehen"),
                      {{"PROZENT", QStringLiteral("Umsatzsteuersatz in Prozent")}}});
    tables.push_back({QStringLiteral("kontenzuordnung"),
                      QStringLiteral("kontenzuordnung.csv"),
                      QStringLiteral("Kontenzuordnung"),
                      QStringLiteral("Umsatzsteuerliche Behandlung und Zeile der Anlage EÜR je Einnahme- und "
                                     "Ausgabekonto; ein Konto ohne Zeile hat die Vorgabe seiner Seite"),
                      {
                          {"ART", QStringLiteral("Seite des Kontos: E Einnahmekonto, A Ausgabekonto")},
                          {"NR", QStringLiteral("Nummer des Kontos")},
                          {"USTART", QStringLiteral("Umsatzsteuerliche Behandlung: RS Regelsteuersatz, SV steuerfrei "
                                                    "mit Vorsteuerabzug, SO steuerfrei ohne Vorsteuerabzug, IG "
                                                    "innergemeinschaftliche Lieferung, NS nicht steuerbar, RC "
                                                    "Leistungsempfänger schuldet die Steuer (§ 13b UStG), ER "
                                                    "USt-Erstattung, VS Vorsteuerabzug, OV ohne Vorsteuerabzug, RU "
                                                    "Steuerschuldner nach § 13b Abs. 1 UStG, RA Steuerschuldner nach "
                                                    "§ 13b Abs. 2 UStG, ZA USt-Zahlung, PE Privatentnahme")},
                          {"EUERZEILE", QStringLiteral("Kennung der Zeile der Anlage EÜR")},
                          {"STEUERSATZ", QStringLiteral("Bei RU und RA der Steuersatz der geschuldeten Steuer in "
                                                        "Prozent (die Buchungen stehen mit 0 %), sonst 0")},
                      }});
    tables.push_back({QStringLiteral("protokoll"),
                      QStringLiteral("protokoll.csv"),
                      QStringLiteral("Aenderungsprotokoll"),
                      QStringLiteral("Protokoll aller Änderungen an den Buchungen des Jahres, als Kette: jeder "
                                     "Eintrag trägt eine Prüfsumme über die des vorigen und seinen Inhalt"),
                      {
                          {"LFDNR", QStringLiteral("Laufende Nummer des Eintrags, ab 1")},
                          {"UTC", QStringLiteral("Zeitpunkt des Eintrags in koordinierter Weltzeit (ISO 8601)")},
                          {"ORTSZEIT", QStringLiteral("Zeitpunkt des Eintrags in Ortszeit mit Abstand zur Weltzeit "
                                                      "(ISO 8601)")},
                          {"ART", QStringLiteral("Art des Eintrags: N neue Buchung, E Änderung, L Löschung, A "
                                                 "Protokollbeginn, H Vermerk")},
                          {"AKTION", QStringLiteral("Bezeichnung des Eintrags (Erfassung, Änderung, Löschung, "
                                                    "Protokollbeginn, Festschreibung, Storno, Belegnummer)")},
                          {"SATZ", QStringLiteral("Nummer des betroffenen Datensatzes der Buchungen, ab 1 (SATZNR "
                                                  "der Buchungen); 0 = keiner; beim Protokollbeginn die Zahl der "
                                                  "vorgefundenen Datensätze")},
                          {"VORHER", QStringLiteral("Der Datensatz vor der Änderung, wie er in der Buchungsdatei "
                                                    "gespeichert war (Löschkennzeichen zuerst, Felder in fester "
                                                    "Breite)")},
                          {"NACHHER", QStringLiteral("Der Datensatz nach der Änderung in gleicher Form; beim "
                                                     "Protokollbeginn die SHA-256-Prüfsumme der vorgefundenen "
                                                     "Buchungen, bei einem Vermerk dessen Text")},
                          {"VERSION", QStringLiteral("Version des Programms, das den Eintrag schrieb")},
                          {"HASH", QStringLiteral("SHA-256-Prüfsumme (hexadezimal) über die Prüfsumme des vorigen "
                                                  "Eintrags und die Felder LFDNR bis VERSION dieses Eintrags")},
                      }});
    tables.push_back({QStringLiteral("festschreibung"),
                      QStringLiteral("festschreibung.csv"),
                      QStringLiteral("Festschreibung"),
                      QStringLiteral("Festschreibungen des Jahres: Buchungen bis einschließlich des Datums sind "
                                     "festgeschrieben und nur noch durch Storno zu berichtigen"),
                      {
                          {"BISDATUM", QStringLiteral("Festgeschrieben bis einschließlich")},
                          {"AM", QStringLiteral("Tag der Festschreibung")},
                      },
                      false,
                      false,
                      true});
    return tables;
}

QString typeText(const DbfField& field) {
    switch (field.dbfType()) {
        case 'C':
            return QStringLiteral("Text");
        case 'D':
            return QStringLiteral("Datum");
        case 'N':
        case 'F':
            return QStringLiteral("Zahl");
        case 'L':
            return QStringLiteral("Wahrheitswert");
        default:
            return QStringLiteral("Typ %1").arg(QLatin1Char(field.dbfType()));
    }
}

}  // namespace

const std::vector<Known>& all() {
    static const std::vector<Known> tables = makeAll();
    return tables;
}

QString describe(const Known& table, const DbfField& field) {
    for (const FieldText& f : table.fields) {
        if (field.FieldName().compare(QLatin1String(f.storedName), Qt::CaseInsensitive) == 0) return f.description;
    }
    return QStringLiteral("Feld %1 der Tabelle (%2, Breite %3, %4 Nachkommastellen); noch ohne Beschreibung")
        .arg(field.FieldName(), typeText(field), QString::number(field.Size()), QString::number(field.Decimals()));
}

}  // namespace AuditExportTables
