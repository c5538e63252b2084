// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <map>
#include <utility>
#include <vector>

#include "tax/TaxForm.h"

class DbfTable;

// The tax treatment of an account: how its bookings enter the VAT return. Stored as two letters.
enum class UstArt {
    // income accounts
    Regelsteuersatz,          // "RS": 19 % → Kz 81, 7 % → Kz 86, another rate above 0 → Kz 35/36, 0 % unassigned
    SteuerfreiMitVorsteuer,   // "SV": 0 % → Kz 43
    SteuerfreiOhneVorsteuer,  // "SO": 0 %
    InnergemeinschaftlicheLieferung,  // "IG": 0 % → Kz 41
    NichtSteuerbar,           // "NS": 0 %
    Steuerschuldumkehr,       // "RC": 0 %, the recipient owes the tax (§ 13b UStG)
    UstErstattung,            // "ER": VAT refunded by the tax office; no turnover
    // expense accounts
    Vorsteuerabzug,           // "VS": input tax of the booking → Kz 66
    OhneVorsteuerabzug,       // "OV": no input tax; the gross amount is the expense
    // The client owes the tax of the purchase (§ 13b UStG): the booking holds the amount paid, which has no
    // VAT in it, at 0 % (the supplier charged none, so the journal shows none); the rate of the tax owed is
    // the assignment's (Zuordnung::satz). The tax is that rate on the amount, deducted again as input tax
    // (Kz 67). The amount paid is the expense. A booking at another rate than 0 % is not placed.
    SteuerschuldnerEu,        // "RU": a service from a business elsewhere in the EU (§ 13b Abs. 1) → Kz 46/47
    SteuerschuldnerAndere,    // "RA": the other cases of § 13b Abs. 2 → Kz 84/85
    UstZahlung,               // "ZA": VAT paid to the tax office; no input tax
    Privatentnahme,           // "PE": private withdrawal; neither VAT return nor expense
};

enum class KontoSeite { Einnahme, Ausgabe };

namespace UstArten {
QString code(UstArt art);
bool fromCode(const QString& code, UstArt* art);
// The choices of a side, in the order of the dialog's list.
std::vector<UstArt> choices(KontoSeite seite);
KontoSeite seiteOf(UstArt art);
// The text of the choice list, naming the VAT-return line where there is one: "Regelsteuersatz (Kz 81 / 86 / 35/36)".
QString text(UstArt art, const TaxForm& ustva);
// The line of the VAT return the treatment fills: for a rate of 0 (SV, SO, IG, NS, RC), or with the rate of
// the tax owed (RU, RA); empty otherwise.
QString ustvaLineId(UstArt art);
// True for the purchases whose tax the client owes (RU, RA): their assignment carries the rate.
bool owesTax(UstArt art);
// The choice text of RU or RA with the rate of the tax owed near its start, where a narrow list still shows
// it: "Steuerschuldner mit 7 % nach § 13b Abs. 2 UStG (andere Leistungen) (Kz 84/85)".
QString owedText(UstArt art, double rate, const TaxForm& ustva);
// The rates the tax owed can have: those the form computes its tax with (19 % and 7 % in 2026).
std::vector<double> owedRates(const TaxForm& ustva);
// The Anlage EÜR line the treatment fixes (ER, ZA, PE) or proposes (the others).
QString defaultEuerLine(UstArt art);
// True when the EÜR line follows from the treatment and cannot be chosen.
bool euerLineFixed(UstArt art);
}  // namespace UstArten

struct Zuordnung {
    UstArt ust = UstArt::Regelsteuersatz;
    QString euerZeile;  // id of an Anlage EÜR line
    bool stored = false;  // false: the default, no row in the table
    // The rate of the tax owed, in percent, for RU and RA; 19 where a table of an earlier version has no
    // column for it.
    double satz = defaultSatz;
    static constexpr double defaultSatz = 19;
};

// The account assignment of one client and year: the rows of the kontenzuordnung table, and the
// defaults for every account without a row. Rows are written only as a whole new file.
class Kontenzuordnung {
public:
    static Zuordnung defaultFor(KontoSeite seite);

    // Reads the open table; a closed table gives the defaults and `problem` says why. A table without the
    // rate column (written by an earlier version) reads with the default rate; a row of RU or RA whose rate
    // is not above 0 and at most 100 is unreadable.
    static Kontenzuordnung read(const DbfTable& table);

    Zuordnung forAccount(KontoSeite seite, int nr) const;
    void set(KontoSeite seite, int nr, const Zuordnung& z);
    const QString& problem() const { return m_problem; }

    // Writes every stored row as a new file in place of the table's file (temporary file, checked,
    // renamed; a table without the rate column gets it) and opens the table again. A failure leaves the
    // previous file and throws a QuorvelError with a German message; a write-protected table is refused
    // before anything is written.
    void write(DbfTable& table) const;

private:
    std::map<std::pair<int, int>, Zuordnung> m_rows;  // (side, nr)
    QString m_problem;
};
