// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <vector>

class DbfField;

// The tables of a client and booking year that go into the export for a tax audit, with their German
// names and column descriptions. A field that no list names (a further field of a newer layout, a table
// whose fields are not known here) gets a description made from its dBase layout.
namespace AuditExportTables {

struct FieldText {
    const char* storedName;  // as in the dBase header, upper case
    QString description;
};

struct Known {
    QString baseName;  // of the table file, without client and year
    QString csvName;   // file name in the export
    QString name;      // table name for the auditor
    QString description;
    std::vector<FieldText> fields;
    bool bookings = false;  // adds the computed VAT and net columns
    bool required = false;  // the export stops when this table cannot be read
    bool mayBeAbsent = false;  // a missing file is an empty table (nothing to export, nothing to note)
};

// In the order of the export: bookings, income, expense, collective and cost accounts, VAT rates, the
// account assignment, the change log.
const std::vector<Known>& all();

// The description of `field` in `table`: from its list, else the fallback naming type, width and decimals.
QString describe(const Known& table, const DbfField& field);

}  // namespace AuditExportTables
