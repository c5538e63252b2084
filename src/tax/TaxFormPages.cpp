// SPDX-License-Identifier: GPL-3.0-or-later
#include "tax/TaxFormPages.h"

#include <array>
#include <cmath>

#include "journal/Booking.h"
#include "reports/output/PageEngine.h"
#include "reports/output/ReportFormat.h"
#include "tax/TaxBookings.h"

namespace {

using Cell = PageEngine::Cell;

const QString filterNote = QStringLiteral(
    "Gezählt werden alle Buchungen mit Datum im Zeitraum (Ist-Versteuerung); der Textfilter des Journals gilt für "
    "dieses Formular nicht.");

// Splits a text into pieces no wider than `width` at blanks (a single word wider stays whole).
QStringList wrap(ReportCanvas& canvas, const QString& text, int width) {
    QStringList lines;
    QString current;
    for (const QString& word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QString candidate = current.isEmpty() ? word : current + QLatin1Char(' ') + word;
        if (!current.isEmpty() && canvas.textWidth(candidate) > width) {
            lines << current;
            current = word;
        } else {
            current = candidate;
        }
    }
    if (!current.isEmpty() || lines.isEmpty()) lines << current;
    return lines;
}

class FormLayout {
public:
    FormLayout(ReportCanvas& canvas, const TaxPageHeader& header, const PageParams& params)
        : e(canvas, params), c(canvas), h(header) {}

    void start(const QString& title, const QString& fallback, bool incomplete, const QStringList& problems) {
        QStringList address = h.address;
        if (!h.steuernummer.isEmpty()) address << QStringLiteral("Steuernummer: ") + h.steuernummer;
        e.start(address, title);
        e.setFont(FontRole::Body);
        text(QStringLiteral("Zeitraum: ") + h.zeitraum);
        text(QStringLiteral("Gedruckt am ") + h.gedruckt);
        if (!fallback.isEmpty()) text(fallback);
        if (incomplete) {
            e.heading(QStringLiteral("Unvollständig: nicht alle Buchungen sind zugeordnet (Liste unten)."), true, true);
            e.setFont(FontRole::Body);
        }
        for (const QString& p : problems) text(p);
    }

    // A paragraph in the body font, wrapped to the page.
    void text(const QString& t) {
        e.setFont(FontRole::Body);
        for (const QString& line : wrap(c, t, e.params().pageWidth - 2 * e.margin())) {
            e.emitText(e.margin(), e.cursor(), line);
            e.advance();
        }
    }

    // Rows of (Kz, label, amount columns...): the label column is wrapped at `labelWidth`.
    template <std::size_t N>
    void formRow(const std::array<Cell, N>& cells, int labelColumn, bool strong = false) {
        e.setFont(strong ? FontRole::ColumnHeader : FontRole::Body);
        const QStringList parts = wrap(c, cells[std::size_t(labelColumn)].text, e.columnWidth(labelColumn));
        std::array<Cell, N> first = cells;
        first[std::size_t(labelColumn)].text = parts.first();
        if (e.visible()) e.row(first);
        e.advance();
        for (int i = 1; i < parts.size(); ++i) {
            std::array<Cell, N> more{};
            more[std::size_t(labelColumn)].text = parts[i];
            if (e.visible()) e.row(more);
            e.advance();
        }
    }

    QString money(double v) const { return ReportFormat::amount(v, h.currency); }
    QString euros(double v) const { return TaxCsv::amount(v) + QStringLiteral(" ") + h.currency; }

    void listed(const std::vector<TaxListedBooking>& bookings) {
        if (bookings.empty()) return;
        e.heading(QStringLiteral("Nicht zugeordnete Buchungen"), true, true);
        e.setFont(FontRole::Body);
        e.clearWidths();
        const std::array<Cell, 5> header{Cell{QStringLiteral("Datum")}, Cell{QStringLiteral("Beleg")},
                                         Cell{QStringLiteral("Betrag"), true}, Cell{QStringLiteral("MwSt.")},
                                         Cell{QStringLiteral("Text / Grund")}};
        for (int i = 0; i < 4; ++i) e.measure(i, header[std::size_t(i)].text);
        // A long list is measured on its first rows and on its largest amount; measuring every row of a
        // year that has no assignment at all would cost more than the whole walk.
        double largest = 0;
        std::size_t measured = 0;
        for (const TaxListedBooking& b : bookings) {
            largest = std::max(largest, std::fabs(b.brutto));
            if (++measured > 500) continue;
            e.measure(0, ReportFormat::date(b.datum));
            e.measure(1, b.beleg);
            e.measure(3, ReportFormat::rateLabel(b.rate));
        }
        e.measure(2, money(-largest));
        e.measure(1, QString(12, QLatin1Char('0')));
        e.setFont(FontRole::ColumnHeader);
        e.row(header);
        e.advance();
        e.setFont(FontRole::Body);
        for (const TaxListedBooking& b : bookings) {
            if (e.visible())
                e.row(std::array<Cell, 5>{Cell{ReportFormat::date(b.datum)}, Cell{b.beleg}, Cell{money(b.brutto), true},
                                          Cell{ReportFormat::rateLabel(b.rate)},
                                          Cell{b.text + QStringLiteral(" – ") + b.reason}});
            e.advance();
        }
    }

    PageEngine e;
    ReportCanvas& c;
    const TaxPageHeader& h;
};

}  // namespace

namespace TaxFormPages {

QString ustvaTitle(const UstvaResult& r) {
    return r.form.title;
}

QString euerTitle(const EuerResult& r) {
    return QStringLiteral("%1 – Gewinnermittlung %2").arg(r.form.title, QString::number(r.year));
}

int ustva(ReportCanvas& canvas, const UstvaResult& r, const TaxPageHeader& header, const PageParams& params) {
    FormLayout l(canvas, header, params);
    l.start(ustvaTitle(r), r.form.fallbackNote(), r.incomplete(), r.problems);
    l.text(filterNote);
    PageEngine& e = l.e;
    e.heading(QStringLiteral("Anmeldung der Umsatzsteuer-Vorauszahlung"), true, true);

    // Columns: line number, Kz, label, base, Kz of the tax, tax.
    e.setFont(FontRole::Body);
    e.clearWidths();
    const std::array<Cell, 6> head{Cell{QStringLiteral("Zeile")}, Cell{QStringLiteral("Kz")},
                                   Cell{QStringLiteral("Bezeichnung")}, Cell{QStringLiteral("Bemessungsgrundlage"), true},
                                   Cell{QStringLiteral("Kz")}, Cell{QStringLiteral("Steuer"), true}};
    for (int i = 0; i < 6; ++i) e.measure(i, head[std::size_t(i)].text);
    std::vector<std::pair<std::array<Cell, 6>, bool>> rows;  // the row, and whether it is the result
    for (const UstvaLineValue& v : r.lines) {
        std::array<Cell, 6> row{Cell{v.line.zeileCell()}, Cell{v.line.kzCell()}, Cell{v.line.label},
                                Cell{v.hasBase ? l.euros(v.base) : QString(), true},
                                Cell{v.line.kzTax}, Cell{v.hasTax ? l.money(v.tax) : QString(), true}};
        if (!v.hasBase) std::swap(row[4], row[1]);  // a tax-only line carries its Kz beside the tax
        rows.emplace_back(row, v.line.rule == QLatin1String("result"));
        for (int i : {0, 1, 3, 4, 5}) e.measure(i, row[std::size_t(i)].text);
    }
    int fixed = 0;
    for (int i : {0, 1, 3, 4, 5}) fixed += e.columnWidth(i);
    const int labelWidth = std::max(canvas.textWidth(QStringLiteral("Bezeichnung")),
                                    e.params().pageWidth - 2 * e.margin() - fixed - 6 * canvas.textWidth(QStringLiteral("   ")));
    e.setColumnWidth(2, labelWidth);
    e.setFont(FontRole::ColumnHeader);
    e.row(head);
    e.advance();
    for (const auto& [row, result] : rows) l.formRow(row, 2, result);
    if (const QString note = r.form.pruefenNote(); !note.isEmpty()) l.text(note);

    e.heading(QStringLiteral("Abgleich mit der gebuchten Umsatzsteuer"), true, true);
    e.setFont(FontRole::Body);
    e.clearWidths();
    const double difference = Booking::roundToCent(r.steuerFormular - r.steuerGebucht);
    const std::array<std::array<Cell, 2>, 3> check{{
        {Cell{QStringLiteral("Umsatzsteuer nach dem Formular (aus den Bemessungsgrundlagen)")}, Cell{l.money(r.steuerFormular), true}},
        {Cell{QStringLiteral("Summe der gebuchten Umsatzsteuer")}, Cell{l.money(r.steuerGebucht), true}},
        {Cell{QStringLiteral("Rundungsdifferenz des Formulars")}, Cell{l.money(difference), true}},
    }};
    for (const auto& row : check)
        for (int i = 0; i < 2; ++i) e.measure(i, row[std::size_t(i)].text);
    for (const auto& row : check) {
        if (e.visible()) e.row(row);
        e.advance();
    }
    l.listed(r.unassigned);
    return e.page();
}

int euer(ReportCanvas& canvas, const EuerResult& r, const TaxBookingSource& bookings, const TaxPageHeader& header,
         const PageParams& params) {
    FormLayout l(canvas, header, params);
    l.start(euerTitle(r), r.form.fallbackNote(), r.incomplete(), r.problems);
    l.text(QStringLiteral("Gezählt werden alle Einnahmen und Ausgaben mit Datum im Jahr (Zufluss und Abfluss); der "
                          "Textfilter des Journals gilt für dieses Formular nicht."));
    PageEngine& e = l.e;
    QString section;
    e.setFont(FontRole::Body);
    e.clearWidths();
    e.measure(0, QStringLiteral("Zeile"));
    e.measure(1, QStringLiteral("Kz"));
    e.measure(3, QStringLiteral("Betrag"));
    for (const EuerLineValue& v : r.lines) {
        e.measure(0, v.line.zeileCell());
        e.measure(1, v.line.kzCell());
        e.measure(3, l.money(v.sum));
    }
    const int labelWidth = e.params().pageWidth - 2 * e.margin() - e.columnWidth(0) - e.columnWidth(1) -
                           e.columnWidth(3) - 5 * canvas.textWidth(QStringLiteral("   "));
    e.setColumnWidth(2, labelWidth);
    for (const EuerLineValue& v : r.lines) {
        if (v.line.section != section) {
            section = v.line.section;
            e.heading(section, true, true);
            e.setFont(FontRole::Body);
        }
        const bool total = v.line.kind.endsWith(QLatin1String("Total")) || v.line.kind == u"profit";
        l.formRow(std::array<Cell, 4>{Cell{v.line.zeileCell()}, Cell{v.line.kzCell()}, Cell{v.line.label},
                                      Cell{l.money(v.sum), true}},
                  2, total);
    }
    if (const QString note = r.form.pruefenNote(); !note.isEmpty()) l.text(note);
    l.listed(r.unassigned);

    // Side pages: the bookings behind every line.
    DateTexts dates;
    for (const EuerLineValue& v : r.lines) {
        if (v.entries.empty()) continue;
        e.pageBreak();
        e.heading(QStringLiteral("Buchungen zu %1 %2").arg(v.line.kzText(), v.line.label), false, false);
        e.setFont(FontRole::Body);
        e.clearWidths();
        // Fixed column widths: measuring every row of a large year would cost more than the whole walk.
        e.measure(0, QStringLiteral("Datum"));
        e.measure(0, ReportFormat::date(bookings.datum(v.entries.front().record)));
        e.measure(0, QStringLiteral("30.12.2026"));
        e.measure(1, QStringLiteral("Beleg"));
        e.measure(1, QString(12, QLatin1Char('0')));
        double largest = 0;
        for (const EuerEntry& en : v.entries) largest = std::max(largest, std::fabs(en.amount));
        e.measure(2, QStringLiteral("Betrag"));
        e.measure(2, l.money(-largest));
        e.setFont(FontRole::ColumnHeader);
        const std::array<Cell, 4> head{Cell{QStringLiteral("Datum")}, Cell{QStringLiteral("Beleg")},
                                       Cell{QStringLiteral("Betrag"), true}, Cell{QStringLiteral("Text")}};
        e.row(head);
        e.advance();
        e.setFont(FontRole::Body);
        for (const EuerEntry& en : v.entries) {
            if (e.visible())
                e.row(std::array<Cell, 4>{Cell{dates.text(bookings.datum(en.record))}, Cell{bookings.beleg(en.record)},
                                          Cell{l.money(en.amount), true}, Cell{bookings.text(en.record)}});
            e.advance();
        }
        e.setFont(FontRole::ColumnHeader);
        if (e.visible())
            e.row(std::array<Cell, 4>{Cell{QStringLiteral("Summe")}, Cell{}, Cell{l.money(v.sum), true}, Cell{}});
        e.advance();
    }
    return e.page();
}

}  // namespace TaxFormPages

namespace TaxCsv {

QString amount(double value) {
    const double v = Booking::roundToCent(value);
    QString s = QString::number(v, 'f', 2);
    if (s.endsWith(QLatin1String(".00")) && v == std::trunc(v)) s.chop(3);
    if (s == QLatin1String("-0")) s = QStringLiteral("0");
    return s.replace(QLatin1Char('.'), QLatin1Char(','));
}

namespace {

QString field(const QString& s) {
    if (!s.contains(QLatin1Char(';')) && !s.contains(QLatin1Char('"')) && !s.contains(QLatin1Char('\n'))) return s;
    QString quoted = s;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString money(double v) {
    // Taxes always with cents.
    const double c = Booking::roundToCent(v);
    return QString::number(c, 'f', 2).replace(QLatin1Char('.'), QLatin1Char(','));
}

QByteArray finish(const QStringList& rows) {
    QString text = QStringLiteral("Zeile;Kennzahl;Bezeichnung;Betrag;Hinweis\r\n");
    for (const QString& r : rows) text += r + QStringLiteral("\r\n");
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}

// One row; `line` gives the line number and the note on what still wants checking.
QString row(const TaxFormLine* line, const QString& kz, const QString& label, const QString& amount) {
    return field(line ? line->zeile : QString()) + QLatin1Char(';') + field(kz) + QLatin1Char(';') + field(label) +
           QLatin1Char(';') + amount + QLatin1Char(';') + field(line ? line->pruefen : QString());
}

}  // namespace

QByteArray ustva(const UstvaResult& r) {
    QStringList rows;
    for (const UstvaLineValue& v : r.lines) {
        if (v.hasBase) rows << row(&v.line, v.line.kz, v.line.label, amount(v.base));
        if (v.hasTax)
            rows << row(&v.line, v.hasBase ? v.line.kzTax : v.line.kz,
                        v.hasBase ? QStringLiteral("Steuer zu ") + v.line.label : v.line.label, money(v.tax));
    }
    rows << row(nullptr, QString(), QStringLiteral("Summe der gebuchten Umsatzsteuer"), money(r.steuerGebucht));
    return finish(rows);
}

QByteArray euer(const EuerResult& r) {
    QStringList rows;
    for (const EuerLineValue& v : r.lines) rows << row(&v.line, v.line.kz, v.line.label, money(v.sum));
    return finish(rows);
}

}  // namespace TaxCsv
