#pragma once

#include <QString>

#include "journal/Period.h"

class DbfTable;

// The VAT summary under the entry panel: output VAT of the income ("E") and input VAT of the expenses
// ("A") in a period. It is a snapshot: the window recomputes it after posting, a period change, start-up
// and a change of client or year, nothing else.
struct VatSums {
    double mwst = 0;
    double vorsteuer = 0;
    double abzufuehren() const { return mwst - vorsteuer; }
};

// Walks the visible bookings (what the journal shows, in its order) from the first to the last and sums
// the VAT part Brutto*MwSt/(MwSt+100) of each booking dated within the period (both ends included) whose
// Art is exactly "E" (mwst) or "A" (vorsteuer). Each term is computed in extended precision and added in
// double precision. A booking with the rate -100 has no VAT part (the split divides by zero) and adds
// nothing. Leaves the cursor on the last visible booking; detach the journal grid around the call.
VatSums calcMwst(DbfTable& bookings, const Zeitraum& zeitraum);

// The three lines before the first computation.
QString mwstLabelCaption();       // "MwSt für eingestellten Zeitraum:"
QString vorsteuerLabelCaption();  // "Vorsteuer für eingestellten Zeitraum:"
QString abfuehrenLabelCaption();  // "Abzuführen für eingestellten Zeitraum:"

// "MwSt für eingestellten Zeitraum: 19,00 €" and its two siblings.
QString mwstLabelText(const VatSums& sums, const QString& currency);
QString vorsteuerLabelText(const VatSums& sums, const QString& currency);
QString abfuehrenLabelText(const VatSums& sums, const QString& currency);
