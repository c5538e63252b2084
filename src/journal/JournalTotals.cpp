// SPDX-License-Identifier: GPL-3.0-or-later
#include "journal/JournalTotals.h"

#include <cmath>

#include "journal/BookingRows.h"
#include "journal/CentSum.h"
#include "storage/DbfTable.h"

JournalTotals::JournalTotals(DbfTable& bookings) : m_table(bookings) {
    m_table.attach(this);
    m_knownActive = m_table.Active();
    m_knownIndex = m_knownActive ? m_table.IndexName() : QString();
    m_knownFiltered = m_table.Filtered();
}

JournalTotals::~JournalTotals() {
    m_table.detach(this);
}

void JournalTotals::setZeitraum(const Zeitraum& zeitraum) {
    if (zeitraum.vondatum == m_zeitraum.vondatum && zeitraum.bisdatum == m_zeitraum.bisdatum) return;
    m_zeitraum = zeitraum;
    m_vatValid = false;
}

void JournalTotals::invalidate() {
    m_vatValid = false;
    m_receiptValid = false;
}

VatSums JournalTotals::vatSums() {
    if (!m_table.Active()) return {};
    if (!m_vatValid) walk();
    if (!m_vatExact) return m_walkedSums;
    return {double(m_mwstCents) / 100, double(m_vorsteuerCents) / 100};
}

qint64 JournalTotals::receiptProposal() {
    if (!m_table.Active()) return 1;
    if (!m_receiptValid) walk();
    return m_maxReceipt + 1;
}

const BookingRows& JournalTotals::rows() {
    if (!m_rows) m_rows = std::make_unique<BookingRows>(m_table);
    return *m_rows;
}

JournalTotals::Share JournalTotals::shareOf(int row, bool vat, bool receipt) {
    Share share;
    if (vat) {
        const VatShare v = vatShare(rows(), row, m_zeitraum);
        share.art = v.art;
        share.mwst = v.mwst;
        if (v.art) share.wholeCents = CentSum::wholeCents(v.mwst, &share.cents);
    }
    qint64 nr = 0;
    if (receipt && rows().receipt(row, &nr) && nr > 0) share.receipt = nr;
    return share;
}

void JournalTotals::add(const Share& share, int sign) {
    if (m_vatValid && share.art) {
        if (!share.wholeCents || !m_vatExact) {
            m_vatValid = false;
        } else {
            (share.art == 'E' ? m_mwstCents : m_vorsteuerCents) += sign * share.cents;
        }
    }
    if (m_receiptValid && share.receipt > 0) {
        if (sign > 0 && share.receipt > m_maxReceipt) {
            m_maxReceipt = share.receipt;
            m_maxReceiptCount = 1;
        } else if (share.receipt == m_maxReceipt) {
            m_maxReceiptCount += sign;
            // The largest receipt is gone: which is the next one only a walk can tell.
            if (m_maxReceiptCount <= 0) m_receiptValid = false;
        }
    }
}

// Over the committed state of every visible booking: a pending new record does not count yet, a booking
// being edited counts with what it held before (the change is added when it is posted). Only the figure
// that is out of date is walked: a new period reads no receipts.
void JournalTotals::walk() {
    ++m_walks;
    const bool vat = !m_vatValid;
    const bool receipts = !m_receiptValid;
    CentSum mwst, vorsteuer;
    qint64 max = 0;
    int maxCount = 0;
    const int count = m_table.RecordCount();
    const int pendingRow = m_pending != Pending::None ? m_table.RecNo() : -1;
    for (int row = 0; row < count; ++row) {
        if (row == pendingRow && m_pending == Pending::Insert) continue;
        const Share share = row == pendingRow ? m_pendingOld : shareOf(row, vat, receipts);
        if (share.art == 'E') mwst.add(share.mwst);
        if (share.art == 'A') vorsteuer.add(share.mwst);
        if (share.receipt > max) {
            max = share.receipt;
            maxCount = 1;
        } else if (share.receipt > 0 && share.receipt == max) {
            ++maxCount;
        }
    }
    if (vat) {
        m_vatExact = mwst.exact() && vorsteuer.exact();
        m_walkedSums = {mwst.value(), vorsteuer.value()};
        m_mwstCents = std::llround(mwst.value() * 100);
        m_vorsteuerCents = std::llround(vorsteuer.value() * 100);
        m_vatValid = true;
    }
    if (receipts) {
        m_maxReceipt = max;
        m_maxReceiptCount = maxCount;
        m_receiptValid = true;
    }
}

// --- following the table ---

void JournalTotals::tableAboutToReset() {
    m_countBefore = m_table.Active() ? m_table.RecordCount() : -1;
}

void JournalTotals::tableReset() {
    m_pending = Pending::None;
    m_rows.reset();  // the layout may have changed (another file)
    // A new sort order alone shows the same bookings: the figures stay. Anything else is walked again.
    // (The table takes its new order or filter switch before it announces the reset, so what it was
    // before is remembered from the last reset.)
    const bool active = m_table.Active();
    const bool reordered = active && m_knownActive && m_table.IndexName() != m_knownIndex &&
                           m_table.Filtered() == m_knownFiltered && m_table.RecordCount() == m_countBefore;
    if (!reordered) invalidate();
    m_knownActive = active;
    m_knownIndex = active ? m_table.IndexName() : QString();
    m_knownFiltered = m_table.Filtered();
}

void JournalTotals::rowInserted(int) {
    if (m_table.state() != DbfTable::State::Insert) {
        invalidate();  // not a pending record: nothing this class knows how to follow
        return;
    }
    m_pending = Pending::Insert;
    m_pendingRemoved = false;
}

void JournalTotals::rowAboutToBeRemoved(int row) {
    if (m_pending != Pending::None) {
        m_pendingRemoved = true;  // cancelled, or posted where the filter hides it
        return;
    }
    // A deleted booking: its fields are still readable until the row is gone.
    add(shareOf(row, true, true), -1);
}

void JournalTotals::rowChanged(int) {
    // Only a pending record changes in place; its change is added when it is posted.
    if (m_pending == Pending::None && m_table.state() == DbfTable::State::Browse) invalidate();
}

void JournalTotals::cursorChanged() {
    const DbfTable::State state = m_table.state();
    if (m_pending == Pending::None && state == DbfTable::State::Edit) {
        // Edit has just copied the record into its buffer: this is what the booking held before.
        m_pending = Pending::Edit;
        m_pendingOld = shareOf(m_table.RecNo(), true, true);
        m_pendingRemoved = false;
    } else if (m_pending != Pending::None && state == DbfTable::State::Browse) {
        // Posted, cancelled or deleted: the cursor stands on the record unless it left the visible rows.
        // The new state is added before the old one is taken out, so that a booking keeping the largest
        // receipt does not look as if that receipt had gone.
        const bool edited = m_pending == Pending::Edit;
        m_pending = Pending::None;
        if (!m_pendingRemoved && m_table.RecNo() >= 0) add(shareOf(m_table.RecNo(), true, true), +1);
        if (edited) add(m_pendingOld, -1);
    }
}
