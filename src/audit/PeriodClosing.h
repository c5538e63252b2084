// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <vector>

#include "storage/FieldDef.h"
#include "storage/StorageError.h"
#include "storage/TableWitness.h"

namespace audit {

class LogNotes;

// A booking the closing protects: an edit or delete of a booking dated in the closed period, or a new or
// moved booking dated there. `record` is the stored booking's record number (0-based) that may be
// cancelled instead, -1 when the refused change is a new booking or a move into the period.
class ClosedPeriodError : public ChangeRefusedError {
public:
    ClosedPeriodError(const QString& message, int record) : ChangeRefusedError(message), m_record(record) {}
    int record() const { return m_record; }

private:
    int m_record = -1;
};

// The closing ("Festschreibung") of a client's booking year: every booking dated up to closedUntil() is
// final. It watches the bookings table and refuses, before anything is written, each insert dated in
// the closed period and each edit or delete of a booking whose stored date lies there (an edit that
// moves a booking into the period too). A wrong booking there is cancelled by a negating booking instead.
//
// The closing is kept in the table festschreibung_<client>_<year>.dbf beside the bookings, one row per
// closing (Bisdatum, the day it was made); the latest Bisdatum counts. Closing only moves forward.
class PeriodClosing : public TableWitness {
public:
    static inline const QString baseName = QStringLiteral("festschreibung");
    static std::vector<FieldDef> schema();

    // Reads the closing of client `mandantnr` and `year` in `folder`; a missing table means nothing is
    // closed. Throws what the table layer throws when the table exists but cannot be read.
    void load(const QString& folder, int mandantnr, int year);
    const QString& fileName() const { return m_fileName; }

    QDate closedUntil() const { return m_until; }  // invalid: nothing closed
    bool isClosed(const QDate& day) const { return m_until.isValid() && day.isValid() && day <= m_until; }
    // The day a correction made `today` is dated in this year: today clamped to the year, moved past the
    // closing when that is closed. Throws QuorvelError (German) when the year is closed to its end.
    QDate firstOpenDay(const QDate& today) const;

    // The month ends of the year later than the current closing, which the closing offers.
    QList<QDate> offeredDates() const;
    // Why closing up to `until` is refused (German), empty when it may be done.
    QString refusal(const QDate& until) const;
    // Closes every booking up to `until` for good: a row in the closing table (created when missing) and a
    // note in the change log (`notes` may be null). Throws QuorvelError with refusal() when refused; a
    // note that cannot be written withdraws the row and is rethrown.
    void close(const QDate& until, const QDate& today, LogNotes* notes);

    void check(const DbfTable& table, const std::vector<TableChange>& changes) override;

    // The last change check() refused (message and record), until the next check or forgetRefusal: the
    // window that shows the message offers the cancellation of that record.
    const QString& lastRefusal() const { return m_refusedText; }
    int lastRefusedRecord() const { return m_refusedRecord; }
    void forgetRefusal();

    // The German question asked before closing.
    static QString question(const QDate& until);

private:
    void refuseClosed(const DbfTable& table, const std::vector<TableChange>& changes) const;

    QString m_fileName;  // absolute
    int m_year = 0;
    QDate m_until;
    QString m_refusedText;
    int m_refusedRecord = -1;
};

// The date stored in field `field` of the record bytes of `table`'s layout; invalid when empty or not a date.
QDate storedDate(const DbfTable& table, const QByteArray& record, int field);
// The text stored in field `field`, trailing blanks cut.
QString storedText(const DbfTable& table, const QByteArray& record, int field);

}  // namespace audit
