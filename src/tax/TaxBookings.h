// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <set>

class DbfTable;

// One booking as the tax forms read it, straight from the stored record.
struct TaxBooking {
    const char* record = nullptr;  // the stored bytes; valid while the source lives and the table is unchanged
    double datum = 0;
    char art = 0;  // 'E', 'A', 'N', 'S' or 0 for anything else
    double brutto = 0;
    double rate = 0;
    int konto = 0;
};

// Every live booking of a year, whatever the journal's text or period filter: a tax form is not the
// journal's view. Without a filter the bookings table itself is read; with one, a second read-only copy of
// the file is opened and kept for the life of the source. Rows are read where they stand (no cursor moves,
// no views told).
class TaxBookingSource {
public:
    // Throws a QuorvelError with a German message when the table is not open or not a bookings table.
    explicit TaxBookingSource(DbfTable& bookings);
    ~TaxBookingSource();
    TaxBookingSource(const TaxBookingSource&) = delete;
    TaxBookingSource& operator=(const TaxBookingSource&) = delete;

    void forEach(const std::function<void(const TaxBooking&)>& visit) const;
    int count() const;
    // Text fields of a record read by forEach.
    QString beleg(const char* record) const;
    QString text(const char* record) const;
    double datum(const char* record) const;

private:
    QString textField(const char* record, int field) const;

    std::unique_ptr<DbfTable> m_copy;
    const DbfTable* m_table = nullptr;
    int m_offsets[7] = {};
    int m_widths[7] = {};
    char m_kindOf[256] = {};
};

// Account numbers of an account table (to tell bookings whose account has no row).
std::set<int> accountNumbers(const DbfTable& accounts);
