// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/CliCommands.h"

#include <QDir>
#include <QFileInfo>
#include <QPrinter>

#include "cli/CliSession.h"
#include "exchange/CsvExport.h"
#include "exchange/CsvImport.h"
#include "journal/EntryLookups.h"
#include "journal/JournalFilter.h"
#include "reports/data/ListReport.h"
#include "reports/data/ReportArrays.h"
#include "reports/data/TotalResult.h"
#include "reports/output/PdfReportWriter.h"
#include "startup/AddressFile.h"
#include "startup/ClientNaming.h"
#include "startup/OptionStore.h"

namespace CliCommands {

namespace {

using CommandLine::Request;

QString absolute(const QString& fileName) {
    return QDir::cleanPath(QDir::current().absoluteFilePath(fileName));
}

void passRemarks(const CliSession& session, const Output& output) {
    for (const QString& remark : session.remarks()) {
        if (output.remark) output.remark(QStringLiteral("Hinweis: ") + remark);
    }
}

// The journal's filter as the window sets it at start, with the command's text filter and period filter.
void filterJournal(JournalFilter& filter, DbfTable& bookings, const Request& r, bool periodFilter) {
    filter.startUp(bookings, periodFilter, CalcZeitraum(r.zeitraum, r.jahr));
    if (!r.filter.isEmpty()) filter.FilterbtnClick(bookings, r.filter);
}

struct AccountTable {
    DbfTable* table;
    QString plural;  // as the menu "Einstellungen" names the table
};

AccountTable accountTableOf(TableSet& t, ListKind kind) {
    switch (kind) {
        case ListKind::Ausgabenkonto:
            return {&t.AusgabeKonten, QStringLiteral("Ausgabearten")};
        case ListKind::Einnahmekonto:
            return {&t.EinnahmeKonten, QStringLiteral("Einnahmearten")};
        case ListKind::Sammelkonto:
            return {&t.Sammelkonten, QStringLiteral("Sammelkonten")};
        case ListKind::Kostenstelle:
            return {&t.kostenkonten, QStringLiteral("Kostenstellen")};
        default:
            return {nullptr, QString()};
    }
}

QString accountName(DbfTable& accounts, int nr) {
    try {
        if (accounts.Active()) return EntryLookups::findKonto(accounts, nr);
    } catch (const std::exception&) {
        // As on the report window's pages: the number stands for a name that cannot be read.
    }
    return QStringLiteral("Konto ") + QString::number(nr);
}

}  // namespace

int report(const Request& r, const Output& output) {
    if (r.bericht->tax != CommandLine::TaxKind::None) return taxForm(r, output);
    const QString pdf = absolute(r.pdf);
    CliSession session(r.datenordner, r.mandant, r.jahr, CliSession::Access::Read);
    passRemarks(session, output);
    TableSet& t = session.tables();

    JournalFilter filter;
    filterJournal(filter, t.Dbf1, r, false);
    const Zeitraum zeitraum = CalcZeitraum(r.zeitraum, r.jahr);

    ReportArrays arrays;
    ReportData data;  // declared after the arrays: it refers to them and goes first
    if (r.bericht->total) {
        TotalResult::build(t.Dbf1, zeitraum, arrays, data);
    } else {
        ListReport::Request request;
        request.kind = r.bericht->list;
        request.zeitraum = zeitraum;
        request.anfangsbestand = r.bericht->anfangsbestand;
        if (CommandLine::needsAccount(*r.bericht)) {
            const AccountTable accounts = accountTableOf(t, r.bericht->list);
            if (!accounts.table->Active() || EntryLookups::rowOfAccount(*accounts.table, *r.konto) < 0)
                throw QuorvelError(QStringLiteral("Das Konto %1 steht nicht in den %2 des Mandanten %3 für das "
                                                  "Jahr %4.")
                                       .arg(*r.konto)
                                       .arg(accounts.plural)
                                       .arg(r.mandant)
                                       .arg(r.jahr));
            request.nr = *r.konto;
            request.name = EntryLookups::findKonto(*accounts.table, request.nr);
        }
        ListReport::build(t.Dbf1, &filter, request, arrays, data);
    }

    ReportInputs in;
    in.data = &data;
    in.address = AddressFile::load(session.folder() + ClientNaming::addressFileName(r.mandant)).value_or(QStringList());
    in.currency = r.waehrung;
    in.findEinnahmeKonto = [&t](int nr) { return accountName(t.EinnahmeKonten, nr); };
    in.findAusgabeKonto = [&t](int nr) { return accountName(t.AusgabeKonten, nr); };

    // The page the report window lays out on until the user picks another in "Drucker einrichten...".
    const QPrinter printer(QPrinter::HighResolution);
    const int pages = PdfReportWriter::write(pdf, in, printer.pageLayout(), printer.resolution(), [&](int done) {
        if (output.progress) output.progress(QStringLiteral("Seite %1 geschrieben").arg(done));
    });
    ReportArrays::withdraw(data);
    output.out(pages == 1 ? QStringLiteral("%1: 1 Seite nach %2 geschrieben.").arg(data.cap, pdf)
                          : QStringLiteral("%1: %2 Seiten nach %3 geschrieben.").arg(data.cap, QString::number(pages), pdf));
    return pages;
}

int exportCsv(const Request& r, const Output& output) {
    const QString file = absolute(r.datei);
    CliSession session(r.datenordner, r.mandant, r.jahr, CliSession::Access::Read);
    passRemarks(session, output);
    JournalFilter filter;
    filterJournal(filter, session.tables().Dbf1, r, r.zeitraumGiven);
    // Without a progress callback nothing can cancel the export.
    const int count = CsvExport::writeFile(session.tables().Dbf1, file).value_or(0);
    output.out(count == 1 ? QStringLiteral("1 Buchung wurde nach %1 exportiert.").arg(file)
                          : QStringLiteral("%1 Buchungen wurden nach %2 exportiert.").arg(QString::number(count), file));
    return count;
}

int importCsv(const Request& r, const Output& output) {
    // Read first: a file that cannot be read leaves the data folder untouched.
    const QByteArray bytes = CsvImport::readFile(absolute(r.datei));
    CliSession session(r.datenordner, r.mandant, r.jahr, CliSession::Access::Write);
    passRemarks(session, output);

    bool skipHeading = false;
    if (r.ersteZeileUeberlesen) {
        skipHeading = *r.ersteZeileUeberlesen;
    } else {
        const OptionStore store;
        skipHeading = store.boolValue(QStringLiteral("TMainForm"),
                                      QStringLiteral("ErsteZeilederCSVDateimitberschriftenbeimImportberlesen1_Checked"),
                                      false);
    }
    CsvImport csvImport(session.tables().Dbf1, r.jahr);
    csvImport.setSkipHeading(skipHeading);
    if (output.progress) {
        csvImport.setProgress([&](qint64 done, qint64 total) {
            output.progress(QStringLiteral("%1 % gelesen").arg(total > 0 ? done * 100 / total : 100));
            return true;
        });
    }
    const CsvImportResult result = csvImport.importBytes(bytes);
    session.close();
    output.out(result.summary(std::numeric_limits<int>::max()));
    return result.stoppedAtLine > 0 ? 1 : 0;
}

}  // namespace CliCommands
