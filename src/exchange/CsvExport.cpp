// SPDX-License-Identifier: GPL-3.0-or-later
#include "exchange/CsvExport.h"

#include <QHash>
#include <cmath>

#include "exchange/CsvFormat.h"
#include "exchange/CsvValues.h"
#include "storage/CodePage.h"
#include "storage/DbfTable.h"
#include "storage/FieldCodec.h"
#include "storage/LocaleFormat.h"
#include "storage/SafeFile.h"
#include "storage/StorageError.h"

namespace CsvExport {

namespace {

constexpr int kRowsPerPiece = 4096;

// Turns stored records into CSV lines: every field as the table layer shows it as text (trailing blanks of
// texts dropped, the locale's date form, floats in their general form), read straight from the record's
// bytes. Dates repeat all through a year, so their text is made once per day.
class LineWriter {
public:
    explicit LineWriter(const DbfTable& table) : m_table(table), m_codePage(table.codePage()) {
        for (int i = 0; i < table.FieldCount(); ++i) {
            const DbfField& f = table.Fields(i);
            m_fields.push_back({f.DataType(), table.fieldOffset(i), f.Size()});
        }
    }

    void append(QString& out, const char* record) {
        for (size_t i = 0; i < m_fields.size(); ++i) {
            if (i > 0) out += QLatin1Char(';');
            CsvFormat::appendQuoted(out, text(m_fields[i], record + m_fields[i].offset));
        }
        out += QStringLiteral("\r\n");
    }

private:
    struct Field {
        FieldType type;
        int offset;
        int width;
    };

    QString text(const Field& f, const char* p) {
        switch (f.type) {
            case FieldType::String: {
                int w = f.width;
                while (w > 0 && (p[w - 1] == ' ' || p[w - 1] == '\0')) --w;
                return CsvValues::neutralise(m_codePage.decode(p, w));
            }
            case FieldType::Date: {
                const QByteArray raw(p, 8);
                auto it = m_dates.constFind(raw);
                if (it != m_dates.constEnd()) return *it;
                QDate date;
                const QString text = FieldCodec::readDate(p, &date) ? LocaleFormat::formatDate(date) : QString();
                m_dates.insert(raw, text);
                return text;
            }
            case FieldType::Float: {
                double v = 0;
                if (!FieldCodec::readNumber(p, f.width, &v)) return QString();
                return LocaleFormat::formatFloat(v);
            }
            case FieldType::Integer: {
                double v = 0;
                if (!FieldCodec::readNumber(p, f.width, &v)) return QString();
                if (std::fabs(v) < 9e18) return QString::number(qint64(v));
                return LocaleFormat::formatFloat(std::trunc(v));
            }
        }
        return QString();
    }

    const DbfTable& m_table;
    const CodePage& m_codePage;
    std::vector<Field> m_fields;
    QHash<QByteArray, QString> m_dates;
};

// Hands the file's bytes to `sink` piece by piece. A table in another code page can hold characters that
// code page 1252 lacks; such a file is written as UTF-8 with its byte-order mark, which the import
// recognises, rather than with question marks: `sink` is then told to start again (restart true).
// Returns false when cancelled.
template <class Sink>
bool produce(const DbfTable& bookings, const Progress& progress, Sink&& sink) {
    if (!bookings.Active()) return true;
    const int rows = bookings.RecordCount();
    const CodePage cp1252(1252);
    LineWriter writer(bookings);
    bool utf8 = false;
    QString piece;
    for (int row = 0; row < rows;) {
        piece.clear();
        const int end = std::min(rows, row + kRowsPerPiece);
        for (int r = row; r < end; ++r) writer.append(piece, bookings.rowBytes(r));
        if (!utf8 && !cp1252.canEncode(piece)) {
            utf8 = true;
            row = 0;
            sink(QByteArray("\xEF\xBB\xBF"), true);
            continue;
        }
        sink(utf8 ? piece.toUtf8() : cp1252.encode(piece), false);
        row = end;
        if (progress && !progress(row, rows)) return false;
    }
    return true;
}

}  // namespace

QByteArray toBytes(const DbfTable& bookings, int* count) {
    QByteArray out;
    produce(bookings, {}, [&](const QByteArray& bytes, bool restart) {
        if (restart) out.clear();
        out += bytes;
    });
    if (count) *count = bookings.Active() ? bookings.RecordCount() : 0;
    return out;
}

std::optional<int> writeFile(const DbfTable& bookings, const QString& fileName, const Progress& progress) {
    SafeFile::Writer file(fileName, QStringLiteral("Die CSV Datei"));
    const bool complete = produce(bookings, progress, [&](const QByteArray& bytes, bool restart) {
        if (restart) file.restart();
        file.write(bytes);
    });
    if (!complete) return std::nullopt;
    file.commit();
    return bookings.Active() ? bookings.RecordCount() : 0;
}

}  // namespace CsvExport
