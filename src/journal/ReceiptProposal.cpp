#include "journal/ReceiptProposal.h"

#include "storage/DbfTable.h"
#include "storage/StorageError.h"

namespace {
constexpr int fieldBeleg = 2;
}

qint64 FindMaxBel(DbfTable& bookings) {
    qint64 max = 0;
    bookings.First();
    while (!bookings.Eof()) {
        const DbfField& beleg = bookings.Fields(fieldBeleg);
        // Empty receipts are common; skipping them here saves a failed conversion each.
        if (!beleg.IsNull()) {
            try {
                const qint64 nr = beleg.AsInteger();
                if (nr > max) max = nr;
            } catch (const QuorvelError&) {
                // Not a number (or unreadable): such receipts take no part in the numbering.
            }
        }
        bookings.Next();
    }
    return max + 1;
}
