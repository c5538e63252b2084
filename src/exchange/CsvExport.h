// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>

class DbfTable;

// Writes the bookings the journal shows (its filter and sort order in force) as CSV that the import reads
// back into the same fields: one line per booking, every field in table order, each value quoted, in the
// text form of the table layer (the locale's date and number formats), ";" between values, CR LF at the
// end of each line, code page 1252. Line breaks and backslashes inside texts are escaped, and a text that
// a spreadsheet would run as a formula gets a leading apostrophe, which the import takes away again.
namespace CsvExport {

// Called every few thousand bookings with the bookings written so far and their number; false cancels.
using Progress = std::function<bool(qint64 done, qint64 total)>;

// The file's bytes; the cursor of the table does not move.
QByteArray toBytes(const DbfTable& bookings, int* count = nullptr);

// Writes the file piece by piece through a temporary file that replaces the target only when complete.
// Returns the number of bookings written, or nothing when the progress callback cancelled (the previous
// file is then unchanged); throws QuorvelError with a German message when the file cannot be written.
std::optional<int> writeFile(const DbfTable& bookings, const QString& fileName, const Progress& progress = {});

}  // namespace CsvExport
