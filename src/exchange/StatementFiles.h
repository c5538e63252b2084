// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include "exchange/BankMovement.h"

// The kinds of statement files the program reads and how it tells them apart.
namespace StatementFiles {

enum class Kind { Camt, Zip, Csv };

// A ZIP archive by its signature, a camt document by its XML start, anything else is taken for CSV.
Kind kindOf(const QString& fileName);

// Reads a camt.053 document or a ZIP archive of them into `out`. A file that cannot be opened becomes a
// problem like any other.
void readCamtOrZip(const QString& fileName, Statement& out);

inline const QString dialogFilter = QStringLiteral(
    "Kontoauszüge (*.xml *.zip *.csv *.txt);;CAMT.053 (*.xml);;ZIP-Archive (*.zip);;CSV-Dateien (*.csv *.txt);;Alle "
    "Dateien (*)");

}  // namespace StatementFiles
