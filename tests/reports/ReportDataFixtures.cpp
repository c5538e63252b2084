#include "ReportDataFixtures.h"

#include <vector>

#include "storage/DayNumber.h"
#include "storage/FieldDef.h"

namespace reporttest {

namespace {

std::unique_ptr<DbfTable> create(const testsupport::TempFolder& folder, const QString& name,
                                 const std::vector<FieldDef>& defs) {
    auto table = std::make_unique<DbfTable>();
    table->setFilePath(folder.path());
    table->setTableName(name);
    table->setFieldDefs(defs);
    table->CreateTable();
    table->Open();
    return table;
}

}  // namespace

BookingsTable::BookingsTable() {
    const std::vector<FieldDef> defs = {
        {QStringLiteral("Datum"), FieldType::Date, 0},           {QStringLiteral("Art"), FieldType::String, 1},
        {QStringLiteral("Beleg"), FieldType::String, 20},        {QStringLiteral("Text"), FieldType::String, 60},
        {QStringLiteral("Brutto"), FieldType::Float, 0},         {QStringLiteral("MwSt"), FieldType::Float, 0},
        {QStringLiteral("Konto"), FieldType::Integer, 0},        {QStringLiteral("MwSt2"), FieldType::Float, 0},
        {QStringLiteral("Netto"), FieldType::Float, 0},          {QStringLiteral("Sammelkonto"), FieldType::Integer, 0},
        {QStringLiteral("Kostenstelle"), FieldType::Integer, 0},
    };
    m_table = create(m_folder, QStringLiteral("records_1_2024.dbf"), defs);
}

void BookingsTable::add(const Buchung& b) {
    DbfTable& t = *m_table;
    t.Insert();
    if (b.datum.isValid()) t.Fields(0).setAsDateTime(DayNumber::fromDate(b.datum));
    t.Fields(1).setAsString(b.art);
    t.Fields(2).setAsString(b.beleg);
    t.Fields(3).setAsString(b.text);
    t.Fields(4).setAsFloat(b.brutto);
    t.Fields(5).setAsFloat(b.mwst);
    t.Fields(6).setAsInteger(b.konto);
    t.Fields(9).setAsInteger(b.sammelkonto);
    t.Fields(10).setAsInteger(b.kostenstelle);
    t.Post();
}

std::unique_ptr<DbfTable> BookingsTable::accounts(const QString& name) {
    return create(
        m_folder, name,
        {{QStringLiteral("Nr"), FieldType::Integer, 0}, {QStringLiteral("Bezeichnung"), FieldType::String, 60}});
}

double day(int year, int month, int dayOfMonth) {
    return DayNumber::fromDate(QDate(year, month, dayOfMonth));
}

}  // namespace reporttest
