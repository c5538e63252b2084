// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include "exchange/BankMovement.h"

class QIODevice;

// Reads bank-to-customer statements in ISO 20022 camt.053 (versions 001.02, 001.04 and 001.08) with a
// stream reader; the document is never held as a tree. Every entry (Ntry) gives one movement, a batch
// entry with several transaction details one movement per transaction. Element paths and their sources:
// data/camt053/README.md.
//
// A document type definition is refused before anything in it is used, so no entity is ever expanded and
// no external file is ever opened. What cannot be read (malformed XML, an unknown version, an amount or a
// date that does not convert) becomes a problem naming the file, the entry and the line; the file then
// counts as not read whole.
namespace Camt053Reader {

// The versions read, as the last part of the namespace ("02", "04", "08").
bool supportsVersion(const QString& version);

// Reads one document from `device` (open for reading) into `out` as the file `fileName`.
void read(QIODevice& device, const QString& fileName, Statement& out);

}  // namespace Camt053Reader
