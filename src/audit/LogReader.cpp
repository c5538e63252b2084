// SPDX-License-Identifier: GPL-3.0-or-later
#include "audit/LogReader.h"

#include <QStringList>
#include <cstring>

#include "storage/StorageError.h"

namespace audit {

LogReader::LogReader(const QString& logFile, const QString& bookingsFile)
    : m_log(logFile), m_codePage(CodePage::forLanguageDriver(CodePage::defaultLanguageDriver)) {
    if (!LogFormat::hasLayout(m_log.header()))
        throw DamagedTableError(
            QStringLiteral("Die Datei \"%1\" hat nicht den Aufbau eines Änderungsprotokolls.").arg(logFile));
    if (bookingsFile.isEmpty()) return;
    try {
        const TableImage bookings(bookingsFile);
        m_fields = bookings.header().fields;
        m_codePage = CodePage::forLanguageDriver(bookings.header().languageDriver);
    } catch (const QuorvelError&) {
        // Without the bookings the record bytes are shown as they are.
    }
}

LogEntry LogReader::entry(qint64 index) const {
    return LogFormat::decode(m_log.record(int(index)));
}

std::vector<int> LogReader::select(int record, const QDate& from, const QDate& to) const {
    std::vector<int> rows;
    const qint64 n = count();
    const int satzAt = LogFormat::fieldOffset(LogFormat::Satz);
    const int dateAt = LogFormat::fieldOffset(LogFormat::Ortszeit);
    const QByteArray wanted = record >= 0 ? QByteArray::number(record + 1).rightJustified(
                                                LogFormat::fieldWidth(LogFormat::Satz), ' ')
                                          : QByteArray();
    const QByteArray fromText = from.isValid() ? from.toString(Qt::ISODate).toLatin1() : QByteArray();
    const QByteArray toText = to.isValid() ? to.toString(Qt::ISODate).toLatin1() : QByteArray();
    for (qint64 i = 0; i < n; ++i) {
        const char* rec = m_log.record(int(i));
        const char kind = rec[LogFormat::fieldOffset(LogFormat::Art)];
        if (!wanted.isEmpty() && (kind == 'A' || std::memcmp(rec + satzAt, wanted.constData(), size_t(wanted.size())) != 0))
            continue;
        // ISO dates compare as text.
        const QByteArrayView day(rec + dateAt, 10);
        if (!fromText.isEmpty() && day < QByteArrayView(fromText)) continue;
        if (!toText.isEmpty() && day > QByteArrayView(toText)) continue;
        rows.push_back(int(i));
    }
    return rows;
}

QString LogReader::describe(const QByteArray& record) const {
    if (record.isEmpty()) return QString();
    if (m_fields.empty()) return m_codePage.decode(record.constData(), int(record.size()));
    QStringList parts;
    if (record[0] == '*') parts << QStringLiteral("gelöscht");
    const QByteArray padded = record.leftJustified(m_fields.back().offset + m_fields.back().width, ' ');
    for (const DbfFieldLayout& f : m_fields) {
        QString value = m_codePage.decode(padded.constData() + f.offset, f.width).trimmed();
        if (value.isEmpty()) continue;
        if (f.type == 'D') {
            const QDate d = QDate::fromString(value, QStringLiteral("yyyyMMdd"));
            if (d.isValid()) value = d.toString(QStringLiteral("dd.MM.yyyy"));
        } else if (f.logical == FieldType::Float) {
            bool ok = false;
            const double v = QString(value).replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
            if (ok) value = QString::number(v, 'f', 2).replace(QLatin1Char('.'), QLatin1Char(','));
        }
        parts << f.name.left(1) + f.name.mid(1).toLower() + QLatin1Char(' ') + value;
    }
    return parts.join(QStringLiteral(", "));
}

}  // namespace audit
