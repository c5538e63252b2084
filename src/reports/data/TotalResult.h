// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "journal/Period.h"
#include "reports/data/ReportArrays.h"

class DbfTable;

// "Gesamtergebnis": the income ("E") and expenses ("A") of the period summed per account (ein, aus) and
// per VAT rate (mwstsE, mwstsA). Neutral bookings and any other letter are left out; no sign factor
// applies (the layout subtracts the expenses).
namespace TotalResult {

// The collection pass over the bookings as the journal shows them (its filter and order), from the first
// to the last; leaves the table at its end. A booking counts when vondatum <= Datum <= bisdatum. Records
// are added in order of first occurrence; rates group by exact equality of the stored values. Each
// booking's VAT is rounded to the cent (Booking::split) and the sums are exact sums of those cents, so
// the accounts, the rates and the VAT summary agree to the cent.
void collect(DbfTable& bookings, const Zeitraum& zeitraum, ReportArrays& arrays);

// ein and aus by konto (signed), then mwstsE and mwstsA by mwstsatz, all ascending.
void sort(ReportArrays& arrays);

// Collection and sorts, and the hand-over: modus 0, the heading, the arrays. The opening balance of the
// hand-over is left as it is.
void build(DbfTable& bookings, const Zeitraum& zeitraum, ReportArrays& arrays, ReportData& data);

}  // namespace TotalResult
