// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

#include "journal/Period.h"
#include "reports/data/ListReport.h"
#include "storage/StorageError.h"

// The command line of the program: "quorvel" alone starts the window; "quorvel <befehl> --option wert ..."
// runs one command without a window. Parsing is plain logic: a wrong call throws UsageError with the
// German message the user reads on stderr.
namespace CommandLine {

// A call that the program does not understand (unknown command or option, missing or invalid value).
class UsageError : public QuorvelError {
public:
    using QuorvelError::QuorvelError;
};

enum class Command { Window, Help, Version, Report, ExportCsv, ImportCsv };

// The tax forms of the menu "Steuern": the VAT return of a month, a quarter or the year, and the Anlage
// EÜR of the year.
enum class TaxKind { None, Ustva, Euer };

// One report of the menu "Auswertungen" (or a tax form) as the command line names it.
struct ReportKind {
    const char* name;     // "gesamtergebnis", "sammelkonto-anfangsbestand", ...
    const char* caption;  // the menu command without its dots
    bool total = false;   // "Gesamtergebnis"; otherwise a list report of `list`
    ListKind list = ListKind::AlleBuchungen;
    bool anfangsbestand = false;
    TaxKind tax = TaxKind::None;  // a tax form rather than a report: PDF and/or CSV, no text filter
};

// Every report, in menu order.
const std::vector<ReportKind>& reportKinds();

// Whether the report is about one account (Ausgabenkonto, Einnahmekonto, Sammelkonto, Kostenstelle).
bool needsAccount(const ReportKind& kind);

struct Request {
    Command command = Command::Window;
    int mandant = 1;
    int jahr = 0;  // the current year unless given
    PeriodItem zeitraum = PeriodItem::GanzesJahr;
    bool zeitraumGiven = false;
    const ReportKind* bericht = nullptr;
    std::optional<int> konto;
    QString filter;         // the journal's text filter ("Filtern")
    QString pdf;            // report: the PDF file
    QString csv;            // tax form: the CSV file
    QString datei;          // export and import: the CSV file
    QString datenordner;    // overrides the data folder of the stored options
    QString waehrung = QStringLiteral("€");
    std::optional<bool> ersteZeileUeberlesen;  // import: the stored option of the menu unless given
};

// `args` without the program name. No arguments: the window. Throws UsageError.
Request parse(const QStringList& args, int currentYear);

// True when the arguments ask for a command rather than the window (also for a wrong call, so that
// its message goes to stderr instead of starting the window).
bool isCommand(const QStringList& args);

// The period of "--zeitraum <Jahr|Halbjahr|Quartal|Monat>" with "--nummer N" (not for Jahr).
PeriodItem periodOf(const QString& zeitraum, const std::optional<int>& nummer);

QString helpText();
QString versionText();

}  // namespace CommandLine
