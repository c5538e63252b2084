// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <utility>
#include <vector>

class DbfTable;

// One value of an import that did not reach its field as written.
struct CsvImportIssue {
    int line = 0;   // line of the file, counted from 1 (a skipped heading counts)
    int field = 0;  // value of the line, counted from 1
    QString name;   // stored name of the target field
    QString text;   // the value as read (after the escapes)
    QString why;    // German, e.g. "ist kein Betrag" (empty for texts that were cut)
};

// What the user chose for lines that equal a booking of the year or an earlier line of the file.
enum class CsvDuplicateChoice { ImportToo, Skip, Cancel };

// What an import did, for the summary the user reads afterwards.
struct CsvImportResult {
    int added = 0;        // bookings posted
    int outsideYear = 0;  // of those, dated outside the booking year open at the import
    int bookingYear = 0;
    int emptyLines = 0;                     // lines holding only separators and blanks (no booking)
    int surplusLines = 0;                   // lines with non-empty values beyond the table's last field (dropped)
    int refusedLines = 0;                   // lines not booked because a value did not read
    std::vector<std::pair<int, QString>> withheld;  // lines the books refused (a closed period): line, why
    std::vector<CsvImportIssue> refused;    // why, value by value (a line may have several)
    std::vector<CsvImportIssue> shortened;  // texts cut to the width of their field
    int duplicates = 0;                     // lines equal to a booking of the year or an earlier line
    CsvDuplicateChoice duplicateChoice = CsvDuplicateChoice::ImportToo;
    bool cancelled = false;  // the user stopped the import; the bookings posted before stay
    int stoppedAtLine = 0;   // line at which a failure to write ended the import (0: none)
    QString stopReason;

    // Nothing to tell beyond the number of bookings.
    bool clean() const;
    // The German summary shown after the import.
    QString summary(int maxListed = 15) const;
};

// Appends one booking per line of a CSV file to the bookings table, values by position: value n goes into
// table field n - 1; surplus values are dropped. The file is read twice: first every line is read and
// checked, then the lines that read are posted.
//
// A line is booked only when every value reads as exactly one value of its field's type (see CsvValues:
// dates whole, amounts unambiguous, whole numbers decimal), its kind is E, A, N or S, and it has a date
// and a gross amount; every other line is named in the result with the reason and left out. Lines whose
// date, kind, receipt, text and gross equal a booking of the year (whatever the journal filter shows) or
// an earlier line of the file are counted first, and the duplicate question decides what becomes of them.
// Posting is not atomic: a failure to write ends the import, and what was posted before stays. A line the
// books refuse by their rules (dated in a closed period) is named in the result and the import goes on.
class CsvImport {
public:
    // Called every few hundred lines with the work done so far and the whole work; false cancels.
    using Progress = std::function<bool(qint64 done, qint64 total)>;
    // Asked once, before anything is posted, when the file has lines that are already booked.
    using DuplicateQuestion = std::function<CsvDuplicateChoice(int duplicates)>;

    CsvImport(DbfTable& bookings, int bookingYear) : m_table(bookings), m_year(bookingYear) {}

    void setSkipHeading(bool skip) { m_skipHeading = skip; }
    void setProgress(Progress progress) { m_progress = std::move(progress); }
    void setDuplicateQuestion(DuplicateQuestion question) { m_askDuplicates = std::move(question); }

    // Reads the whole file. Throws QuorvelError with the message the user reads when it cannot be opened.
    static QByteArray readFile(const QString& fileName);

    // Imports the text of a file in code page 1252 (UTF-8 when it starts with the UTF-8 byte-order mark),
    // lines ending in CR LF or LF. The table must be open and in browse state.
    CsvImportResult importBytes(const QByteArray& bytes);

    static inline const QString openErrorText = QStringLiteral(
        "Konnte die CSV Datei nicht öffnen! Wahrscheinlich ist die CSV Datei noch geöffnet, z.B. im Excel.");

private:
    DbfTable& m_table;
    int m_year = 0;
    bool m_skipHeading = false;
    Progress m_progress;
    DuplicateQuestion m_askDuplicates;
};
