// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The fixed sample year of the guide's pictures: client 1, booking year 2026, a dozen bookings of a small
// office in the first half-year, accounts with names, and a company address.
namespace SampleData {

inline constexpr int year = 2026;

void write(const QString& folder);

// A bank statement in camt.053.001.08 for April of the sample year, written into `folder` (not the data
// folder): one movement already booked, three new ones. Returns the file name; throws std::runtime_error.
QString writeStatement(const QString& folder);

// The same month as the export of a bank's online banking (semicolons, a heading line), for the window that
// assigns the columns of a bank CSV file. Returns the file name; throws std::runtime_error.
QString writeBankCsv(const QString& folder);

// The sample file a window of the guide is shown with: the bank CSV for the column window, the camt.053
// statement otherwise.
QString sampleFileFor(const QString& window, const QString& statement, const QString& bankCsv);

}  // namespace SampleData
