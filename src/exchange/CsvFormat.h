// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <vector>

// The line format of the CSV exchange of bookings: values separated by ";", one booking per line.
//
// Reading: a line whose first character is a double quote is read as quoted CSV (quoted and bare values in
// order, "" inside quotes standing for one quote, "," accepted as the separator when the first quoted value is
// followed by one); every other line is cut at each ";", quotes there being ordinary characters. A trailing
// separator gives no extra empty value. Then the escapes are applied to each value.
//
// Writing: every value quoted, quotes doubled, backslashes, carriage returns and line feeds escaped, so that
// a line written here reads back into exactly the values it was made of.
namespace CsvFormat {

// The values of one line, before the escapes.
QStringList splitLine(const QString& line);
// The same into `values`, whose strings are reused line after line; returns how many values the line has
// (the strings beyond stay as they were).
int splitLine(const QString& line, std::vector<QString>& values);

// Backslash escapes of a value: \r carriage return, \n line feed, \\ one backslash; a backslash before any
// other character, and one at the very end, stays as it is.
QString unescape(const QString& value);
QString escape(const QString& value);

// One value as written: "..." with escapes applied and quotes doubled.
void appendQuoted(QString& out, const QString& value);

}  // namespace CsvFormat
