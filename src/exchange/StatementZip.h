// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QtGlobal>

#include "exchange/BankMovement.h"

// Reads the statements of a ZIP archive as banks hand them out (one camt.053 document per entry), through
// QuaZip. Nothing is written to the disk: every entry is read into memory and parsed from there.
//
// An archive is refused as a whole when an entry name could point outside a folder (an absolute path, a
// drive letter, a ".." part) or when an entry would expand beyond the limits (a "ZIP bomb"); the limits are
// checked against the stated sizes first and again against the bytes actually read.
namespace StatementZip {

struct Limits {
    qint64 maxEntryBytes = 512ll * 1024 * 1024;   // one statement, uncompressed
    qint64 maxTotalBytes = 2048ll * 1024 * 1024;  // all entries together
    qint64 maxRatio = 300;                        // uncompressed / compressed, checked above ratioFromBytes
    qint64 ratioFromBytes = 4ll * 1024 * 1024;
    int maxEntries = 10000;
};

// Whether an entry name is safe to use as a relative path: not empty, no absolute path, no drive letter,
// no ".." part, no backslash, no control characters.
bool safeEntryName(const QString& name);

// Reads every ".xml" entry of the archive `zipFile` as a camt.053 document into `out`.
void read(const QString& zipFile, Statement& out, const Limits& limits = Limits());

}  // namespace StatementZip
