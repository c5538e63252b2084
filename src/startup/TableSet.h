// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <vector>

#include "startup/BookingSchema.h"
#include "storage/DbfTable.h"
#include "storage/FieldDef.h"

// The eight tables of one client and booking year, plus the work table of the bookings upgrade.
// Member names are the component names the rest of the program knows them by.
//
// Invariant: an existing table file is never replaced by an empty one. Only a missing file is created
// (with its default rows); a file that exists but cannot be opened stays closed and untouched, and the
// upgrade of an old bookings table keeps the previous file until the new one is complete.
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
    // kontenzuordnung: tax treatment and Anlage EÜR line of the income and expense accounts. Opened and
    // created with the set under the same rules, without default rows (a missing row means the default).
    DbfTable Kontenzuordnung;

    // Number of fields of the current bookings layout; an older, shorter table is upgraded on opening.
    static constexpr int bookingsFieldCount = Booking::fieldCount;

    // Schemas of the eight tables (the bookings one is Booking::schema()).
    static std::vector<FieldDef> bookingsSchema();
    static std::vector<FieldDef> templatesSchema();
    static std::vector<FieldDef> accountsSchema();
    static std::vector<FieldDef> vatRatesSchema();
    static std::vector<FieldDef> bookingTextsSchema();
    static std::vector<FieldDef> assignmentsSchema();
    static inline const QString assignmentsBaseName = QStringLiteral("kontenzuordnung");

    // Sets the file names of the eight tables for a client and year (tables must be closed).
    void setNames(int mandantnr, int year);

    // Opens the set in `folder` (InitDB): a missing file is created complete with its default rows (in a
    // temporary file renamed into place, so a killed creation never leaves a half-filled table); an
    // existing file that cannot be opened is left untouched and reported; a bookings table with fewer
    // than 11 fields is upgraded. Returns one German message per file that could not be opened, could not
    // be upgraded (the old bookings table is then opened read-only, so the year can still be read) or
    // opened write-protected (the other tables are open). Throws when a missing file cannot be created;
    // tables opened before stay open.
    QStringList InitDB(const QString& folder);

    // Rebuilds the open bookings table in the 11-field layout (Feldhinzufgen1Click), in the old table's
    // code page. The previous file is kept as copy.dbf (or copy1.dbf, copy2.dbf, ... when that exists).
    // Every value is checked after copying; one that would not arrive as it was (a text the new field
    // cannot hold, a number in a malformed or out-of-range form) stops the upgrade. On any failure the
    // previous file stays in place and unchanged and a QuorvelError with a German message naming the
    // value is thrown; Dbf1 is then closed.
    void upgradeBookings();

    // From the next InitDB on, opens every table for reading only (the data folder could not be locked):
    // nothing is created, upgraded or written. `reason` ends every refused write's message.
    void setReadOnly(bool on, const QString& reason = QString());
    bool readOnly() const { return m_readOnly; }

    // Posts every table with a pending insert or edit; a failing post is rethrown after the other tables
    // have been posted. closeAll closes the nine tables (pending changes are dropped: post first).
    void postAll();
    void closeAll();

    // The eight tables in the order InitDB opens them.
    std::vector<DbfTable*> tables();

    // The folder InitDB opened the set in, as given.
    const QString& folder() const { return m_folder; }

private:
    struct Entry {
        DbfTable* table;
        std::vector<FieldDef> schema;
    };
    std::vector<Entry> entries();
    void createWithDefaultRows(DbfTable& table);
    void writeDefaultRows(DbfTable& target, DbfTable& table);
    void openOldBookingsReadOnly(QStringList& messages);

    QString m_folder;
    bool m_readOnly = false;
    QString m_readOnlyReason;
};
