// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHash>
#include <QString>
#include <map>
#include <optional>

#include "audit/LogNotes.h"
#include "storage/TableWitness.h"

namespace audit {

// The receipt numbers of a booking year without gaps: the proposal is one more than the largest receipt
// number among all bookings of the file, the ones the journal's filter hides included, so a filtered
// journal never proposes a number given before. A booking in a closed period cannot be deleted, so the
// numbers there stay as given; a cancellation takes the next number like any other booking.
//
// Watches the bookings table and follows each insert, edit and delete as it is written.
class ReceiptNumbers : public TableWitness {
public:
    // Counts the receipts of every live booking in the file of the open table `bookings`.
    void load(const DbfTable& bookings);
    void clear();

    qint64 proposal() const;  // 1 when no booking carries a number
    bool isUsed(const QString& beleg) const;

    // A receipt as a number: decimal with optional sign and leading blanks, or hexadecimal written $1F, x1F
    // or 0x1F, within 32 bits (as the journal's proposal reads them). Nothing for other texts.
    static std::optional<qint64> number(const QString& beleg);

    // The note for the change log when the user posts `typed` instead of `proposal` and `typed` is a
    // receipt an earlier booking already has; nothing otherwise.
    std::optional<LogNote> overrideNote(const QString& typed, qint64 proposal) const;

    void writing(const DbfTable& table, const std::vector<TableChange>& changes) override;
    void undone(const DbfTable& table, const std::vector<TableChange>& changes) override;

private:
    void count(const QString& beleg, int by);
    void count(const DbfTable& table, const QByteArray& record, int by);
    void countNumber(qint64 n, int by);
    void apply(const DbfTable& table, const std::vector<TableChange>& changes, int direction);

    QHash<QString, int> m_texts;     // every receipt text in use that is no number, how often
    std::map<qint64, int> m_numbers;  // the numbers in use, how often
};

}  // namespace audit
