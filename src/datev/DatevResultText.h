// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <functional>

struct DatevResult;

// What the user reads after a DATEV export (German): the summary (files, bookings exported, the accounts
// without a chart account and how many bookings each kept out, texts and receipts changed) and the details
// (every listed booking that was left out, with its reason, and every listed change).
struct DatevResultText {
    QString summary;
    QString details;

    // `accountName('E' or 'A', nr)` names an income or expense account.
    static DatevResultText of(const DatevResult& result, const std::function<QString(char, int)>& accountName);
};
