// SPDX-License-Identifier: GPL-3.0-or-later
#include "journal/EntryLookups.h"

#include "journal/AmountFormat.h"
#include "storage/DbfTable.h"

namespace EntryLookups {

namespace {
constexpr int fieldNr = 0;  // Nr of the account tables, Prozent of mwstsaetze, Text of buchungstexte
constexpr int fieldBezeichnung = 1;
}  // namespace

QStringList vatEntries(DbfTable& mwstsaetze) {
    QStringList entries;
    for (mwstsaetze.First(); !mwstsaetze.Eof(); mwstsaetze.Next()) {
        entries.append(formatAmount(mwstsaetze.Fields(fieldNr).AsFloat()) + QLatin1Char('%'));
    }
    return entries;
}

QStringList accountEntries(DbfTable& accounts) {
    QStringList entries;
    for (accounts.First(); !accounts.Eof(); accounts.Next()) {
        entries.append(QString::number(accounts.Fields(fieldNr).AsInteger()) + QLatin1String(" - ") +
                       accounts.Fields(fieldBezeichnung).AsString());
    }
    return entries;
}

QStringList textEntries(DbfTable& buchungstexte) {
    QStringList entries;
    for (buchungstexte.First(); !buchungstexte.Eof(); buchungstexte.Next()) {
        entries.append(buchungstexte.Fields(fieldNr).AsString());
    }
    return entries;
}

double rateAt(DbfTable& mwstsaetze, int index) {
    if (index < 0) return 0;
    int row = 0;
    for (mwstsaetze.First(); !mwstsaetze.Eof(); mwstsaetze.Next(), ++row) {
        if (row == index) return mwstsaetze.Fields(fieldNr).AsFloat();
    }
    return 0;
}

int accountNrAt(DbfTable& accounts, int index) {
    if (index < 0) return 0;
    int row = 0;
    for (accounts.First(); !accounts.Eof(); accounts.Next(), ++row) {
        if (row == index) return accounts.Fields(fieldNr).AsInteger();
    }
    return 0;
}

int rowOfAccount(DbfTable& accounts, int nr) {
    int row = 0;
    for (accounts.First(); !accounts.Eof(); accounts.Next(), ++row) {
        if (accounts.Fields(fieldNr).AsInteger() == nr) return row;
    }
    return -1;
}

int rowOfRate(DbfTable& mwstsaetze, double rate) {
    int row = 0;
    for (mwstsaetze.First(); !mwstsaetze.Eof(); mwstsaetze.Next(), ++row) {
        if (mwstsaetze.Fields(fieldNr).AsFloat() == rate) return row;
    }
    return -1;
}

QString findKonto(DbfTable& accounts, int nr) {
    QString name = QStringLiteral("Konto ") + QString::number(nr);
    // No early exit: with duplicate numbers the last row wins, as the reports have always shown it.
    for (accounts.First(); !accounts.Eof(); accounts.Next()) {
        if (accounts.Fields(fieldNr).AsInteger() == nr) name = accounts.Fields(fieldBezeichnung).AsString();
    }
    return name;
}

}  // namespace EntryLookups
