// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

class DbfTable;

// The selection lists of the entry panels carry no keys: entry i stands for row i of its master table
// in the table's current row order. These functions build the entry texts and find rows again by
// position or by number. Every function walks the table from its first row and moves its cursor.
namespace EntryLookups {

// "19,00%": Prozent with exactly two decimals, locale separator, then "%".
QStringList vatEntries(DbfTable& mwstsaetze);
// "1 - Ausgaben": Nr, " - ", Bezeichnung.
QStringList accountEntries(DbfTable& accounts);
// Field 0 (Text) of every row.
QStringList textEntries(DbfTable& buchungstexte);

// Prozent of the row at `index` (0 when index < 0 or beyond the table).
double rateAt(DbfTable& mwstsaetze, int index);
// Nr of the row at `index` (0 when none).
int accountNrAt(DbfTable& accounts, int index);

// Position of the first row whose Nr equals nr; -1 when none.
int rowOfAccount(DbfTable& accounts, int nr);
// Position of the first row whose Prozent equals rate at double precision; -1 when none.
int rowOfRate(DbfTable& mwstsaetze, double rate);

// Name of account nr: the Bezeichnung of the last row with that number, "Konto <nr>" when none.
QString findKonto(DbfTable& accounts, int nr);

// Selection after a rebuild: the remembered index (0 when nothing was selected) bounded to the new
// length; -1 for an empty list.
inline int boundedIndex(int remembered, int count) {
    if (remembered < 0) remembered = 0;
    return remembered < count ? remembered : count - 1;
}
// The VAT list restores its index unbounded: beyond the list means no selection.
inline int unboundedIndex(int remembered, int count) {
    if (remembered < 0) remembered = 0;
    return remembered < count ? remembered : -1;
}

}  // namespace EntryLookups
