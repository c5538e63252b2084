// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

#include "exchange/BankCsvProfile.h"
#include "exchange/BankMovement.h"

// Reads the CSV exports of banks by a column profile. Splitting into records (quotes, separators and line
// breaks inside quotes) is done by libcsv in strict mode; the profile then says what each column means.
// A line with another number of columns than the heading (the layout changing in the middle), a date or
// an amount that does not convert becomes a problem naming the line, and the file counts as not read whole.
namespace BankCsvReader {

struct Row {
    int line = 0;  // physical line of the file where the record ends, counted from 1
    QStringList fields;
};

struct Table {
    std::vector<Row> rows;  // the heading first, when the profile has one
    QString error;          // a record that libcsv could not split, with its line
};

// The file's text in the profile's encoding; a UTF-8 byte-order mark means UTF-8 whatever the profile says.
QString decode(const QByteArray& bytes, BankCsvProfile::Encoding encoding);

// The records after the profile's skipped lines, at most maxRows of them (-1: all).
Table split(const QByteArray& bytes, const BankCsvProfile& profile, int maxRows = -1);

// The first lines of the file as they are, for the preview of the profile dialog.
QStringList firstLines(const QByteArray& bytes, const BankCsvProfile& profile, int count);

// The heading line (the line after the skipped ones) as text, line break removed; what a saved profile
// is recognised by.
QString headingLine(const QByteArray& bytes, const BankCsvProfile& profile);

// A first guess for a new file: UTF-8 when the bytes are valid UTF-8 (else code page 1252), and the
// separator that splits the first lines most evenly among ";", "," and tab.
BankCsvProfile guess(const QByteArray& bytes);

// Reads the movements of a file into `out` as the file `fileName`.
void read(const QByteArray& bytes, const QString& fileName, const BankCsvProfile& profile, Statement& out);

}  // namespace BankCsvReader
