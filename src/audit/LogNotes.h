// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace audit {

// An entry of the change log that is not a change of a booking record: a period closed, a booking
// cancelled (with the record of the original), a receipt number used twice on purpose.
struct LogNote {
    QString action;   // short German word, e.g. "Festschreibung", "Storno", "Belegnummer"
    int record = -1;  // record number (0-based) the note is about, -1 for none
    QString text;     // German sentence for the reader of the log
};

// Where such notes go. The change log implements it; what `note` throws (the log could not be written)
// must stop the action the note belongs to.
class LogNotes {
public:
    virtual ~LogNotes() = default;
    virtual void note(const LogNote& entry) = 0;
};

}  // namespace audit
