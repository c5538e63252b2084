// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

// The data export for a tax audit ("Datenträgerüberlassung"): the tables of one client and booking year
// as CSV files with index.xml and the DTD of the GDPdU description standard, into a new folder or into one
// ZIP file. The tables are opened afresh, read-only, from the data folder, so the export holds every
// record of the year whatever filter or sort order the journal shows.
//
// Nothing half-written is ever left behind: the files go into a temporary folder (or ZIP file) beside the
// target, which takes the target's name only when everything is written and flushed. A cancel, a full
// disk or any other failure removes the temporary one; a failure throws QuorvelError with a German message.
namespace AuditExport {

struct Request {
    QString dataFolder;
    int mandant = 1;
    int year = 0;
    QString target;  // the folder to create (missing or empty) or the ZIP file to write
    bool zip = false;
};

struct TableResult {
    QString name;      // as in index.xml
    QString fileName;  // CSV file in the export
    int rows = 0;
};

struct Result {
    bool cancelled = false;
    std::vector<TableResult> tables;
    QStringList notes;  // German: tables skipped, values that could not be written as stored
};

// Called now and then with the work done so far and the whole; false cancels.
using Progress = std::function<bool(qint64 done, qint64 total)>;

Result run(const Request& request, const Progress& progress = {});

// The folder or ZIP name proposed for a client and year, e.g. "Betriebspruefung_Mandant1_2026".
QString proposedName(int mandant, int year);

}  // namespace AuditExport
