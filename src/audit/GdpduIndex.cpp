// SPDX-License-Identifier: GPL-3.0-or-later
#include "audit/GdpduIndex.h"

#include <QFile>
#include <QXmlStreamWriter>

#include "storage/StorageError.h"

namespace GdpduIndex {

namespace {

QString dateText(const QDate& date) {
    return date.toString(QStringLiteral("dd.MM.yyyy"));
}

void writeColumn(QXmlStreamWriter& xml, const Column& column, bool primaryKey) {
    xml.writeStartElement(primaryKey ? QStringLiteral("VariablePrimaryKey") : QStringLiteral("VariableColumn"));
    xml.writeTextElement(QStringLiteral("Name"), column.name);
    if (!column.description.isEmpty()) xml.writeTextElement(QStringLiteral("Description"), column.description);
    switch (column.type) {
        case ColumnType::AlphaNumeric:
            xml.writeEmptyElement(QStringLiteral("AlphaNumeric"));
            if (column.maxLength > 0)
                xml.writeTextElement(QStringLiteral("MaxLength"), QString::number(column.maxLength));
            break;
        case ColumnType::Numeric:
            xml.writeStartElement(QStringLiteral("Numeric"));
            xml.writeTextElement(QStringLiteral("Accuracy"), QString::number(column.accuracy));
            xml.writeEndElement();
            break;
        case ColumnType::Date:
            xml.writeStartElement(QStringLiteral("Date"));
            xml.writeTextElement(QStringLiteral("Format"), QString::fromLatin1(dateFormat));
            xml.writeEndElement();
            break;
    }
    xml.writeEndElement();
}

void writeTable(QXmlStreamWriter& xml, const Table& table) {
    xml.writeStartElement(QStringLiteral("Table"));
    xml.writeTextElement(QStringLiteral("URL"), table.url);
    xml.writeTextElement(QStringLiteral("Name"), table.name);
    if (!table.description.isEmpty()) xml.writeTextElement(QStringLiteral("Description"), table.description);
    if (table.validFrom.isValid() && table.validTo.isValid()) {
        xml.writeStartElement(QStringLiteral("Validity"));
        xml.writeStartElement(QStringLiteral("Range"));
        xml.writeTextElement(QStringLiteral("From"), dateText(table.validFrom));
        xml.writeTextElement(QStringLiteral("To"), dateText(table.validTo));
        xml.writeEndElement();
        xml.writeTextElement(QStringLiteral("Format"), QString::fromLatin1(dateFormat));
        xml.writeEndElement();
    }
    xml.writeEmptyElement(QStringLiteral("UTF8"));
    xml.writeTextElement(QStringLiteral("DecimalSymbol"), QString(QLatin1Char(decimalSymbol)));
    xml.writeTextElement(QStringLiteral("DigitGroupingSymbol"), QString(QLatin1Char(digitGroupingSymbol)));
    xml.writeStartElement(QStringLiteral("Range"));
    xml.writeTextElement(QStringLiteral("From"), QString::number(firstDataLine));
    xml.writeEndElement();
    xml.writeStartElement(QStringLiteral("VariableLength"));
    xml.writeTextElement(QStringLiteral("ColumnDelimiter"), QString(QLatin1Char(columnDelimiter)));
    // As character references: a parser turns a literal CR LF in element text into a single LF.
    xml.writeStartElement(QStringLiteral("RecordDelimiter"));
    for (const char* c = recordDelimiter; *c; ++c) xml.writeEntityReference(QStringLiteral("#%1").arg(int(*c)));
    xml.writeEndElement();
    xml.writeTextElement(QStringLiteral("TextEncapsulator"), QString(QLatin1Char(textEncapsulator)));
    for (size_t i = 0; i < table.columns.size(); ++i) writeColumn(xml, table.columns[i], int(i) < table.primaryKeys);
    xml.writeEndElement();  // VariableLength
    xml.writeEndElement();  // Table
}

}  // namespace

QByteArray toXml(const DataSet& data) {
    QByteArray out;
    QXmlStreamWriter xml(&out);
    xml.setAutoFormatting(true);
    xml.setAutoFormattingIndent(2);
    xml.writeStartDocument();
    xml.writeDTD(QStringLiteral("<!DOCTYPE DataSet SYSTEM \"%1\">").arg(dtdFileName));
    xml.writeStartElement(QStringLiteral("DataSet"));
    xml.writeTextElement(QStringLiteral("Version"), QStringLiteral("1.0"));
    if (!data.supplierName.isEmpty()) {
        xml.writeStartElement(QStringLiteral("DataSupplier"));
        xml.writeTextElement(QStringLiteral("Name"), data.supplierName);
        xml.writeTextElement(QStringLiteral("Location"), data.supplierLocation);
        xml.writeTextElement(QStringLiteral("Comment"), data.supplierComment);
        xml.writeEndElement();
    }
    xml.writeStartElement(QStringLiteral("Media"));
    xml.writeTextElement(QStringLiteral("Name"), data.mediaName);
    for (const Table& table : data.tables) writeTable(xml, table);
    if (data.tables.empty()) xml.writeTextElement(QStringLiteral("AcceptNoTables"), QStringLiteral("1"));
    xml.writeEndElement();  // Media
    xml.writeEndElement();  // DataSet
    xml.writeEndDocument();
    return out;
}

QByteArray dtd() {
    QFile file(QStringLiteral(":/gdpdu/gdpdu-01-09-2004.dtd"));
    if (!file.open(QIODevice::ReadOnly))
        throw QuorvelError(
            QStringLiteral("Die Beschreibung des Datenformats (gdpdu-01-09-2004.dtd) fehlt im Programm."));
    return file.readAll();
}

}  // namespace GdpduIndex
