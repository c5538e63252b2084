// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QString>

#include "startup/TableSet.h"
#include "storage/DayNumber.h"
#include "support/TestSupport.h"

// A year of client 1 in a temporary data folder, with helpers to add accounts and bookings.
struct TaxYear {
    testsupport::TempFolder dir;
    TableSet set;
    int year;

    explicit TaxYear(int y = 2026) : year(y) {
        set.setNames(1, y);
        set.InitDB(dir.path());
    }

    static void account(DbfTable& table, int nr, const QString& name) {
        table.Insert();
        table.Fields(0).setAsInteger(nr);
        table.Fields(1).setAsString(name);
        table.Post();
    }

    void book(const QDate& date, const char* art, double brutto, double rate, int konto,
              const QString& beleg = QString(), const QString& text = QString()) {
        DbfTable& t = set.Dbf1;
        t.Insert();
        t.Fields(0).setAsDateTime(DayNumber::fromDate(date));
        t.Fields(1).setAsString(QString::fromLatin1(art));
        t.Fields(2).setAsString(beleg);
        t.Fields(3).setAsString(text);
        t.Fields(4).setAsFloat(brutto);
        t.Fields(5).setAsFloat(rate);
        t.Fields(6).setAsInteger(konto);
        t.Post();
    }
};
