// SPDX-License-Identifier: GPL-3.0-or-later
#include "journal/VatSummary.h"

#include "journal/AmountFormat.h"
#include "journal/Booking.h"
#include "journal/BookingRows.h"
#include "journal/CentSum.h"
#include "storage/DbfTable.h"

namespace {

QString line(const QString& caption, double amount, const QString& currency) {
    return caption + QLatin1Char(' ') + formatAmountWithCurrency(amount, currency);
}

}  // namespace

VatShare vatShare(const BookingRows& rows, int row, const Zeitraum& zeitraum) {
    const char art = rows.art(row);
    if (art != 'E' && art != 'A') return {};
    if (!zeitraum.contains(rows.datum(row))) return {};
    return {art, Booking::split(rows.brutto(row), rows.mwst(row)).mwst};
}

VatSums calcMwst(DbfTable& bookings, const Zeitraum& zeitraum) {
    // The rows are read where they stand (no cursor step, no view told about each one); the cursor ends
    // where a walk to the end leaves it.
    bookings.First();
    CentSum mwst, vorsteuer;
    const int count = bookings.RecordCount();
    if (count > 0) {
        const BookingRows rows(bookings);
        for (int row = 0; row < count; ++row) {
            const VatShare share = vatShare(rows, row, zeitraum);
            if (share.art == 'E') mwst.add(share.mwst);
            if (share.art == 'A') vorsteuer.add(share.mwst);
        }
    }
    bookings.Last();
    return {mwst.value(), vorsteuer.value()};
}

QString mwstLabelCaption() {
    return QStringLiteral("MwSt für eingestellten Zeitraum:");
}
QString vorsteuerLabelCaption() {
    return QStringLiteral("Vorsteuer für eingestellten Zeitraum:");
}
QString abfuehrenLabelCaption() {
    return QStringLiteral("Abzuführen für eingestellten Zeitraum:");
}

QString mwstLabelText(const VatSums& sums, const QString& currency) {
    return line(mwstLabelCaption(), sums.mwst, currency);
}
QString vorsteuerLabelText(const VatSums& sums, const QString& currency) {
    return line(vorsteuerLabelCaption(), sums.vorsteuer, currency);
}
QString abfuehrenLabelText(const VatSums& sums, const QString& currency) {
    return line(abfuehrenLabelCaption(), sums.abzufuehren(), currency);
}
