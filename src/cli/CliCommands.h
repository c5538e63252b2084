// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <functional>

#include "cli/CommandLine.h"

// The three commands of the command line, on the code the windows use: the report collection of
// "Auswertungen", the PDF pages of the report window and the CSV export and import of the menu "Datei".
// Each throws QuorvelError (FolderInUseError, CommandLine::UsageError among them) with the German text
// the user reads; output goes through the given sinks.
namespace CliCommands {

struct Output {
    std::function<void(const QString&)> out;       // the result (stdout)
    std::function<void(const QString&)> remark;    // remarks that did not stop the command (stderr)
    std::function<void(const QString&)> progress;  // a line of progress, overwritten by the next; may be empty
};

// Writes the PDF; returns the number of pages. A tax form goes to taxForm.
int report(const CommandLine::Request& request, const Output& output);
// The VAT return of the period or the Anlage EÜR of the year, as PDF and/or CSV; returns 0.
int taxForm(const CommandLine::Request& request, const Output& output);
// Returns the number of bookings written.
int exportCsv(const CommandLine::Request& request, const Output& output);
// Returns the exit status: 0, or 1 when a failure to write ended the import half-way (the bookings
// before it stay).
int importCsv(const CommandLine::Request& request, const Output& output);

}  // namespace CliCommands
