// SPDX-License-Identifier: GPL-3.0-or-later
#include "JournalFixtures.h"

#include <QStringList>

#include "journal/Booking.h"
#include "storage/DayNumber.h"

namespace journaltest {

std::vector<FieldDef> bookingsDefs(int fieldCount) {
    std::vector<FieldDef> defs = Booking::schema();
    defs.resize(std::size_t(fieldCount));
    return defs;
}

std::vector<FieldDef> accountsDefs() {
    return {{QStringLiteral("Nr"), FieldType::Integer, 0}, {QStringLiteral("Bezeichnung"), FieldType::String, 60}};
}

std::vector<FieldDef> ratesDefs() {
    return {{QStringLiteral("Prozent"), FieldType::Float, 0}};
}

std::unique_ptr<DbfTable> createTable(const testsupport::TempFolder& folder, const QString& name,
                                      const std::vector<FieldDef>& defs) {
    auto table = std::make_unique<DbfTable>();
    table->setFilePath(folder.path());
    table->setTableName(name);
    table->setFieldDefs(defs);
    table->CreateTable();
    table->Open();
    return table;
}

void addBooking(DbfTable& bookings, const Buchung& b) {
    bookings.Insert();
    if (b.datum.isValid()) bookings.Fields(Booking::Datum).setAsDateTime(DayNumber::fromDate(b.datum));
    bookings.Fields(Booking::Art).setAsString(b.art);
    bookings.Fields(Booking::Beleg).setAsString(b.beleg);
    bookings.Fields(Booking::Text).setAsString(b.text);
    bookings.Fields(Booking::Brutto).setAsFloat(b.brutto);
    bookings.Fields(Booking::MwSt).setAsFloat(b.mwst);
    bookings.Fields(Booking::Konto).setAsInteger(b.konto);
    bookings.Post();
}

void addAccount(DbfTable& accounts, int nr, const QString& name) {
    accounts.Insert();
    accounts.Fields(0).setAsInteger(nr);
    accounts.Fields(1).setAsString(name);
    accounts.Post();
}

void addRate(DbfTable& rates, double prozent) {
    rates.Insert();
    rates.Fields(0).setAsFloat(prozent);
    rates.Post();
}

QStringList column(DbfTable& table, int field) {
    QStringList values;
    for (table.First(); !table.Eof(); table.Next()) values << table.Fields(field).AsString();
    return values;
}

double day(int year, int month, int dayOfMonth) {
    return DayNumber::fromDate(QDate(year, month, dayOfMonth));
}

}  // namespace journaltest
