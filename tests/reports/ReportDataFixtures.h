// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QString>
#include <memory>

#include "storage/DbfTable.h"
#include "support/TestSupport.h"

// A bookings table of the current layout in a temporary folder, for the report data tests.
namespace reporttest {

struct Buchung {
    QDate datum{};  // invalid: the date stays empty
    QString art = QStringLiteral("E");
    double brutto = 0;
    double mwst = 0;
    int konto = 0;
    int sammelkonto = 0;
    int kostenstelle = 0;
    QString beleg{};
    QString text{};
};

class BookingsTable {
public:
    BookingsTable();
    DbfTable& table() { return *m_table; }
    void add(const Buchung& b);
    // A master table (Nr, Bezeichnung) beside the bookings.
    std::unique_ptr<DbfTable> accounts(const QString& name);

private:
    testsupport::TempFolder m_folder;
    std::unique_ptr<DbfTable> m_table;
};

double day(int year, int month, int dayOfMonth);

}  // namespace reporttest
