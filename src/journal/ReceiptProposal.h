// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

class DbfTable;

// The receipt-number proposal: one more than the largest Beleg among the visible bookings that reads as
// a 32-bit whole number (decimal with optional sign and leading blanks, or hexadecimal written $1F, x1F,
// 0x1F). Receipts that are no number, the empty ones included, are skipped. 1 when none qualifies.
// The result is 64-bit: after 2147483647 the proposal is 2147483648, not a wrapped negative number.
// Walks the table (the cursor ends on the last visible booking); detach the journal grid around the call.
qint64 FindMaxBel(DbfTable& bookings);
