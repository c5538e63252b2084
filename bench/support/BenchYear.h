// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRandomGenerator>
#include <QString>
#include <functional>

namespace bench {

// Record `i` of `count`: `record` points at its bytes (deletion flag first, all fields blank), `rng` is
// seeded the same for every run.
using RecordFill = std::function<void(int i, int count, char* record, QRandomGenerator& rng)>;

// Creates the tables of client 1 and `year` in `folder` and writes `count` bookings straight into the
// bookings file (posting a million one by one would take longer than every benchmark together).
void writeYear(const QString& folder, int year, int count, const RecordFill& fill);

}  // namespace bench
