// SPDX-License-Identifier: GPL-3.0-or-later
#include "StorageTestUtil.h"

#include "startup/BookingSchema.h"

namespace storagetest {

std::vector<FieldDef> bookingsSchema() {
    return Booking::schema();
}

std::vector<FieldDef> accountSchema() {
    return {{QStringLiteral("Nr"), FieldType::Integer, 0}, {QStringLiteral("Bezeichnung"), FieldType::String, 60}};
}

std::vector<FieldDef> mwstSchema() {
    return {{QStringLiteral("Prozent"), FieldType::Float, 0}};
}

std::vector<FieldDef> textSchema() {
    return {{QStringLiteral("Text"), FieldType::String, 60}};
}

std::vector<FieldDef> dauerSchema() {
    return {{QStringLiteral("Art"), FieldType::String, 1},   {QStringLiteral("Beleg"), FieldType::String, 20},
            {QStringLiteral("Text"), FieldType::String, 60}, {QStringLiteral("Brutto"), FieldType::Float, 0},
            {QStringLiteral("MwSt"), FieldType::Float, 0},   {QStringLiteral("Konto"), FieldType::Integer, 0}};
}

void createAndOpen(DbfTable& table, const QString& folder, const QString& name, const std::vector<FieldDef>& defs) {
    table.setFilePath(folder);
    table.setTableName(name);
    table.setFieldDefs(defs);
    table.CreateTable();
    table.Open();
}

void appendTexts(DbfTable& table, const QStringList& values) {
    for (const QString& v : values) {
        table.Insert();
        table.Fields(0).setAsString(v);
        table.Post();
    }
}

QStringList walk(DbfTable& table, int field) {
    QStringList out;
    table.First();
    while (!table.Eof()) {
        out << table.Fields(field).AsString();
        table.Next();
    }
    return out;
}

}  // namespace storagetest
