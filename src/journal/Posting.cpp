#include "journal/Posting.h"

#include <cmath>

#include "journal/AmountFormat.h"
#include "journal/EntryLookups.h"
#include "storage/DbfTable.h"
#include "storage/StorageError.h"

namespace {

enum BookingField {
    fieldDatum = 0,
    fieldArt = 1,
    fieldBeleg = 2,
    fieldText = 3,
    fieldBrutto = 4,
    fieldMwst = 5,
    fieldKonto = 6,
    fieldSammelkonto = 9,
    fieldKostenstelle = 10,
};

}  // namespace

QString bookingKind(bool einnahme, bool neutral) {
    if (einnahme) return neutral ? QStringLiteral("N") : QStringLiteral("E");
    return neutral ? QStringLiteral("S") : QStringLiteral("A");
}

void postBooking(DbfTable& bookings, DbfTable& mwstsaetze, DbfTable& eaccounts, DbfTable& aaccounts,
                 DbfTable& saccounts, DbfTable& kaccounts, const BookingEntry& entry) {
    // The master tables are read before the insert: a failure there leaves the bookings untouched.
    const double rate = EntryLookups::rateAt(mwstsaetze, entry.mwstIndex);
    const int konto = EntryLookups::accountNrAt(entry.einnahme ? eaccounts : aaccounts, entry.kontoIndex);
    const bool hasSammel = bookings.Active() && bookings.FieldCount() > fieldSammelkonto;
    const bool hasKosten = bookings.Active() && bookings.FieldCount() > fieldKostenstelle;
    const int sammel = hasSammel && entry.sammelShown ? EntryLookups::accountNrAt(saccounts, entry.sammelIndex) : 0;
    const int kosten = hasKosten && entry.kostenShown ? EntryLookups::accountNrAt(kaccounts, entry.kostenIndex) : 0;

    if (bookings.Active() && bookings.FieldCount() <= fieldKonto) {
        throw QuorvelError(QStringLiteral("Die Buchungstabelle \"%1\" hat zu wenige Felder; die Buchung wurde nicht "
                                          "gespeichert.")
                               .arg(bookings.TableName()));
    }

    bookings.Insert();
    try {
        bookings.Fields(fieldDatum).setAsDateTime(entry.datum);
        bookings.Fields(fieldArt).setAsString(bookingKind(entry.einnahme, entry.neutral));
        bookings.Fields(fieldBeleg).setAsString(entry.beleg);
        bookings.Fields(fieldText).setAsString(entry.text);
        bookings.Fields(fieldBrutto).setAsFloat(entry.brutto);
        bookings.Fields(fieldMwst).setAsFloat(rate);
        bookings.Fields(fieldKonto).setAsInteger(konto);
        if (hasSammel) bookings.Fields(fieldSammelkonto).setAsInteger(sammel);
        if (hasKosten) bookings.Fields(fieldKostenstelle).setAsInteger(kosten);
        bookings.Post();
    } catch (...) {
        try {
            if (bookings.state() == DbfTable::State::Insert) bookings.Cancel();
        } catch (...) {
            // The original error is the one the user needs to see.
        }
        throw;
    }
}

QString nettoPreview(double brutto, double rate) {
    const long double g = brutto;
    const long double r = rate;
    if (r + 100 == 0) return {};
    const auto netto = static_cast<double>(g * 100 / (r + 100));
    const auto mwst = static_cast<double>(g * r / (r + 100));
    if (!std::isfinite(netto) || !std::isfinite(mwst)) return {};
    return QStringLiteral("Netto: ") + formatAmount(netto) + QStringLiteral(" MwSt: ") + formatAmount(mwst);
}
