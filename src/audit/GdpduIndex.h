// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>
#include <vector>

// The description of an export for a tax audit in the GDPdU description standard: one index.xml that
// names every CSV file with its columns, types and formats, valid against gdpdu-01-09-2004.dtd (the DTD
// travels beside index.xml; data/gdpdu/README.md names its source).
//
// Every CSV file of the export is written in the one format declared here: UTF-8 without byte order mark,
// ";" between columns, CR LF after each record, texts in double quotes (a quote inside doubled), a comma as
// decimal symbol and no digit grouping, dates as DD.MM.YYYY, and one heading line of column names.
namespace GdpduIndex {

enum class ColumnType { AlphaNumeric, Numeric, Date };

struct Column {
    QString name;         // heading of the column in the CSV file
    QString description;  // German, for the auditor
    ColumnType type = ColumnType::AlphaNumeric;
    int accuracy = 0;   // Numeric: decimal places
    int maxLength = 0;  // AlphaNumeric: longest text, 0 = not stated
};

struct Table {
    QString url;  // file name of the CSV file, relative to index.xml
    QString name;
    QString description;
    QDate validFrom;  // the period the data belong to; both invalid = not stated
    QDate validTo;
    std::vector<Column> columns;
    int primaryKeys = 0;  // the first so many columns identify a record
};

struct DataSet {
    QString mediaName;
    QString supplierName;  // DataSupplier, written when the name is not empty
    QString supplierLocation;
    QString supplierComment;
    std::vector<Table> tables;
};

// The declared format, in one place for the writer of the CSV files and for index.xml.
inline constexpr char columnDelimiter = ';';
inline constexpr char textEncapsulator = '"';
inline constexpr char decimalSymbol = ',';
inline constexpr char digitGroupingSymbol = '.';
inline constexpr const char* recordDelimiter = "\r\n";
inline constexpr const char* dateFormat = "DD.MM.YYYY";
inline constexpr int firstDataLine = 2;  // line 1 holds the column names

inline const QString indexFileName = QStringLiteral("index.xml");
inline const QString dtdFileName = QStringLiteral("gdpdu-01-09-2004.dtd");

// The bytes of index.xml (UTF-8, with the DOCTYPE naming the DTD).
QByteArray toXml(const DataSet& data);

// The DTD as published, embedded in the program.
QByteArray dtd();

}  // namespace GdpduIndex
