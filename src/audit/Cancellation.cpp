// SPDX-License-Identifier: GPL-3.0-or-later
#include "audit/Cancellation.h"

#include <cmath>

#include "audit/LogNotes.h"
#include "audit/PeriodClosing.h"
#include "audit/ReceiptNumbers.h"
#include "journal/AmountFormat.h"
#include "journal/Booking.h"
#include "storage/DayNumber.h"
#include "storage/DbfTable.h"

namespace audit::Cancellation {

namespace {

QString day(const QDate& d) {
    return d.toString(QStringLiteral("dd.MM.yyyy"));
}

int integerOf(const DbfTable& t, int field) {
    if (field >= t.FieldCount() || t.Fields(field).IsNull()) return 0;
    return t.Fields(field).AsInteger();
}

double floatOf(const DbfTable& t, int field) {
    if (field >= t.FieldCount() || t.Fields(field).IsNull()) return 0;
    return t.Fields(field).AsFloat();
}

BookingValues read(const DbfTable& t) {
    BookingValues v;
    v.datum = t.Fields(Booking::Datum).IsNull() ? QDate() : DayNumber::toDate(t.Fields(Booking::Datum).AsDateTime());
    v.art = t.Fields(Booking::Art).AsString().trimmed();
    v.beleg = t.Fields(Booking::Beleg).AsString().trimmed();
    v.text = t.Fields(Booking::Text).AsString().trimmed();
    v.brutto = floatOf(t, Booking::Brutto);
    v.mwst = floatOf(t, Booking::MwSt);
    v.konto = integerOf(t, Booking::Konto);
    v.sammelkonto = integerOf(t, Booking::Sammelkonto);
    v.kostenstelle = integerOf(t, Booking::Kostenstelle);
    return v;
}

QString describe(const BookingValues& v) {
    return QStringLiteral("Datensatz %1, Beleg %2 vom %3, %4")
        .arg(QString::number(v.record + 1), v.beleg.isEmpty() ? QStringLiteral("ohne Nummer") : v.beleg, day(v.datum),
             formatAmount(v.brutto));
}

}  // namespace

BookingValues current(const DbfTable& bookings) {
    const int record = bookings.physicalRecNo();
    if (record < 0 || bookings.state() == DbfTable::State::Insert)
        throw QuorvelError(QStringLiteral("Bitte wählen Sie im Journal die Buchung, die storniert werden soll."));
    BookingValues v = read(bookings);
    v.record = record;
    return v;
}

QString text(const BookingValues& original) {
    return QStringLiteral("Storno zu Beleg %1").arg(original.beleg.isEmpty() ? QStringLiteral("ohne Nummer")
                                                                             : original.beleg);
}

bool isCancelled(const DbfTable& bookings, const BookingValues& original) {
    DbfTable all;
    all.setFilePath(bookings.FilePath());
    all.setTableName(bookings.TableName());
    all.setReadOnlyMode(true);
    all.Open();
    const QString wanted = text(original);
    const double negated = Booking::roundToCent(-original.brutto);
    bool found = false;
    for (int row = 0; row < all.RecordCount() && !found; ++row) {
        all.readRow(row, [&](const DbfTable& t) {
            const BookingValues v = read(t);
            found = v.text == wanted && v.art == original.art && v.konto == original.konto &&
                    Booking::roundToCent(v.brutto) == negated;
        });
    }
    return found;
}

QString twiceQuestion(const BookingValues& original) {
    return QStringLiteral(
               "Die Buchung (%1) wurde schon storniert. Eine zweite Stornobuchung würde den Betrag ein weiteres "
               "Mal abziehen.\n\nTrotzdem noch einmal stornieren?")
        .arg(describe(original));
}

CancellationResult cancelCurrent(DbfTable& bookings, const PeriodClosing& closing, const ReceiptNumbers& numbers,
                                 const QDate& today, LogNotes* notes) {
    if (bookings.state() == DbfTable::State::Edit) bookings.Post();
    const BookingValues original = current(bookings);
    CancellationResult result;
    result.datum = closing.firstOpenDay(today);
    result.beleg = QString::number(numbers.proposal());

    bookings.Insert();
    try {
        bookings.Fields(Booking::Datum).setAsDateTime(DayNumber::fromDate(result.datum));
        bookings.Fields(Booking::Art).setAsString(original.art);
        bookings.Fields(Booking::Beleg).setAsString(result.beleg);
        bookings.Fields(Booking::Text).setAsString(text(original));
        bookings.Fields(Booking::Brutto).setAsFloat(-original.brutto);
        bookings.Fields(Booking::MwSt).setAsFloat(original.mwst);
        bookings.Fields(Booking::Konto).setAsInteger(original.konto);
        if (bookings.FieldCount() > Booking::Kostenstelle) {
            bookings.Fields(Booking::Sammelkonto).setAsInteger(original.sammelkonto);
            bookings.Fields(Booking::Kostenstelle).setAsInteger(original.kostenstelle);
        }
        bookings.Post();
    } catch (...) {
        if (bookings.state() == DbfTable::State::Insert) bookings.Cancel();
        throw;
    }
    result.record = bookings.physicalRecordCount() - 1;

    if (notes) {
        BookingValues posted = original;
        posted.record = result.record;
        posted.beleg = result.beleg;
        posted.datum = result.datum;
        posted.brutto = -original.brutto;
        try {
            notes->note({QStringLiteral("Storno"), original.record,
                         QStringLiteral("Buchung storniert (%1) durch Buchung %2.").arg(describe(original), describe(posted))});
        } catch (...) {
            // Without its link in the log the cancellation does not stand: withdraw the booking just posted.
            try {
                for (int row = bookings.RecordCount() - 1; row >= 0; --row) {
                    bookings.setRecNo(row);
                    if (bookings.physicalRecNo() == result.record) {
                        bookings.Delete();
                        break;
                    }
                }
            } catch (...) {
            }
            throw;
        }
    }
    return result;
}

}  // namespace audit::Cancellation
