// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

#include "bank/BankReview.h"

class BankLedger;
class TableSet;

// What posting the ticked rows did, for the summary the user reads.
struct BankPostingResult {
    int booked = 0;
    QStringList skipped;  // "Zeile 12 (…): why", ticked rows that were not booked
    int notTicked = 0;
    bool cancelled = false;
    QString error;  // the failure that stopped the posting; the rows booked before it stay booked

    // "17 Umsätze gebucht. …" in German.
    QString summary() const;
};

namespace BankPosting {

// Called after every row with the rows done and the rows to do; false stops after that row.
using Progress = std::function<bool(int done, int total)>;

// Posts the ticked rows through the entry panel's posting into the bookings table of `tables`, in row
// order: a ledger record first, then the booking. Automatic receipts are numbered from the receipt
// proposal on. A booked row becomes BookedNow and is unticked; a row that cannot be booked (outside
// `year`, a text the table cannot hold, a missing account) is skipped with its reason. A failure to write
// stops the posting: the rows booked so far stay booked, the rest stays in the window as it was.
BankPostingResult post(TableSet& tables, BankLedger& ledger, std::vector<ReviewRow>& rows, int year,
                       const Progress& progress = {});

}  // namespace BankPosting
