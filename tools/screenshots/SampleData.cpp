// SPDX-License-Identifier: GPL-3.0-or-later
#include "SampleData.h"

#include <QDate>
#include <tuple>

#include "journal/Booking.h"
#include "startup/AddressFile.h"
#include "startup/ClientNaming.h"
#include "startup/TableSet.h"
#include "storage/DayNumber.h"

namespace SampleData {

namespace {

void addAccount(DbfTable& table, int nr, const QString& name) {
    table.Insert();
    table.Fields(0).setAsInteger(nr);
    table.Fields(1).setAsString(name);
    table.Post();
}

}  // namespace

void write(const QString& folder) {
    TableSet set;
    set.setNames(1, year);
    set.InitDB(folder);
    addAccount(set.AusgabeKonten, 4, QStringLiteral("Bürobedarf"));
    addAccount(set.AusgabeKonten, 5, QStringLiteral("Telefon und Internet"));
    addAccount(set.AusgabeKonten, 6, QStringLiteral("Miete"));
    addAccount(set.kostenkonten, 2, QStringLiteral("Fahrzeug"));
    // The recurring templates replace the example row of a new year.
    DbfTable& dauer = set.dauer;
    dauer.First();
    while (!dauer.Eof()) dauer.Delete();
    for (const auto& [text, brutto, konto] : {std::tuple{"Büromiete", 952.0, 6}, std::tuple{"Mobilfunk", 35.70, 5}}) {
        dauer.Insert();
        dauer.Fields(0).setAsString(QStringLiteral("A"));
        dauer.Fields(2).setAsString(QString::fromUtf8(text));
        dauer.Fields(3).setAsFloat(brutto);
        dauer.Fields(4).setAsFloat(19);
        dauer.Fields(5).setAsInteger(konto);
        dauer.Post();
    }

    struct Row {
        int month, day;
        const char* art;
        const char* text;
        double brutto, mwst;
        int konto, sammel, kosten;
    };
    const Row rows[] = {
        {1, 2, "N", "Eröffnungsbestand Bank", 2500, 0, 0, 1, 0},
        {1, 5, "A", "Büromiete Januar", 952, 19, 6, 0, 0},
        {1, 15, "E", "Beratung Schulz GmbH", 1785, 19, 0, 1, 0},
        {1, 28, "A", "Druckerpapier", 23.80, 19, 4, 0, 0},
        {2, 3, "A", "Büromiete Februar", 952, 19, 6, 0, 0},
        {2, 10, "E", "Fachbuch Verkauf", 53.50, 7, 1, 0, 0},
        {2, 17, "A", "Mobilfunk Februar", 35.70, 19, 5, 0, 0},
        {3, 4, "A", "Tankstelle", 71.40, 19, 0, 0, 2},
        {3, 12, "E", "Seminar Meyer & Söhne", 2380, 19, 0, 1, 0},
        {3, 31, "S", "Privatentnahme", 400, 0, 0, 1, 0},
        {4, 8, "E", "Beratung Schulz GmbH", 1190, 19, 0, 1, 0},
        {4, 16, "A", "Toner", 119.50, 19, 4, 0, 0},
    };
    DbfTable& b = set.Dbf1;
    int beleg = 1;
    for (const Row& r : rows) {
        b.Insert();
        b.Fields(Booking::Datum).setAsDateTime(DayNumber::fromDate(QDate(year, r.month, r.day)));
        b.Fields(Booking::Art).setAsString(QString::fromUtf8(r.art));
        b.Fields(Booking::Beleg).setAsString(QString::number(beleg++));
        b.Fields(Booking::Text).setAsString(QString::fromUtf8(r.text));
        b.Fields(Booking::Brutto).setAsFloat(r.brutto);
        b.Fields(Booking::MwSt).setAsFloat(r.mwst);
        b.Fields(Booking::Konto).setAsInteger(r.konto);
        b.Fields(Booking::Sammelkonto).setAsInteger(r.sammel);
        b.Fields(Booking::Kostenstelle).setAsInteger(r.kosten);
        b.Post();
    }
    set.closeAll();
    AddressFile::save(folder + ClientNaming::addressFileName(1),
                      {QStringLiteral("Büro Muster"), QStringLiteral("Hauptstraße 1"), QStringLiteral("12345 Musterstadt")});
}

}  // namespace SampleData
