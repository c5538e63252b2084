// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QString>
#include <memory>
#include <vector>

#include "storage/DbfTable.h"
#include "storage/FieldDef.h"
#include "support/TestSupport.h"

// Real tables in a temporary folder, built through the table layer, for the journal tests.
namespace journaltest {

std::vector<FieldDef> bookingsDefs(int fieldCount = 11);
std::vector<FieldDef> accountsDefs();
std::vector<FieldDef> ratesDefs();

// Creates and opens a table named `name` in the folder.
std::unique_ptr<DbfTable> createTable(const testsupport::TempFolder& folder, const QString& name,
                                      const std::vector<FieldDef>& defs);

struct Buchung {
    QDate datum{};
    QString art = QStringLiteral("E");
    QString beleg{};
    QString text{};
    double brutto = 0;
    double mwst = 0;
    int konto = 0;
};

// Insert, set the fields by position, Post.
void addBooking(DbfTable& bookings, const Buchung& booking);
void addAccount(DbfTable& accounts, int nr, const QString& name);
void addRate(DbfTable& rates, double prozent);

// Every visible row's field `field` as text, in the visible order.
QStringList column(DbfTable& table, int field);

double day(int year, int month, int dayOfMonth);

}  // namespace journaltest
