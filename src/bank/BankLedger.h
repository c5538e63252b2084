// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <vector>

#include "storage/DbfTable.h"
#include "storage/FieldDef.h"

struct BankMovement;

// The movements taken over from bank statements in a booking year of a client, one record each, in the
// table bankumsaetze_<client>_<year>.dbf: date, signed amount, counterparty, the bank's reference, the
// end-to-end id and the receipt it was booked under. It is how a movement is recognised when the same
// statement, or an overlapping one, is read again. A record is written just before its booking, so a
// process killed in between leaves a record without booking, which the duplicate check notices.
class BankLedger {
public:
    enum Field { fDatum, fBetrag, fGegenseite, fBankref, fE2eref, fBeleg };

    static inline constexpr const char* baseName = "bankumsaetze";
    static std::vector<FieldDef> schema();
    static QString fileName(int mandantnr, int year);

    // Opens the ledger of a client and year in `folder`, creating it when it does not exist yet.
    void open(const QString& folder, int mandantnr, int year);
    void close() { m_table.Close(); }
    bool isOpen() const { return m_table.Active(); }

    // Appends the record of a movement booked under `beleg`; returns its record number, for remove().
    int add(const BankMovement& movement, const QString& beleg);
    // Marks a record as deleted again (its booking could not be written).
    void remove(int recordNumber);

    DbfTable& table() { return m_table; }
    const DbfTable& table() const { return m_table; }

    // A text as the ledger stores and compares it: characters the table's code page lacks become '?',
    // cut to `width`, letter case folded, blanks simplified.
    static QString key(const QString& text, int width = 60);

private:
    DbfTable m_table;
};
