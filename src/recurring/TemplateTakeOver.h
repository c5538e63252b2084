// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <optional>

class DbfTable;

// Recurring booking templates (table dauerbuchungen: Art, Beleg, Text, Brutto, MwSt, Konto by
// position): reading the current template for the take-over into the entry panel, and adding one.
namespace TemplateTakeOver {

// What the take-over puts into the entry panel.
struct TakeOverValues {
    bool einnahme = false;         // Art exactly "E"; anything else, empty included, is an expense
    std::optional<QString> beleg;  // only when not empty: the panel otherwise keeps its proposal
    std::optional<QString> text;   // only when not empty
    double brutto = 0.0;
    int mwstZahl = 0;  // MwSt rounded to the nearest whole number, ties to even; empty gives 0
    int konto = 0;     // empty gives 0
};

// The entry form of the recurring-bookings window, as "Hinzufügen" reads it. Rate and account are
// list positions (entry i stands for row i of its master table); -1 when nothing is selected.
struct NewTemplate {
    bool einnahme = true;
    QString beleg;
    QString text;
    double brutto = 0.0;
    int rateIndex = -1;
    int accountIndex = -1;
};

// Whole number nearest to value; a tie goes to the even neighbour (7.5 -> 8, 6.5 -> 6).
int roundHalfEven(double value);

// The template under the cursor (its edit buffer while it is pending). Throws QuorvelError when the
// table is closed, has no row, or lacks the six template fields.
TakeOverValues readCurrent(const DbfTable& dauer);

// Inserts and posts a template. MwSt is the Prozent of row rateIndex of mwstsaetze, Konto the Nr of row
// accountIndex of `accounts` (eaccounts or aaccounts), each 0 when nothing is selected or the row is gone.
// On a failure the pending row is cancelled and the error rethrown; the table is then as before.
void addTemplate(DbfTable& dauer, DbfTable& mwstsaetze, DbfTable& accounts, const NewTemplate& entry);

}  // namespace TemplateTakeOver
