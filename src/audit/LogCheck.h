// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <functional>
#include <vector>

namespace audit {

// One thing "Protokoll prüfen" found, in German.
struct LogFinding {
    qint64 entry = 0;  // entry number (from 1) where the break shows, 0 for none
    int record = -1;   // record of the bookings table (0-based), -1 for none
    QString text;
};

struct LogCheckResult {
    qint64 entries = 0;  // entries walked
    int records = 0;     // records of the bookings table
    bool cancelled = false;
    std::vector<LogFinding> findings;  // the first findings (at most maxFindings), in the order found
    int moreFindings = 0;              // found beyond those
    bool ok() const { return !cancelled && findings.empty(); }
    QString summary() const;  // German text for the user
};

// Walks the chain of the log once and compares it with the bookings table: an entry changed or removed
// (the first one that breaks the chain is named), a record changed, added or removed outside the program
// (named with the last entry that fixed it). Neither file is changed; both are read through mapped files,
// so memory grows with the bookings (a few bytes per record), never with the log. Each entry's hash depends
// only on its own bytes and the hash stored before it, so the hashing of a block of entries is shared among
// the processor's cores; the walk itself and every call of `progress` stay on the calling thread.
//
// `progress(done, total)` is called now and then with entries walked; it returns false to stop.
class LogCheck {
public:
    static constexpr int maxFindings = 50;
    using Progress = std::function<bool(qint64 done, qint64 total)>;
    static LogCheckResult run(const QString& logFile, const QString& bookingsFile, const Progress& progress = {});
};

}  // namespace audit
