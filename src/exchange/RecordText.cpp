// SPDX-License-Identifier: GPL-3.0-or-later
#include "exchange/RecordText.h"

#include "storage/DbfTable.h"

namespace RecordText {

QString line(const QString& fieldName, const QString& value) {
    return (fieldName + QStringLiteral(": ")).leftJustified(20, QLatin1Char(' ')) + QLatin1Char('\t') + value;
}

QString compose(const DbfTable& table) {
    QString text;
    for (int i = 0; i < table.FieldCount(); ++i) {
        const DbfField& field = table.Fields(i);
        if (i > 0) text += QLatin1Char('\n');
        text += line(field.FieldName(), field.AsString());
    }
    return text;
}

}  // namespace RecordText
