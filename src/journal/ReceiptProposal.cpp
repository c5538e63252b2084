#include "journal/ReceiptProposal.h"

#include "storage/DbfTable.h"
#include "storage/FieldCodec.h"
#include "storage/StorageError.h"

namespace {

constexpr int fieldBeleg = 2;

// The receipt of the record the table's fields read, as the proposal counts it; false when it takes no
// part in the numbering.
bool readReceipt(const DbfTable& table, qint64* nr) {
    const DbfField& beleg = table.Fields(fieldBeleg);
    // Empty receipts are common; skipping them here saves a failed conversion each.
    if (beleg.IsNull()) return false;
    try {
        *nr = beleg.AsInteger();
        return true;
    } catch (const QuorvelError&) {
        return false;  // not a number (or unreadable)
    }
}

enum class Receipt { Empty, Number, Other };

// The common receipts straight from the stored bytes: empty, or up to nine decimal digits from the
// first byte on, then blanks. Everything else is Other and read through the field.
Receipt plainReceipt(const char* p, int width, const bool* digitIsAscii, qint64* nr) {
    int end = width;
    while (end > 0 && (p[end - 1] == ' ' || p[end - 1] == '\0')) --end;
    if (end == 0) return Receipt::Empty;
    if (end > 9) return Receipt::Other;
    qint64 value = 0;
    for (int i = 0; i < end; ++i) {
        const unsigned char c = static_cast<unsigned char>(p[i]);
        if (c < '0' || c > '9' || !digitIsAscii[c - '0']) return Receipt::Other;
        value = value * 10 + (c - '0');
    }
    *nr = value;
    return Receipt::Number;
}

}  // namespace

qint64 FindMaxBel(DbfTable& bookings) {
    qint64 max = 0;
    // The rows are read where they stand: no cursor step and no view told about each one. The cursor
    // ends where a walk to the end leaves it.
    bookings.First();
    const int count = bookings.RecordCount();
    if (count > 0) {
        const DbfField& beleg = bookings.Fields(fieldBeleg);
        const bool stringField = beleg.DataType() == FieldType::String;
        const int offset = bookings.fieldOffset(fieldBeleg);
        const int width = beleg.Size();
        bool digitIsAscii[10];
        for (int i = 0; i < 10; ++i) {
            const char digit = char('0' + i);
            digitIsAscii[i] = bookings.codePage().decode(&digit, 1) == QString(QLatin1Char(digit));
        }
        const auto readField = [&max](const DbfTable& table) {
            qint64 nr = 0;
            if (readReceipt(table, &nr) && nr > max) max = nr;
        };
        for (int row = 0; row < count; ++row) {
            qint64 nr = 0;
            const Receipt plain =
                stringField ? plainReceipt(bookings.rowBytes(row) + offset, width, digitIsAscii, &nr) : Receipt::Other;
            if (plain == Receipt::Number && nr > max) max = nr;
            if (plain == Receipt::Other) bookings.readRow(row, readField);
        }
    }
    bookings.Last();
    return max + 1;
}
