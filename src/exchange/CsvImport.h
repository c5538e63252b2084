#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

class DbfTable;

// One value of an import that did not reach its field as written.
struct CsvImportIssue {
    int line = 0;   // line of the file, counted from 1 (a skipped heading counts)
    int field = 0;  // value of the line, counted from 1
    QString name;   // stored name of the target field
    QString text;   // the value as read (after the escapes)
};

// What an import did, for the summary the user reads afterwards.
struct CsvImportResult {
    int added = 0;        // bookings posted
    int outsideYear = 0;  // of those, dated outside the booking year open at the import
    int bookingYear = 0;
    int emptyLines = 0;                     // lines holding only separators and blanks (no booking)
    int surplusLines = 0;                   // lines with non-empty values beyond the table's last field (dropped)
    std::vector<CsvImportIssue> rejected;   // values that could not be converted: the field stays empty
    std::vector<CsvImportIssue> shortened;  // texts cut to the width of their field
    bool cancelled = false;                 // the user stopped the import; the bookings posted before stay
    int stoppedAtLine = 0;                  // line at which a failure to write ended the import (0: none)
    QString stopReason;

    // The German summary shown after the import.
    QString summary(int maxListed = 15) const;
};

// Appends one booking per line of a CSV file to the bookings table, values by position: value n goes into
// table field n - 1 as text, converted by the field's type with the locale's formats; surplus values are
// dropped. A value the table layer does not take is tried once more the lenient way (amounts as the entry
// panel reads them, "119.50" in a comma locale included; ISO dates), and reported when that fails too.
// Every line is posted as it is read: the import is not atomic.
class CsvImport {
public:
    // Called every few hundred lines with the bytes read so far and the file's size; false cancels.
    using Progress = std::function<bool(qint64 done, qint64 total)>;

    CsvImport(DbfTable& bookings, int bookingYear) : m_table(bookings), m_year(bookingYear) {}

    void setSkipHeading(bool skip) { m_skipHeading = skip; }
    void setProgress(Progress progress) { m_progress = std::move(progress); }

    // Reads the whole file. Throws QuorvelError with the message the user reads when it cannot be opened.
    static QByteArray readFile(const QString& fileName);

    // Imports the text of a file in code page 1252 (UTF-8 when it starts with the UTF-8 byte-order mark),
    // lines ending in CR LF or LF. The table must be open and
    // in browse state. A post that fails (disk full, write-protected table) ends the import; the result
    // says at which line.
    CsvImportResult importBytes(const QByteArray& bytes);

    static inline const QString openErrorText = QStringLiteral(
        "Konnte die CSV Datei nicht öffnen! Wahrscheinlich ist die CSV Datei noch geöffnet, z.B. im Excel.");

private:
    void storeLine(const QStringList& values, int lineNumber, CsvImportResult& result);

    DbfTable& m_table;
    int m_year = 0;
    bool m_skipHeading = false;
    Progress m_progress;
};
