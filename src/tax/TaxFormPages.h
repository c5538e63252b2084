// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include "reports/output/ReportCanvas.h"
#include "reports/output/ReportInputs.h"
#include "tax/TaxResults.h"

class TaxBookingSource;

// What the form pages print above the figures: the firm's address, its tax number, the period and the
// day of printing.
struct TaxPageHeader {
    QStringList address;
    QString steuernummer;
    QString zeitraum;   // "1. Quartal 2026 (01.01.2026 – 31.03.2026)"
    QString gedruckt;   // the day of printing, short date
    QString currency = QStringLiteral("€");
};

// The pages of the two forms on the report engine; each returns the number of pages.
namespace TaxFormPages {

QString ustvaTitle(const UstvaResult& r);
QString euerTitle(const EuerResult& r);

int ustva(ReportCanvas& canvas, const UstvaResult& r, const TaxPageHeader& header, const PageParams& params);
// The form, then a side page per line listing its bookings (date, receipt, text, amount).
int euer(ReportCanvas& canvas, const EuerResult& r, const TaxBookingSource& bookings, const TaxPageHeader& header,
         const PageParams& params);

}  // namespace TaxFormPages

// "Zeile;Kennzahl;Bezeichnung;Betrag;Hinweis" in German notation, UTF-8 with byte order mark, CR LF line
// ends; "Hinweis" says where Kennzahl or line number still want checking against the official form.
namespace TaxCsv {
QString amount(double value);  // "1234,56", "-7,50"; whole euros "1234"
QByteArray ustva(const UstvaResult& r);
QByteArray euer(const EuerResult& r);
}  // namespace TaxCsv
