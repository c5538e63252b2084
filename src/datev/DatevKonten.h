// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <map>
#include <optional>
#include <tuple>

struct DatevChart;

// The chart accounts of one client and year for the DATEV export: for each chart (SKR 03, SKR 04) the
// chart account of an income account ("E"), an expense account ("A") and a collective account ("S", the bank
// or cash account its bookings are paid through). Kept beside the account assignment as its own small
// table "datevkonten" (named like the year's other tables); a missing file means no row yet. An income or
// expense account without a row has no chart account (its bookings are not exported); a collective account
// without a row takes the chart's bank account.
//
// Rows are written only as a whole new file (temporary file, checked, renamed). A file with rows that could
// not be read is never written over, so no row on the disk is lost.
class DatevKonten {
public:
    enum class Art : char { Einnahme = 'E', Ausgabe = 'A', Sammel = 'S' };

    static inline const QString baseName = QStringLiteral("datevkonten");
    static QString fileName(int mandantnr, int year);

    // Reads the table of `mandantnr` and `year` in `folder`; a missing file gives no rows. A file that
    // cannot be opened, or rows that cannot be read, are reported by problem() (German).
    static DatevKonten read(const QString& folder, int mandantnr, int year);

    std::optional<int> account(const QString& chart, Art art, int nr) const;
    // The collective account's chart account: its row, else the chart's bank account.
    int contraAccount(const DatevChart& chart, int sammelNr) const;
    void set(const QString& chart, Art art, int nr, std::optional<int> konto);  // nullopt removes the row

    const QString& problem() const { return m_problem; }

    // Writes every row as a new file in place of the old one. Throws a QuorvelError (German) when the
    // table read with problems (its unreadable rows would be lost) or the file cannot be written; the
    // previous file is then unchanged.
    void write(const QString& folder, int mandantnr, int year) const;

    // "Das DATEV-Konto muss eine Zahl mit %1 Stellen sein" and the like; empty when `typed` is a chart
    // account of `chart` (digits only, exactly its account length). `konto` receives the number.
    static QString refusal(const QString& typed, const DatevChart& chart, int* konto);

private:
    std::map<std::tuple<QString, char, int>, int> m_rows;
    QString m_problem;
    bool m_unreadable = false;
};
