// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class DbfTable;

// One booking as typed into the entry panel. The rate and the accounts are list positions (the lists
// carry no keys); posting finds the rows again by walking the master tables.
struct BookingEntry {
    double datum = 0;  // day number
    bool einnahme = true;
    bool neutral = false;
    QString beleg;
    QString text;
    double brutto = 0;
    int mwstIndex = -1;  // selected entry of the VAT list, -1 for none
    int kontoIndex = -1;
    bool sammelShown = false;  // the row "Sammelkonto" is shown
    int sammelIndex = -1;
    bool kostenShown = false;  // the row "Kostenstelle" is shown
    int kostenIndex = -1;
};

// Art of a booking: "E" income, "A" expense, "N" neutral on the income side, "S" neutral on the expense side.
QString bookingKind(bool einnahme, bool neutral);

// Posts one booking into the bookings table: Datum, Art, Beleg, Text, Brutto, the rate of the VAT row at
// mwstIndex, the Nr of the income (einnahme) or expense account row at kontoIndex, and, when the table has
// those fields, Sammelkonto and Kostenstelle from their rows - 0 when a row is hidden or nothing matches.
// Nothing is validated: empty texts, a gross of 0 or a date outside the year are posted as they are.
// Texts longer than their fields are cut by the table. Throws what the table layer throws (a closed table,
// a gross amount too wide for its field, a failed write); a failure after the insert cancels the pending
// record, so no half booking is left behind.
void postBooking(DbfTable& bookings, DbfTable& mwstsaetze, DbfTable& eaccounts, DbfTable& aaccounts,
                 DbfTable& saccounts, DbfTable& kaccounts, const BookingEntry& entry);

// The net/VAT preview of the entry panel: "Netto: 100,00 MwSt: 19,00". Empty when the split cannot be
// computed (a rate of -100).
QString nettoPreview(double brutto, double rate);
