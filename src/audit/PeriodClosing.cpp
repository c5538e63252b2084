// SPDX-License-Identifier: GPL-3.0-or-later
#include "audit/PeriodClosing.h"

#include <algorithm>

#include <QDir>
#include <QFileInfo>

#include "audit/LogNotes.h"
#include "startup/BookingSchema.h"
#include "startup/ClientNaming.h"
#include "storage/DayNumber.h"
#include "storage/DbfTable.h"
#include "storage/LocaleFormat.h"

namespace audit {

namespace {

const QString untilField = QStringLiteral("Bisdatum");
const QString madeField = QStringLiteral("Am");

QString day(const QDate& d) {
    return d.toString(QStringLiteral("dd.MM.yyyy"));
}

void openClosingTable(DbfTable& table, const QString& fileName) {
    const QFileInfo info(fileName);
    table.setFilePath(info.absolutePath());
    table.setTableName(info.fileName());
    table.setFieldDefs(PeriodClosing::schema());
}

}  // namespace

QDate storedDate(const DbfTable& table, const QByteArray& record, int field) {
    if (field >= table.FieldCount() || table.Fields(field).dbfType() != 'D') return {};
    const int at = table.fieldOffset(field);
    if (at + 8 > record.size()) return {};
    return QDate::fromString(QString::fromLatin1(record.constData() + at, 8), QStringLiteral("yyyyMMdd"));
}

QString storedText(const DbfTable& table, const QByteArray& record, int field) {
    if (field >= table.FieldCount()) return {};
    const int at = table.fieldOffset(field);
    const int width = table.Fields(field).Size();
    if (at + width > record.size()) return {};
    QString text = table.codePage().decode(record.constData() + at, width);
    while (text.endsWith(QLatin1Char(' '))) text.chop(1);
    return text.trimmed();
}

std::vector<FieldDef> PeriodClosing::schema() {
    return {{untilField, FieldType::Date, 0}, {madeField, FieldType::Date, 0}};
}

void PeriodClosing::load(const QString& folder, int mandantnr, int year) {
    m_year = year;
    m_until = QDate();
    m_fileName = QDir(folder).absoluteFilePath(ClientNaming::tableFileName(baseName, mandantnr, year));
    if (!QFileInfo::exists(m_fileName)) return;
    DbfTable table;
    openClosingTable(table, m_fileName);
    table.setReadOnlyMode(true);
    table.Open();
    for (int row = 0; row < table.RecordCount(); ++row) {
        table.readRow(row, [&](const DbfTable& t) {
            if (t.Fields(0).IsNull()) return;
            const QDate until = DayNumber::toDate(t.Fields(0).AsDateTime());
            if (until.isValid() && (!m_until.isValid() || until > m_until)) m_until = until;
        });
    }
}

QDate PeriodClosing::firstOpenDay(const QDate& today) const {
    // The day must lie in the booking year of this table: a correction dated in another year would be
    // stored here but left out of every period of it, and the cancelled amount would not net out.
    const QDate first(m_year, 1, 1);
    const QDate last(m_year, 12, 31);
    QDate day = std::clamp(today, first, last);
    if (isClosed(day)) day = m_until.addDays(1);
    if (day > last)
        throw QuorvelError(QStringLiteral("Das Jahr %1 ist bis zum %2 festgeschrieben; in diesem Jahr kann nichts mehr "
                                          "gebucht werden. Buchen Sie die Korrektur im folgenden Jahr.")
                               .arg(QString::number(m_year), last.toString(QStringLiteral("dd.MM.yyyy"))));
    return day;
}

QList<QDate> PeriodClosing::offeredDates() const {
    QList<QDate> dates;
    for (int month = 1; month <= 12; ++month) {
        const QDate end = QDate(m_year, month, 1).addMonths(1).addDays(-1);
        if (!m_until.isValid() || end > m_until) dates << end;
    }
    return dates;
}

QString PeriodClosing::refusal(const QDate& until) const {
    if (!until.isValid()) return QStringLiteral("Bitte geben Sie ein gültiges Datum ein, z.B. 31.03.%1.").arg(m_year);
    if (until.year() != m_year)
        return QStringLiteral("Das Datum %1 liegt nicht im Buchungsjahr %2; festgeschrieben wird nur im geöffneten Jahr.")
            .arg(day(until))
            .arg(m_year);
    if (m_until.isValid() && until < m_until)
        return QStringLiteral(
                   "Die Buchungen sind schon bis %1 festgeschrieben. Eine Festschreibung kann nicht zurückgenommen "
                   "werden; ein früheres Datum ist daher nicht möglich.")
            .arg(day(m_until));
    if (m_until.isValid() && until == m_until)
        return QStringLiteral("Die Buchungen sind schon bis %1 festgeschrieben.").arg(day(m_until));
    return {};
}

QString PeriodClosing::question(const QDate& until) {
    return QStringLiteral(
               "Alle Buchungen bis einschließlich %1 werden festgeschrieben. Danach können sie weder geändert noch "
               "gelöscht werden, und in diesen Zeitraum kann nichts mehr gebucht werden; Fehler werden nur noch "
               "durch Stornobuchungen berichtigt.\n\nDie Festschreibung kann nicht rückgängig gemacht werden. "
               "Jetzt festschreiben?")
        .arg(day(until));
}

void PeriodClosing::close(const QDate& until, const QDate& today, LogNotes* notes) {
    const QString why = refusal(until);
    if (!why.isEmpty()) throw QuorvelError(why);
    DbfTable table;
    openClosingTable(table, m_fileName);
    if (!QFileInfo::exists(m_fileName)) table.CreateTable();
    table.Open();
    table.Insert();
    table.Fields(0).setAsDateTime(DayNumber::fromDate(until));
    table.Fields(1).setAsDateTime(DayNumber::fromDate(today));
    table.Post();
    if (notes) {
        try {
            notes->note({QStringLiteral("Festschreibung"), -1,
                         QStringLiteral("Buchungen bis einschließlich %1 festgeschrieben (am %2).")
                             .arg(day(until), day(today))});
        } catch (...) {
            // Without its note in the log the closing does not stand.
            try {
                table.Last();
                table.Delete();
            } catch (...) {
            }
            throw;
        }
    }
    m_until = until;
}

void PeriodClosing::forgetRefusal() {
    m_refusedText.clear();
    m_refusedRecord = -1;
}

void PeriodClosing::check(const DbfTable& table, const std::vector<TableChange>& changes) {
    forgetRefusal();
    try {
        refuseClosed(table, changes);
    } catch (const ClosedPeriodError& e) {
        m_refusedText = e.message();
        m_refusedRecord = e.record();
        throw;
    }
}

void PeriodClosing::refuseClosed(const DbfTable& table, const std::vector<TableChange>& changes) const {
    if (!m_until.isValid()) return;
    for (const TableChange& change : changes) {
        if (change.kind != TableChange::Kind::Insert) {
            const QDate stored = storedDate(table, change.before, Booking::Datum);
            if (isClosed(stored)) {
                const QString beleg = storedText(table, change.before, Booking::Beleg);
                throw ClosedPeriodError(
                    QStringLiteral("Die Buchung vom %1 (Beleg %2) liegt im festgeschriebenen Zeitraum bis %3. Sie "
                                   "kann nicht mehr %4 werden; berichtigen Sie sie durch eine Stornobuchung.")
                        .arg(day(stored), beleg.isEmpty() ? QStringLiteral("ohne Nummer") : beleg, day(m_until),
                             change.kind == TableChange::Kind::Delete ? QStringLiteral("gelöscht")
                                                                      : QStringLiteral("geändert")),
                    change.physical);
            }
        }
        if (change.kind != TableChange::Kind::Delete) {
            const QDate date = storedDate(table, change.after, Booking::Datum);
            if (isClosed(date))
                throw ClosedPeriodError(
                    QStringLiteral("Das Datum %1 liegt im festgeschriebenen Zeitraum bis %2; dorthin kann nicht "
                                   "mehr gebucht werden. Bitte wählen Sie ein Datum ab dem %3.")
                        .arg(day(date), day(m_until), day(m_until.addDays(1))),
                    -1);  // nothing stored there to cancel
        }
    }
}

}  // namespace audit
