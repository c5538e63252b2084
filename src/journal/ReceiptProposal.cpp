// SPDX-License-Identifier: GPL-3.0-or-later
#include "journal/ReceiptProposal.h"

#include "journal/BookingRows.h"
#include "storage/DbfTable.h"

qint64 FindMaxBel(DbfTable& bookings) {
    qint64 max = 0;
    // The rows are read where they stand: no cursor step and no view told about each one. The cursor
    // ends where a walk to the end leaves it.
    bookings.First();
    const int count = bookings.RecordCount();
    if (count > 0) {
        const BookingRows rows(bookings);
        for (int row = 0; row < count; ++row) {
            qint64 nr = 0;
            if (rows.receipt(row, &nr) && nr > max) max = nr;
        }
    }
    bookings.Last();
    return max + 1;
}
