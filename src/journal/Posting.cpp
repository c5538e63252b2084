// SPDX-License-Identifier: GPL-3.0-or-later
#include "journal/Posting.h"

#include <cmath>

#include "journal/AmountFormat.h"
#include "journal/Booking.h"
#include "journal/EntryLookups.h"
#include "storage/DbfTable.h"
#include "storage/PendingRecord.h"
#include "storage/StorageError.h"

using namespace Booking;

QString bookingKind(bool einnahme, bool neutral) {
    if (einnahme) return neutral ? QStringLiteral("N") : QStringLiteral("E");
    return neutral ? QStringLiteral("S") : QStringLiteral("A");
}

void postBooking(DbfTable& bookings, DbfTable& mwstsaetze, DbfTable& eaccounts, DbfTable& aaccounts,
                 DbfTable& saccounts, DbfTable& kaccounts, const BookingEntry& entry) {
    // The master tables are read before the insert: a failure there leaves the bookings untouched.
    const double rate = EntryLookups::rateAt(mwstsaetze, entry.mwstIndex);
    const int konto = EntryLookups::accountNrAt(entry.einnahme ? eaccounts : aaccounts, entry.kontoIndex);
    const bool hasSammel = bookings.Active() && bookings.FieldCount() > Sammelkonto;
    const bool hasKosten = bookings.Active() && bookings.FieldCount() > Kostenstelle;
    const int sammel = hasSammel && entry.sammelShown ? EntryLookups::accountNrAt(saccounts, entry.sammelIndex) : 0;
    const int kosten = hasKosten && entry.kostenShown ? EntryLookups::accountNrAt(kaccounts, entry.kostenIndex) : 0;

    if (bookings.Active() && bookings.FieldCount() <= Konto) {
        throw QuorvelError(QStringLiteral("Die Buchungstabelle \"%1\" hat zu wenige Felder; die Buchung wurde nicht "
                                          "gespeichert.")
                               .arg(bookings.TableName()));
    }

    PendingRecord record(bookings);
    bookings.Fields(Datum).setAsDateTime(entry.datum);
    bookings.Fields(Art).setAsString(bookingKind(entry.einnahme, entry.neutral));
    bookings.Fields(Beleg).setAsString(entry.beleg);
    bookings.Fields(Text).setAsString(entry.text);
    bookings.Fields(Brutto).setAsFloat(entry.brutto);
    bookings.Fields(MwSt).setAsFloat(rate);
    bookings.Fields(Konto).setAsInteger(konto);
    if (hasSammel) bookings.Fields(Sammelkonto).setAsInteger(sammel);
    if (hasKosten) bookings.Fields(Kostenstelle).setAsInteger(kosten);
    record.post();
}

QString nettoPreview(double brutto, double rate) {
    if (rate + 100 == 0) return {};
    const Split s = split(brutto, rate);
    if (!std::isfinite(s.netto) || !std::isfinite(s.mwst)) return {};
    return QStringLiteral("Netto: ") + formatAmount(s.netto) + QStringLiteral(" MwSt: ") + formatAmount(s.mwst);
}
