// SPDX-License-Identifier: GPL-3.0-or-later
#include "ReportDataFixtures.h"

#include <vector>

#include "journal/Booking.h"
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
    m_table = create(m_folder, QStringLiteral("records_1_2024.dbf"), Booking::schema());
}

void BookingsTable::add(const Buchung& b) {
    DbfTable& t = *m_table;
    t.Insert();
    if (b.datum.isValid()) t.Fields(Booking::Datum).setAsDateTime(DayNumber::fromDate(b.datum));
    t.Fields(Booking::Art).setAsString(b.art);
    t.Fields(Booking::Beleg).setAsString(b.beleg);
    t.Fields(Booking::Text).setAsString(b.text);
    t.Fields(Booking::Brutto).setAsFloat(b.brutto);
    t.Fields(Booking::MwSt).setAsFloat(b.mwst);
    t.Fields(Booking::Konto).setAsInteger(b.konto);
    t.Fields(Booking::Sammelkonto).setAsInteger(b.sammelkonto);
    t.Fields(Booking::Kostenstelle).setAsInteger(b.kostenstelle);
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
