// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <vector>

#include "bank/BankRules.h"
#include "bank/DuplicateCheck.h"
#include "exchange/BankMovement.h"

class TableSet;

// The selection lists of the entry panel, built once from the master tables, with the way back from an
// account number or a rate to its list position (entry i stands for row i, as in the entry panel).
class MasterLists {
public:
    MasterLists() = default;
    explicit MasterLists(TableSet& tables);

    QStringList incomeEntries, expenseEntries, rateEntries, textEntries;
    std::vector<int> incomeNrs, expenseNrs;
    std::vector<double> rates;

    // Position of the first row with that number or rate; -1 when none.
    int accountRow(bool einnahme, int nr) const;
    int rateRow(double rate) const;
    // Number or rate at a position; 0 when none.
    int accountNr(bool einnahme, int row) const;
    double rate(int row) const;
};

// One movement in the review window with the booking proposed for it.
struct ReviewRow {
    enum class State {
        New,         // not booked yet
        Booked,      // booked before: greyed, booked again only when ticked
        LedgerOnly,  // taken over before but its booking is missing: greyed, the user decides
        Repeated,    // the files read contain it twice: greyed, the user decides
        OtherYear,   // dated outside the booking year: skipped
        Currency,    // not in euro: listed, not booked
        Unreadable,  // its file did not read whole: listed, not booked
        Zero,        // amount 0: nothing to book
        Pending,     // the bank has not booked it yet
        BookedNow,   // booked from this window
    };

    BankMovement movement;
    State state = State::New;
    QString note;
    bool ticked = false;
    int rule = -1;  // the rule that proposed the booking, -1 for none
    QString ruleText;

    // The booking: kind from the sign of cents, the lists by position.
    QDate datum;
    qint64 cents = 0;
    bool neutral = false;
    int kontoIndex = -1;
    int mwstIndex = -1;
    QString buchtext;
    QString beleg;
    bool belegAuto = true;  // numbered at posting; false once the user typed a receipt or chose the bank's

    bool einnahme() const { return cents >= 0; }
    double brutto() const { return double(cents < 0 ? -cents : cents) / 100.0; }
    bool tickable() const {
        return state == State::New || state == State::Booked || state == State::LedgerOnly || state == State::Repeated;
    }
    bool greyed() const { return state != State::New; }
};

namespace BankReview {

// The rows of a statement: state and note from the file, the currency, the year and the duplicate check
// (verdicts in the order of the movements), the booking from the first matching rule or else from the
// movement itself, the next free receipt numbers from `firstReceipt` on for the ticked rows.
std::vector<ReviewRow> propose(const Statement& statement, const std::vector<DuplicateCheck::Verdict>& verdicts,
                               const std::vector<BankRule>& rules, const MasterLists& lists, int year,
                               qint64 firstReceipt);

// Sets account, rate, text and neutral of a row from a rule.
void applyRule(ReviewRow& row, const BankRule& rule, int ruleIndex, const MasterLists& lists);

// The rule a completed row stands for: its counterparty (or, without one, its purpose) as pattern, its
// account, rate, text and neutral mark.
BankRule ruleFromRow(const ReviewRow& row, const MasterLists& lists);

// Gives the ticked rows with automatic receipts the numbers from `first` on, in row order.
void numberReceipts(std::vector<ReviewRow>& rows, qint64 first);

// The booking text made from a movement: "Counterparty: purpose", cut to the 60 characters of the field.
QString defaultText(const BankMovement& movement);

}  // namespace BankReview
