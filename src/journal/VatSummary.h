// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include "journal/Period.h"

class BookingRows;
class DbfTable;

// The VAT summary under the entry panel: output VAT of the income ("E") and input VAT of the expenses
// ("A") in a period. The window shows it after posting, a period change, start-up, a change of client or
// year and a change of a booking in the journal, from JournalTotals, which follows every booking.
struct VatSums {
    double mwst = 0;
    double vorsteuer = 0;
    double abzufuehren() const { return mwst - vorsteuer; }
};

// Walks the visible bookings (what the journal shows) from the first to the last and sums the VAT of each
// booking dated within the period (both ends included) whose Art is exactly "E" (mwst) or "A"
// (vorsteuer). Each booking's VAT is its split rounded to the cent (Booking::split), and the sums are
// exact sums of those cents, so the summary equals the sum of the receipts whatever the journal's order.
// A booking with the rate -100 has no VAT. A pending entry is posted first. Leaves the cursor on the last
// visible booking; detach the journal grid around the call.
VatSums calcMwst(DbfTable& bookings, const Zeitraum& zeitraum);

// What one visible booking adds to the summary of a period: its VAT (rounded to the cent) to mwst when
// art is 'E', to vorsteuer when 'A'; art 0 when it adds nothing (another kind, outside the period).
struct VatShare {
    char art = 0;
    double mwst = 0;
};
VatShare vatShare(const BookingRows& rows, int row, const Zeitraum& zeitraum);

// The three lines before the first computation.
QString mwstLabelCaption();       // "MwSt für eingestellten Zeitraum:"
QString vorsteuerLabelCaption();  // "Vorsteuer für eingestellten Zeitraum:"
QString abfuehrenLabelCaption();  // "Abzuführen für eingestellten Zeitraum:"

// "MwSt für eingestellten Zeitraum: 19,00 €" and its two siblings.
QString mwstLabelText(const VatSums& sums, const QString& currency);
QString vorsteuerLabelText(const VatSums& sums, const QString& currency);
QString abfuehrenLabelText(const VatSums& sums, const QString& currency);
