#include "exchange/CsvImport.h"

#include <QDate>
#include <QFile>
#include <QRegularExpression>
#include <algorithm>

#include "exchange/CsvFormat.h"
#include "journal/AmountFormat.h"
#include "storage/CodePage.h"
#include "storage/DayNumber.h"
#include "storage/DbfTable.h"
#include "storage/StorageError.h"

namespace {

constexpr int kProgressEvery = 512;

// A value the entry panel would read as an amount: digits with points, commas and an optional sign.
bool looksLikeAmount(const QString& text) {
    static const QRegularExpression pattern(QStringLiteral("^\\s*[+-]?\\d[\\d.,]*\\s*$"));
    return pattern.match(text).hasMatch();
}

// Second chance for a value the table layer rejected. True when the field took it.
bool storeLeniently(DbfField& field, const QString& text) {
    try {
        switch (field.DataType()) {
            case FieldType::Float:
                if (!looksLikeAmount(text)) return false;
                field.setAsFloat(parseAmount(text));
                return true;
            case FieldType::Date: {
                const QDate date = QDate::fromString(text.trimmed().left(10), Qt::ISODate);
                if (!date.isValid()) return false;
                field.setAsDateTime(DayNumber::fromDate(date));
                return true;
            }
            default:
                return false;
        }
    } catch (const ConversionError&) {
        return false;
    }
}

}  // namespace

QByteArray CsvImport::readFile(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) throw QuorvelError(openErrorText);
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) throw QuorvelError(openErrorText);
    return bytes;
}

CsvImportResult CsvImport::importBytes(const QByteArray& bytes) {
    CsvImportResult result;
    result.bookingYear = m_year;
    const CodePage codePage(1252);
    const qint64 total = bytes.size();
    qint64 pos = 0;
    // Files that announce themselves as UTF-8 (spreadsheets' "CSV UTF-8") are read as such; every other file
    // is code page 1252.
    const bool utf8 = bytes.startsWith("\xEF\xBB\xBF");
    if (utf8) pos = 3;
    int lineNumber = 0;
    if (m_progress && !m_progress(0, total)) {
        result.cancelled = true;
        return result;
    }
    while (pos < total) {
        qint64 end = bytes.indexOf('\n', pos);
        if (end < 0) end = total;
        qint64 length = end - pos;
        if (length > 0 && bytes[pos + length - 1] == '\r') --length;
        const QString line = utf8 ? QString::fromUtf8(bytes.constData() + pos, length)
                                  : codePage.decode(bytes.constData() + pos, int(length));
        pos = end + 1;
        ++lineNumber;
        if (lineNumber == 1 && m_skipHeading) continue;
        if (line.isEmpty()) continue;
        try {
            storeLine(CsvFormat::splitLine(line), lineNumber, result);
        } catch (const QuorvelError& e) {
            if (m_table.state() == DbfTable::State::Insert) m_table.Cancel();
            result.stoppedAtLine = lineNumber;
            result.stopReason = e.message();
            return result;
        }
        if (m_progress && lineNumber % kProgressEvery == 0 && !m_progress(std::min(pos, total), total)) {
            result.cancelled = pos < total;
            if (result.cancelled) return result;
        }
    }
    if (m_progress) m_progress(total, total);
    return result;
}

void CsvImport::storeLine(const QStringList& values, int lineNumber, CsvImportResult& result) {
    if (values.isEmpty()) return;
    // A line of bare separators (spreadsheets write them for empty rows) carries no booking.
    if (std::all_of(values.cbegin(), values.cend(), [](const QString& v) { return v.trimmed().isEmpty(); })) {
        ++result.emptyLines;
        return;
    }
    m_table.Insert();
    const int fieldCount = m_table.FieldCount();
    bool surplus = false;
    for (int i = 0; i < values.size(); ++i) {
        const QString text = CsvFormat::unescape(values[i]);
        if (i >= fieldCount) {
            if (!text.trimmed().isEmpty()) surplus = true;
            continue;
        }
        DbfField& field = m_table.Fields(i);
        try {
            field.setAsString(text);
            if (field.DataType() == FieldType::String && text.size() > field.Size() &&
                m_table.codePage().encode(text).size() > field.Size())
                result.shortened.push_back({lineNumber, i + 1, field.FieldName(), text});
        } catch (const ConversionError&) {
            if (!storeLeniently(field, text)) result.rejected.push_back({lineNumber, i + 1, field.FieldName(), text});
        }
    }
    if (surplus) ++result.surplusLines;
    const DbfField& date = m_table.Fields(0);
    const bool outside =
        date.DataType() == FieldType::Date && !date.IsNull() && DayNumber::toDate(date.AsDateTime()).year() != m_year;
    m_table.Post();
    ++result.added;
    if (outside) ++result.outsideYear;
}

namespace {

QString listIssues(const std::vector<CsvImportIssue>& issues, int maxListed) {
    QString out;
    const int shown = std::min(int(issues.size()), maxListed);
    for (int i = 0; i < shown; ++i) {
        const CsvImportIssue& issue = issues[size_t(i)];
        QString text = issue.text;
        text.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
        if (text.size() > 40) text = text.left(40) + QStringLiteral("…");
        out +=
            QStringLiteral("\n  Zeile %1, Feld %2 (%3): \"%4\"").arg(issue.line).arg(issue.field).arg(issue.name, text);
    }
    if (int(issues.size()) > shown) out += QStringLiteral("\n  … und %1 weitere").arg(int(issues.size()) - shown);
    return out;
}

}  // namespace

QString CsvImportResult::summary(int maxListed) const {
    QString out;
    if (stoppedAtLine > 0)
        out += QStringLiteral("Der Import wurde in Zeile %1 abgebrochen:\n%2\n\n").arg(stoppedAtLine).arg(stopReason);
    else if (cancelled)
        out += QStringLiteral("Der Import wurde abgebrochen.\n\n");
    out += added == 1 ? QStringLiteral("1 Buchung wurde importiert.")
                      : QStringLiteral("%1 Buchungen wurden importiert.").arg(added);
    if (cancelled || stoppedAtLine > 0)
        out += QStringLiteral(" Sie bleiben gespeichert; die übrigen Zeilen der Datei wurden nicht gelesen.");
    if (outsideYear > 0)
        out += QStringLiteral(
                   "\n\n%1 davon sind nicht im Buchungsjahr %2 datiert. Sie stehen trotzdem in den "
                   "Buchungen dieses Jahres; bitte prüfen Sie ihr Datum.")
                   .arg(outsideYear)
                   .arg(bookingYear);
    if (!rejected.empty())
        out += QStringLiteral(
                   "\n\n%1 Werte konnten nicht übernommen werden; die Felder blieben leer. Bitte "
                   "prüfen Sie diese Buchungen:")
                   .arg(int(rejected.size())) +
               listIssues(rejected, maxListed);
    if (!shortened.empty())
        out +=
            QStringLiteral("\n\n%1 Texte waren zu lang für ihr Feld und wurden gekürzt:").arg(int(shortened.size())) +
            listIssues(shortened, maxListed);
    if (emptyLines > 0) out += QStringLiteral("\n\n%1 Zeilen ohne Werte wurden übersprungen.").arg(emptyLines);
    if (surplusLines > 0)
        out += QStringLiteral(
                   "\n\n%1 Zeilen hatten mehr Werte als die Buchungstabelle Felder; die überzähligen "
                   "Werte wurden nicht übernommen.")
                   .arg(surplusLines);
    return out;
}
