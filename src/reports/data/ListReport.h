// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <functional>

#include "journal/Period.h"
#include "reports/data/ReportArrays.h"

class DbfTable;
class JournalFilter;

// The ten list and account reports: one record per booking of the period, in date order.
enum class ListKind {
    Ausgabenliste,   // "E" to ein, "A" to aus, others skipped; layout 1
    Einnahmenliste,  // as above; layout 2
    Ausgabenkonto,   // as above, Konto = the chosen number; layout 1
    Einnahmekonto,   // as above, Konto = the chosen number; layout 2
    Sammelkonto,     // every booking signed to ein, Sammelkonto = the chosen number; layout 3
    Kostenstelle,    // every booking signed to ein, Kostenstelle = the chosen number; layout 4
    AlleBuchungen,   // every booking signed to ein; layout 5
};

namespace ListReport {

int modus(ListKind kind);
// True for the reports that take every booking with its sign factor into ein.
bool isSigned(ListKind kind);
// The field compared with the chosen number; -1 for the reports without an account.
int accountField(ListKind kind);

// What a list report needs besides the table.
struct Request {
    ListKind kind = ListKind::AlleBuchungen;
    Zeitraum zeitraum;
    int nr = 0;                   // the chosen number (reports with an account)
    QString name;                 // its name for the heading
    bool anfangsbestand = false;  // with opening balance (collective account, cost centre, all bookings)
};

// Told how far a build has come (done of total steps) every few thousand steps; false stops it.
using Progress = std::function<bool(qint64 done, qint64 total)>;

// Opening balance (when asked for), collection in date order, and the hand-over: modus, heading, arrays, the
// flag, and the opening balance when asked for (otherwise the hand-over keeps its last one).
//
// The opening balance: the signed sums of every booking dated before vondatum (no lower bound, any Art)
// with the chosen number in the report's account field, each booking's VAT rounded to the cent and the
// sums exact sums of those cents. It reads the bookings the journal's text filter lets through, whatever
// the period filter: with a filter given, the period filter is lifted for the pass (a period filter would
// otherwise hide every earlier booking and the balance would read zero).
//
// The collection: every booking the journal shows with vondatum <= Datum <= bisdatum (and the chosen
// number) becomes one record, its VAT rounded to the cent and its net the rest of the gross
// (Booking::split), so the lines add up to the sums printed under them. ein and aus come in date order,
// same-day records as the exchange sort of the arrays over the journal's order leaves them.
//
// False when `progress` stopped it: the hand-over is then untouched. Leaves the table at its end either way.
bool build(DbfTable& bookings, JournalFilter* filter, const Request& request, ReportArrays& arrays, ReportData& data,
           const Progress& progress = {});

// The working memory a list over `bookings` bookings takes at most: its records, their texts and the
// tables of the build.
std::size_t memoryFor(int bookings);
// From 200,000 bookings on, readies that memory on a thread of its own (see LargeBlock), so the first list
// after opening a year does not wait for the system to hand it out; for the window when a year opens.
void prepareMemory(int bookings);

}  // namespace ListReport
