// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The fixed sample year of the guide's pictures: client 1, booking year 2026, a dozen bookings of a small
// office in the first half-year, accounts with names, and a company address.
namespace SampleData {

inline constexpr int year = 2026;

void write(const QString& folder);

}  // namespace SampleData
