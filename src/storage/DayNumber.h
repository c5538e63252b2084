// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>

// Dates are day numbers held as doubles, day 0 being 30 December 1899 (the date system of the
// stored data and of every period comparison).
namespace DayNumber {
inline QDate epoch() { return QDate(1899, 12, 30); }
inline double fromDate(const QDate& d) { return d.isValid() ? double(epoch().daysTo(d)) : 0.0; }
inline QDate toDate(double day) { return epoch().addDays(static_cast<qint64>(day)); }
}  // namespace DayNumber
