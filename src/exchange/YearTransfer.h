// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <array>
#include <vector>

class TableSet;

// Carries master-data tables of one booking year of a client into another year by copying whole table
// files. A copy goes into a temporary file beside the target and replaces the target only when it is
// complete, so a failed copy (missing source, write-protected target, full disk) leaves the target as it was.
namespace YearTransfer {

// The tables offered, in the order of the dialog's check boxes (CheckBox1 .. CheckBox7).
// Tables that name income, expense or collective accounts and travel with the account tables: the bank
// statements' assignment rules and the DATEV chart accounts.
inline constexpr const char* bankRulesBaseName = "bankregeln";
inline constexpr const char* datevAccountsBaseName = "datevkonten";

inline constexpr std::array<const char*, 7> baseNames{"eaccounts",      "aaccounts", "mwstsaetze", "buchungstexte",
                                                      "dauerbuchungen", "saccounts", "kaccounts"};

// Their names as the dialog shows them, in the same order.
inline constexpr std::array<const char*, 7> tableCaptions{"Einnahmekonten", "Ausgabekonten",  "MwSt-Sätze",
                                                          "Buchungstexte",  "Dauerbuchungen", "Sammelkonten",
                                                          "Kostenkonten"};

struct CopyFailure {
    QString table;  // caption of the table (empty for a single copy)
    QString source;
    QString target;
    QString reason;  // German, for the details of the message
    // "Konnte die Datei <source> nicht nach <target> kopieren!"
    QString message() const;
};

// Copies one file; returns false and fills `failure` when it did not succeed.
bool copyFile(const QString& source, const QString& target, CopyFailure* failure);

// The table file of one table for one year of a client in `folder` (which ends in a separator or is empty).
QString tableFile(const QString& folder, const char* baseName, int mandantnr, int year);

// Copies the chosen tables (chosen[i] for baseNames[i]) from oldYear to newYear, in the dialog's order;
// a failure does not stop the others. Returns the failures in that order. The assignment rules of the bank
// statements and the DATEV chart accounts name income, expense and collective accounts, so they travel
// with any of those account tables when the old year has them.
std::vector<CopyFailure> copyTables(const QString& folder, int mandantnr, int oldYear, int newYear,
                                    const std::array<bool, 7>& chosen);

// One message for all failures of a transfer: every table not copied, with its files and the reason.
QString failuresText(const std::vector<CopyFailure>& failures);

// Carries the account assignment ("kontenzuordnung") of oldYear into newYear, as the tables above. An old
// year without one leaves the new year as it is and counts as done. Close the open assignment table first.
bool copyAssignments(const QString& folder, int mandantnr, int oldYear, int newYear, CopyFailure* failure);

// Closes the eight tables of an open set in the order of the transfer: bookings, income accounts,
// collective accounts, cost centres, recurring bookings, expense accounts, VAT rates, booking texts.
void closeTables(TableSet& tables);

// "Wollen Sie die Einstellungen aus dem Jahr … wirklich ins Jahr … übernehmen? …"
QString questionText(int oldYear, int newYear);

inline const QString equalYearsText = QStringLiteral("Das alte Jahr und das neue Jahr müssen unterschiedlich sein.");

}  // namespace YearTransfer
