#include "exchange/CsvExport.h"

#include "exchange/CsvFormat.h"
#include "exchange/SafeFileWriter.h"
#include "storage/CodePage.h"
#include "storage/DbfTable.h"
#include "storage/StorageError.h"

namespace CsvExport {

QByteArray toBytes(const DbfTable& bookings, int* count) {
    const CodePage codePage(1252);
    const int rows = bookings.Active() ? bookings.RecordCount() : 0;
    const int fields = bookings.FieldCount();
    QByteArray out;
    out.reserve(qsizetype(rows) * 96);
    QString line;
    for (int row = 0; row < rows; ++row) {
        line.clear();
        bookings.readRow(row, [&](const DbfTable& table) {
            for (int i = 0; i < fields; ++i) {
                if (i > 0) line += QLatin1Char(';');
                CsvFormat::appendQuoted(line, table.Fields(i).AsString());
            }
        });
        line += QStringLiteral("\r\n");
        out += codePage.encode(line);
    }
    if (count) *count = rows;
    return out;
}

int writeFile(const DbfTable& bookings, const QString& fileName) {
    int count = 0;
    const QByteArray bytes = toBytes(bookings, &count);
    SafeFileWriter writer(fileName);
    if (!writer.open() || !writer.write(bytes.constData(), bytes.size()) || !writer.commit())
        throw QuorvelError(QStringLiteral("Die CSV Datei %1 konnte nicht geschrieben werden: %2\nBitte wählen Sie "
                                          "einen anderen Ort oder geben Sie Speicherplatz frei.")
                               .arg(fileName, writer.errorString()));
    return count;
}

}  // namespace CsvExport
