#pragma once

#include <QString>
#include <QStringList>
#include <vector>

#include "storage/DbfTable.h"
#include "storage/FieldDef.h"

// The eight tables of one client and booking year, plus the work table of the bookings upgrade.
// Member names are the component names the rest of the program knows them by.
class TableSet {
public:
    DbfTable Dbf1;            // records: the bookings
    DbfTable dauer;           // dauerbuchungen: recurring templates
    DbfTable EinnahmeKonten;  // eaccounts
    DbfTable AusgabeKonten;   // aaccounts
    DbfTable Sammelkonten;    // saccounts
    DbfTable kostenkonten;    // kaccounts
    DbfTable MwstSaetze;      // mwstsaetze
    DbfTable buchungstexte;   // buchungstexte
    DbfTable Dbf2;            // temp.dbf, open only during the upgrade

    // Schemas of the eight tables.
    static std::vector<FieldDef> bookingsSchema();
    static std::vector<FieldDef> templatesSchema();
    static std::vector<FieldDef> accountsSchema();
    static std::vector<FieldDef> vatRatesSchema();
    static std::vector<FieldDef> bookingTextsSchema();

    // Sets the file names of the eight tables for a client and year (tables must be closed).
    void setNames(int mandantnr, int year);

    // Opens the set in `folder` (InitDB): a missing file is created with its default rows; an existing
    // file that cannot be opened is left untouched and reported; a bookings table with fewer than
    // 11 fields is upgraded. Returns one German message per file that could not be opened (the other
    // tables are open). Throws when a missing file cannot be created.
    QStringList InitDB(const QString& folder);

    // Rebuilds the bookings table in the 11-field layout (Feldhinzufgen1Click). The previous file is
    // kept as copy.dbf (or copy1.dbf, copy2.dbf, ... when that exists).
    void upgradeBookings();

    // Posts every table with a pending change (guarded: failures are ignored) and closes the eight tables.
    void postAll();
    void closeAll();

    // The eight tables in the order InitDB opens them.
    std::vector<DbfTable*> tables();

private:
    QString m_folder;
};
