// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class DbfTable;

// The text of one booking as "Datensatz drucken" prints it: one line per field of the table, in field
// order: the stored name and ": ", padded with blanks to 20 characters, a tab, and the value as the table
// layer gives it as text (the locale's short date, floats in general form, empty values empty).
namespace RecordText {

QString compose(const DbfTable& table);  // the current record; lines separated by "\n"
QString line(const QString& fieldName, const QString& value);

}  // namespace RecordText
