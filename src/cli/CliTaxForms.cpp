// SPDX-License-Identifier: GPL-3.0-or-later
#include <QDate>
#include <QDir>
#include <QPrinter>

#include "cli/CliCommands.h"
#include "cli/CliSession.h"
#include "reports/output/PdfReportWriter.h"
#include "reports/output/ReportFormat.h"
#include "startup/AddressFile.h"
#include "startup/ClientNaming.h"
#include "storage/DayNumber.h"
#include "storage/SafeFile.h"
#include "tax/Kontenzuordnung.h"
#include "tax/TaxBookings.h"
#include "tax/TaxFormPages.h"
#include "tax/TaxResults.h"
#include "tax/TaxSettings.h"

// The two tax forms on the command line, computed and laid out as the window "Steuern" does: the same
// figures, pages and CSV rows, written to the files the call names.

namespace CliCommands {

namespace {

using CommandLine::Request;

QString absolute(const QString& fileName) {
    return QDir::cleanPath(QDir::current().absoluteFilePath(fileName));
}

QString pagesText(int pages) {
    return pages == 1 ? QStringLiteral("1 Seite") : QStringLiteral("%1 Seiten").arg(pages);
}

// What the form hands to the writers: its title, the period line under the address, the CSV bytes, the
// layout of the pages, and whether some bookings could not be placed.
struct FormOutput {
    QString title;
    QString zeitraum;
    QByteArray csv;
    std::function<int(ReportCanvas&, const TaxPageHeader&, const PageParams&)> layout;
    std::size_t unassigned = 0;
    QStringList problems;
};

}  // namespace

int taxForm(const Request& r, const Output& output) {
    const QString pdf = r.pdf.trimmed().isEmpty() ? QString() : absolute(r.pdf);
    const QString csv = r.csv.trimmed().isEmpty() ? QString() : absolute(r.csv);
    CliSession session(r.datenordner, r.mandant, r.jahr, CliSession::Access::Read);
    for (const QString& remark : session.remarks())
        if (output.remark) output.remark(QStringLiteral("Hinweis: ") + remark);
    TableSet& t = session.tables();
    const TaxSettings settings = TaxSettings::load(TaxSettings::fileName(session.folder(), r.mandant));
    const bool ustva = r.bericht->tax == CommandLine::TaxKind::Ustva;
    if (ustva && settings.kleinunternehmer) throw QuorvelError(kleinunternehmerText());

    const auto source = std::make_shared<TaxBookingSource>(t.Dbf1);
    const std::set<int> einnahmen = accountNumbers(t.EinnahmeKonten);
    const std::set<int> ausgaben = accountNumbers(t.AusgabeKonten);
    const Kontenzuordnung zuordnung = Kontenzuordnung::read(t.Kontenzuordnung);
    FormOutput form;
    if (ustva) {
        const Zeitraum zeitraum = CalcZeitraum(r.zeitraum, r.jahr);
        auto result = std::make_shared<UstvaResult>(TaxComputation::ustva(
            *source, einnahmen, ausgaben, zuordnung, zeitraum, TaxFormData::load(TaxFormData::ustva, r.jahr)));
        form.title = QStringLiteral("%1 %2").arg(TaxFormPages::ustvaTitle(*result), periodCaption(r.zeitraum));
        form.zeitraum = QStringLiteral("%1 %2 (%3 – %4)")
                            .arg(periodCaption(r.zeitraum))
                            .arg(r.jahr)
                            .arg(ReportFormat::date(zeitraum.vondatum), ReportFormat::date(zeitraum.bisdatum));
        form.csv = TaxCsv::ustva(*result);
        form.layout = [result](ReportCanvas& canvas, const TaxPageHeader& header, const PageParams& params) {
            return TaxFormPages::ustva(canvas, *result, header, params);
        };
        form.unassigned = result->unassigned.size();
        form.problems = result->problems;
        if (const QString note = result->form.fallbackNote(); !note.isEmpty()) form.problems.prepend(note);
    } else {
        const Zeitraum jahr = CalcZeitraum(PeriodItem::GanzesJahr, r.jahr);
        auto result = std::make_shared<EuerResult>(TaxComputation::euer(*source, einnahmen, ausgaben, zuordnung,
                                                                        r.jahr, TaxFormData::load(TaxFormData::euer, r.jahr),
                                                                        settings.kleinunternehmer));
        form.title = TaxFormPages::euerTitle(*result);
        form.zeitraum = QStringLiteral("Wirtschaftsjahr %1 (%2 – %3)")
                            .arg(r.jahr)
                            .arg(ReportFormat::date(jahr.vondatum), ReportFormat::date(jahr.bisdatum));
        form.csv = TaxCsv::euer(*result);
        form.layout = [result, source](ReportCanvas& canvas, const TaxPageHeader& header, const PageParams& params) {
            return TaxFormPages::euer(canvas, *result, *source, header, params);
        };
        form.unassigned = result->unassigned.size();
        form.problems = result->problems;
        if (const QString note = result->form.fallbackNote(); !note.isEmpty()) form.problems.prepend(note);
    }

    if (!pdf.isEmpty()) {
        ReportData data;  // only its caption: the PDF's title
        data.cap = form.title;
        ReportInputs in;
        in.data = &data;
        in.address =
            AddressFile::load(session.folder() + ClientNaming::addressFileName(r.mandant)).value_or(QStringList());
        in.currency = r.waehrung;
        const TaxPageHeader header{in.address, settings.steuernummer, form.zeitraum,
                                   ReportFormat::date(DayNumber::fromDate(QDate::currentDate())), r.waehrung};
        in.layout = [&](ReportCanvas& canvas, const ReportInputs&, const PageParams& params) {
            return form.layout(canvas, header, params);
        };
        // The page the report window lays out on until the user picks another in "Drucker einrichten...".
        const QPrinter printer(QPrinter::HighResolution);
        const int pages = PdfReportWriter::write(pdf, in, printer.pageLayout(), printer.resolution(), [&](int done) {
            if (output.progress) output.progress(QStringLiteral("Seite %1 geschrieben").arg(done));
        });
        output.out(QStringLiteral("%1: %2 nach %3 geschrieben.").arg(form.title, pagesText(pages), pdf));
    }
    if (!csv.isEmpty()) {
        SafeFile::replace(csv, form.csv, QStringLiteral("Die CSV-Datei"));
        output.out(QStringLiteral("%1: CSV-Datei %2 geschrieben.").arg(form.title, csv));
    }
    if (output.remark) {
        for (const QString& p : form.problems) output.remark(QStringLiteral("Hinweis: ") + p);
        if (form.unassigned > 0)
            output.remark(QStringLiteral("Hinweis: Das Formular ist unvollständig: %1 nicht zugeordnet (im PDF "
                                         "aufgelistet). Prüfen Sie die Kontenzuordnung.")
                              .arg(form.unassigned == 1 ? QStringLiteral("1 Buchung ist")
                                                        : QStringLiteral("%1 Buchungen sind").arg(form.unassigned)));
    }
    return 0;
}

}  // namespace CliCommands
