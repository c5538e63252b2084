// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QString>
#include <QStringView>
#include <QtGlobal>
#include <vector>

// One movement on a bank account as a statement reports it: a single transaction, or one transaction of
// a batch entry. Amounts are whole cents, credits positive and debits negative.
struct BankMovement {
    int fileIndex = 0;  // the file it came from, in Statement::files
    QString where;      // "Eintrag 12", "Eintrag 12, Umsatz 3", "Zeile 7"
    QDate datum;        // booking date, or the value date when the bank gave no booking date
    qint64 cents = 0;
    QString currency = QStringLiteral("EUR");
    QString counterparty;
    QString counterpartyIban;
    QString text;              // the remittance lines joined
    QString structuredRef;     // the creditor's structured reference (RF...), when given
    QString endToEndId;        // empty when none was given
    QString bankRef;           // the bank's own reference of the movement
    bool reversal = false;     // the bank reverses an earlier movement
    bool bookedByBank = true;  // false for an entry the bank has only pending

    double amount() const { return double(cents) / 100.0; }
};

// Something in a file that could not be read as it must be.
struct StatementProblem {
    QString file;
    QString where;  // "Eintrag 3 (Zeile 57)", "Zeile 12", or empty for the whole file
    QString field;  // "Betrag", "Buchungsdatum", ... or empty
    QString why;
    // "auszug.xml, Eintrag 3 (Zeile 57), Betrag: ..." for the window and the summary.
    QString text() const;
};

// A file of a statement; a ZIP gives one per entry.
struct StatementFile {
    QString name;
    bool complete = true;  // read whole, without a single problem
};

// What the readers understood of one or more files, and what they could not read. Nothing of a file
// that is not complete may be posted.
struct Statement {
    std::vector<StatementFile> files;
    std::vector<BankMovement> movements;
    std::vector<StatementProblem> problems;

    bool fileComplete(int index) const {
        return index >= 0 && index < int(files.size()) && files[size_t(index)].complete;
    }
    // Adds a file and returns its index.
    int addFile(const QString& name);
    // Records a problem and marks the file as not read whole. Past a few thousand problems only the
    // count goes on, so a broken huge file cannot fill the memory with messages.
    void addProblem(int fileIndex, const QString& where, const QString& field, const QString& why);
    int problemCount() const { return m_problemCount; }

    static constexpr int maxProblemsKept = 2000;

private:
    int m_problemCount = 0;
};

namespace BankAmount {

// Reads a plain decimal as ISO 20022 writes it ("119.5", "1234.56", "0.10000"): digits, at most one
// point, no sign, no grouping. Digits beyond the cents must be zeros. False for anything else, and for
// amounts of 10^13 and more.
bool parseIsoCents(QStringView text, qint64* cents);

// Reads an amount as German bank CSV files write it: an optional sign in front or behind, digits with
// an optional grouping separator in groups of three, the decimal separator, and an optional "€" or
// "EUR" after it. `decimalComma` says which of "," and "." separates the decimals.
bool parseCsvCents(QStringView text, bool decimalComma, qint64* cents);

}  // namespace BankAmount
