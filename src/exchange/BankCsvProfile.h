// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

class OptionStore;

// How the CSV export of one bank is laid out: which column holds what, how the file is encoded and
// written. Columns count from 0; -1 means "none".
struct BankCsvProfile {
    enum class Encoding { Cp1252, Utf8 };

    QString name;
    Encoding encoding = Encoding::Cp1252;  // a UTF-8 byte-order mark always means UTF-8
    QChar separator = u';';
    bool decimalComma = true;
    int skipLines = 0;       // lines before the heading (account details, balances)
    bool hasHeading = true;  // the line after them names the columns
    int dateColumn = -1;
    int amountColumn = -1;   // one signed amount, or:
    int debitColumn = -1;    // money out ("Soll"), taken as negative whatever its sign
    int creditColumn = -1;   // money in ("Haben")
    QList<int> textColumns;  // joined with blanks into the remittance text
    int counterpartyColumn = -1;
    int referenceColumn = -1;
    int currencyColumn = -1;  // empty or missing: EUR
    QString heading;          // the heading line the profile was made for, to recognise the bank's files

    // The German reason the profile cannot read a file, or empty when it is complete.
    QString incomplete() const;

    QByteArray toJson() const;
    static std::optional<BankCsvProfile> fromJson(const QByteArray& json);
};

// The saved profiles, by name, in the program's option store.
namespace BankCsvProfiles {

QStringList names(const OptionStore& store);
std::optional<BankCsvProfile> load(const OptionStore& store, const QString& name);
// Saves (or replaces) the profile under its name; sync the store afterwards.
void save(OptionStore& store, const BankCsvProfile& profile);
void remove(OptionStore& store, const QString& name);
// The first saved profile whose heading line is the file's line at that profile's position.
std::optional<BankCsvProfile> recognise(const OptionStore& store, const QByteArray& fileBytes);

}  // namespace BankCsvProfiles
