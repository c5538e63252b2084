// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <vector>

#include "exchange/BankMovement.h"

class DbfTable;

// Finds the movements of a statement that are already booked, so that none is booked twice.
//
// In this order: a movement whose bank reference or end-to-end id is in the ledger of taken-over movements
// (or, where one side has no reference, whose date, amount and counterparty are), and for which a booking
// of that date and signed amount still exists, is booked. A ledger record without such a booking means
// the booking was deleted or never written: the movement is only marked. A movement not in the ledger is
// booked when a booking of the year has its date and signed amount and names its counterparty in the text
// (or has its bank reference as receipt). Each booking stands for one movement only. A movement that the
// files read together contain twice is marked as repeated from its second appearance on.
namespace DuplicateCheck {

struct Verdict {
    enum class Kind { New, Booked, LedgerOnly, Repeated };
    Kind kind = Kind::New;
    QString note;  // German, for the review window
};

// One verdict per movement of the statement, in its order. `ledger` and `bookings` are walked once over
// their visible rows (lift the journal filter first to see the whole year); either may be closed. Only
// movements that can be booked (read whole, in euro, booked by the bank) count for the repeats.
std::vector<Verdict> check(const Statement& statement, const DbfTable& ledger, const DbfTable& bookings);

}  // namespace DuplicateCheck
