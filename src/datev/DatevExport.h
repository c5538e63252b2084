// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "datev/DatevFormat.h"
#include "datev/DatevKonten.h"

class DbfTable;
class Kontenzuordnung;

// What the header line says beyond the fixed values of the format.
struct DatevSettings {
    QString chart = QStringLiteral("03");  // code of the chart ("03" SKR 03, "04" SKR 04)
    qint64 beraternummer = 0;
    qint64 mandantennummer = 0;
    QDate wjBeginn;  // first day of the fiscal year
    QDate von;       // the batch's period, inside the fiscal year
    QDate bis;
    QString bezeichnung;
    QString diktatkuerzel;
    QString herkunft = QStringLiteral("RE");
    QDateTime erzeugtAm;
};

// A booking that was not exported, and why (German).
struct DatevSkipped {
    int row = 0;  // visible row of the bookings table read
    QDate datum;
    QString beleg;
    QString text;
    QString reason;
};

struct DatevResult {
    QStringList files;           // written, in order
    int maxBookingsPerFile = 0;  // of the format: more bookings go to further files
    int exported = 0;
    int skippedCount = 0;
    std::vector<DatevSkipped> skipped;  // the first kMaxListed of them
    // Income ('E') and expense ('A') accounts without a chart account, with their number of bookings.
    std::map<std::pair<char, int>, int> unmappedAccounts;
    int shortenedTexts = 0;     // Buchungstext cut to the field's length
    int changedReceipts = 0;    // characters the receipt field does not take were left out
    int changedCharacters = 0;  // texts with characters code page 1252 lacks ('?') or control characters (blank)
    QStringList notes;          // the first kMaxListed changes, one German line each
    static constexpr int kMaxListed = 200;
};

// The booking batch in the DATEV format (EXTF): header line, column headings, one line per booking.
//
// Each booking of the period becomes: its gross amount without sign, "S" or "H" for the account (income:
// "H", expense: "S"; a negative amount swaps the side), the chart account of its income or expense account,
// the bank or cash account of its collective account as contra account, the tax key of its VAT rate (for
// income at the standard treatment and expenses with input tax; none for neutral bookings), the receipt
// date (day and month), the receipt and the text. Bookings that cannot be exported (no chart account, a
// rate without a tax key, an amount of 0,00 or beyond the field, a date outside the fiscal year) are listed
// in the result and left out. More bookings than one file may hold are written to several files.
class DatevExport {
public:
    using Progress = std::function<bool(qint64 done, qint64 total)>;

    // Throws QuorvelError (German) for settings the format cannot take.
    DatevExport(const DatevFormat& format, const DatevCharts& charts, const DatevKonten& konten,
                const Kontenzuordnung& zuordnung, const DatevSettings& settings);
    ~DatevExport();

    // Writes the live bookings of the period (whatever the journal's filter) to `fileName` (its name must
    // start with the format's prefix, "EXTF_"), through temporary files that replace the targets only when
    // every file is complete. nullopt when `progress` cancelled: every previous file is then unchanged.
    // Throws QuorvelError (German) when a file cannot be written, again leaving the previous files.
    std::optional<DatevResult> writeFiles(const DbfTable& bookings, const QString& fileName,
                                          const Progress& progress = {}) const;

    // The header line (without line end) for `from`..`to` as written into every file.
    QString headerLine() const;
    // The files a batch of `parts` files is written to: the name itself, then "_2", "_3", ... before ".csv".
    static QStringList partFileNames(const QString& fileName, int parts);

private:
    // Copies: an exporter outlives the objects it was made from.
    DatevFormat m_format;
    DatevCharts m_charts;
    DatevKonten m_konten;
    std::unique_ptr<Kontenzuordnung> m_zuordnung;
    DatevSettings m_settings;
    const DatevChart* m_chart = nullptr;  // in m_charts
};
