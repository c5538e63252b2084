#pragma once

#include <QByteArray>
#include <QString>

class DbfTable;

// Writes the bookings the journal shows (its filter and sort order in force) as CSV that the import reads
// back into the same fields: one line per booking, every field in table order, each value quoted, in the
// text form of the table layer (the locale's date and number formats), ";" between values, CR LF at the
// end of each line, code page 1252. Line breaks and backslashes inside texts are escaped.
namespace CsvExport {

// The file's bytes; the cursor of the table does not move.
QByteArray toBytes(const DbfTable& bookings, int* count = nullptr);

// Writes the file safely (temporary file, renamed into place when complete). Returns the number of
// bookings written; throws QuorvelError with a German message when the file cannot be written.
int writeFile(const DbfTable& bookings, const QString& fileName);

}  // namespace CsvExport
