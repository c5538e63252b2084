// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>
#include <cstdint>
#include <memory>

#include "journal/Period.h"
#include "journal/VatSummary.h"
#include "storage/TableObserver.h"

class BookingRows;
class DbfTable;

// The running figures under the entry panel: the VAT summary of the period and the receipt proposal,
// both over the bookings the journal shows. They follow every booking posted, edited or deleted (through
// the grid, the entry panel, an import) by reading that one booking, so posting does not walk the year.
// A change the table does not describe booking by booking (a filter switched, the file read again,
// another year opened) or a new period makes them walk the visible bookings again when next asked; a
// new sort order does not, as neither figure depends on the order.
//
// The VAT sums are kept in whole cents (each booking's VAT rounded to the cent), so the running figures
// equal what a walk over the same bookings gives, in whatever order the changes came. A VAT amount that
// is no whole number of cents (absurd rates, 10^11 and more) makes every change walk again.
//
// Attached to the table for its whole life; the table must outlive it.
class JournalTotals : public TableObserver {
public:
    explicit JournalTotals(DbfTable& bookings);
    ~JournalTotals() override;
    JournalTotals(const JournalTotals&) = delete;
    JournalTotals& operator=(const JournalTotals&) = delete;

    // The period of the VAT summary; a different one is summed afresh when next asked.
    void setZeitraum(const Zeitraum& zeitraum);

    // What calcMwst gives for the period over the visible bookings; zero sums for a closed table.
    VatSums vatSums();
    // What FindMaxBel gives: one more than the largest receipt number among the visible bookings.
    qint64 receiptProposal();

    // Walk again when next asked.
    void invalidate();
    // How many walks over the bookings were made (for tests and benchmarks).
    int walks() const { return m_walks; }

private:
    // What one booking adds to the figures.
    struct Share {
        char art = 0;     // 'E', 'A' or 0: adds no VAT
        double mwst = 0;  // its VAT, rounded to the cent
        std::int64_t cents = 0;
        bool wholeCents = true;
        qint64 receipt = 0;  // 0: takes no part in the numbering
    };

    void tableAboutToReset() override;
    void tableReset() override;
    void rowInserted(int row) override;
    void rowAboutToBeRemoved(int row) override;
    void rowChanged(int row) override;
    void cursorChanged() override;

    Share shareOf(int row, bool vat, bool receipt);
    void add(const Share& share, int sign);
    void walk();
    const BookingRows& rows();

    DbfTable& m_table;
    std::unique_ptr<BookingRows> m_rows;  // for the table's current layout
    Zeitraum m_zeitraum;

    bool m_vatValid = false;
    bool m_vatExact = true;  // every VAT in the sums is a whole number of cents
    std::int64_t m_mwstCents = 0;
    std::int64_t m_vorsteuerCents = 0;
    VatSums m_walkedSums;  // the sums of the last walk, where not every VAT was a whole number of cents

    bool m_receiptValid = false;
    qint64 m_maxReceipt = 0;
    int m_maxReceiptCount = 0;  // visible bookings holding m_maxReceipt

    // A record being inserted or edited: what it added before (edit), and whether it left the visible rows.
    enum class Pending { None, Insert, Edit };
    Pending m_pending = Pending::None;
    Share m_pendingOld;
    bool m_pendingRemoved = false;

    // The table as the last reset left it, to tell a new sort order from other resets.
    bool m_knownActive = false;
    QString m_knownIndex;
    bool m_knownFiltered = false;
    int m_countBefore = -1;

    int m_walks = 0;
};
