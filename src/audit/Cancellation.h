// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QString>

class DbfTable;

namespace audit {

class LogNotes;
class PeriodClosing;
class ReceiptNumbers;

// The fields of one booking a cancellation copies.
struct BookingValues {
    int record = -1;  // record number in the file, 0-based
    QDate datum;
    QString art;
    QString beleg;
    QString text;
    double brutto = 0;
    double mwst = 0;
    int konto = 0;
    int sammelkonto = 0;
    int kostenstelle = 0;
};

// What a cancellation posted.
struct CancellationResult {
    int record = -1;  // the cancelling booking
    QDate datum;
    QString beleg;
};

// Cancelling ("Stornieren") a booking: instead of erasing it, a second booking of the same kind, account,
// rate, collective account and cost centre with the negated gross is posted, so that every sum (VAT summary,
// reports, tax forms) nets the two to zero while both stay in the books.
namespace Cancellation {

// The booking under the cursor of `bookings` (the table must stand on a stored booking).
BookingValues current(const DbfTable& bookings);

// "Storno zu Beleg 17": the text of the cancelling booking.
QString text(const BookingValues& original);

// Whether the file already holds a booking that cancels `original` (same kind and account, the negated
// gross and text(original)), the bookings the journal's filter hides included.
bool isCancelled(const DbfTable& bookings, const BookingValues& original);

// Posts the cancellation of the booking under the cursor: dated `today`, or the first open day after the
// closing when today lies in the closed period; the next receipt number of `numbers`. The change log gets
// a note linking it to the original (`notes` may be null); when that note cannot be written the
// cancelling booking is withdrawn and the error rethrown. A pending edit of the table is posted first.
CancellationResult cancelCurrent(DbfTable& bookings, const PeriodClosing& closing, const ReceiptNumbers& numbers,
                                 const QDate& today, LogNotes* notes);

// The German question before a booking that is already cancelled is cancelled once more.
QString twiceQuestion(const BookingValues& original);

}  // namespace Cancellation

}  // namespace audit
