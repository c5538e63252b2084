#include "exchange/CsvExport.h"

#include "exchange/CsvFormat.h"
#include "storage/CodePage.h"
#include "storage/DbfTable.h"
#include "storage/SafeFile.h"
#include "storage/StorageError.h"

namespace CsvExport {

namespace {

QString lineOf(const DbfTable& table, int fields) {
    QString line;
    for (int i = 0; i < fields; ++i) {
        if (i > 0) line += QLatin1Char(';');
        CsvFormat::appendQuoted(line, table.Fields(i).AsString());
    }
    line += QStringLiteral("\r\n");
    return line;
}

// A table in another code page can hold characters that code page 1252 lacks; such a file is written as
// UTF-8 with its byte-order mark, which the import recognises, rather than with question marks.
QByteArray utf8Bytes(const DbfTable& bookings, int* count) {
    const int rows = bookings.RecordCount();
    const int fields = bookings.FieldCount();
    QByteArray out("\xEF\xBB\xBF");
    for (int row = 0; row < rows; ++row)
        bookings.readRow(row, [&](const DbfTable& table) { out += lineOf(table, fields).toUtf8(); });
    if (count) *count = rows;
    return out;
}

}  // namespace

QByteArray toBytes(const DbfTable& bookings, int* count) {
    const CodePage codePage(1252);
    const int rows = bookings.Active() ? bookings.RecordCount() : 0;
    const int fields = bookings.FieldCount();
    QByteArray out;
    out.reserve(qsizetype(rows) * 96);
    for (int row = 0; row < rows; ++row) {
        QString line;
        bookings.readRow(row, [&](const DbfTable& table) { line = lineOf(table, fields); });
        if (!codePage.canEncode(line)) return utf8Bytes(bookings, count);
        out += codePage.encode(line);
    }
    if (count) *count = rows;
    return out;
}

int writeFile(const DbfTable& bookings, const QString& fileName) {
    int count = 0;
    const QByteArray bytes = toBytes(bookings, &count);
    SafeFile::replace(fileName, bytes, QStringLiteral("Die CSV Datei"));
    return count;
}

}  // namespace CsvExport
