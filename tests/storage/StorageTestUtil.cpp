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

const std::vector<StoredField>& storedBookingsFields() {
    static const std::vector<StoredField> fields = {
        {"DATUM", 'D', 8, 0},      {"ART", 'C', 1, 0},         {"BELEG", 'C', 20, 0},     {"TEXT", 'C', 60, 0},
        {"BRUTTO", 'N', 18, 8},    {"MWST", 'N', 18, 8},       {"KONTO", 'N', 9, 0},      {"MWST2", 'N', 18, 8},
        {"NETTO", 'N', 18, 8},     {"SAMMELKONT", 'N', 9, 0},  {"KOSTENSTEL", 'N', 9, 0}};
    return fields;
}

const std::vector<StoredField>& storedAccountFields() {
    static const std::vector<StoredField> fields = {{"NR", 'N', 9, 0}, {"BEZEICHNUN", 'C', 60, 0}};
    return fields;
}

const std::vector<StoredField>& storedDauerFields() {
    static const std::vector<StoredField> fields = {{"ART", 'C', 1, 0},     {"BELEG", 'C', 20, 0},
                                                    {"TEXT", 'C', 60, 0},   {"BRUTTO", 'N', 18, 8},
                                                    {"MWST", 'N', 18, 8},   {"KONTO", 'N', 9, 0}};
    return fields;
}

}  // namespace storagetest
