// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/output/TotalResultPages.h"

#include <array>

#include "reports/output/PageEngine.h"
#include "reports/output/ArrayWalk.h"
#include "reports/output/ReportFormat.h"

namespace {

using Cell = PageEngine::Cell;
using Row = std::array<Cell, 4>;

struct Sums {
    double brutto = 0;
    double mwst = 0;
    double netto = 0;
};

class TotalLayout {
public:
    TotalLayout(ReportCanvas& canvas, const ReportInputs& in, const PageParams& params)
        : e(canvas, params), in(in), data(*in.data) {}

    int run() {
        e.start(in.address, data.cap, in.filterNote);
        // Every heading stays on the page of its table's header and first line.
        const int keep = e.rowHeightOf(FontRole::ColumnHeader) + e.rowHeightOf(FontRole::Body);
        // The first heading follows the title directly: no leading space, no check before it.
        e.heading(QStringLiteral("Einnahmen"), false, false, keep);
        const Sums income = accountTable(data.ein, in.findEinnahmeKonto, QStringLiteral("Gesamteinnahmen"));
        e.heading(QStringLiteral("Mehrwertsteuer"), true, false, keep);
        rateTable(data.mwstsE, QStringLiteral("Summe MwSt. "));
        e.heading(QStringLiteral("Ausgaben"), true, true, keep);
        const Sums expenses = accountTable(data.aus, in.findAusgabeKonto, QStringLiteral("Gesamtausgaben"));
        e.heading(QStringLiteral("Vorsteuern"), true, false, keep);
        rateTable(data.mwstsA, QStringLiteral("Summe Vorsteuer "));
        e.heading(QStringLiteral("Gesamtergebnis"), true, true, keep);
        resultTable(income, expenses);
        return e.page();
    }

private:
    QString amount(double value) const { return ReportFormat::amount(value, in.currency); }

    // The label wraps when an account name would push the amounts past the right margin.
    Row amountRow(const QString& label, double brutto, double mwst, double netto) const {
        return {Cell{label, false, true}, Cell{amount(brutto), true}, Cell{amount(mwst), true},
                Cell{amount(netto), true}};
    }

    // Keeps the table inside the page: the label column gives up width (down to its header's), in the bold
    // font, whose wider gaps reach furthest right.
    void fitLabels(const Row& header) {
        const FontRole kept = e.font();
        e.setFont(FontRole::ColumnHeader);
        e.limitToMargin(0, 4, e.textWidth(header[0].text));
        e.setFont(kept);
    }

    // A row, then the cursor below all its lines and the page-break check.
    void rowAndAdvance(const Row& row) {
        const int lines = e.visible() ? e.row(row) : e.rowLines(row);
        e.moveCursor((lines - 1) * e.rowHeight());
        e.advance();
    }

    void measureRow(const Row& row) {
        for (int i = 0; i < 4; ++i) e.measure(i, row[std::size_t(i)].text);
    }

    static QString name(const std::function<QString(int)>& lookup, int konto) {
        return lookup ? lookup(konto) : QStringLiteral("Konto ") + QString::number(konto);
    }

    Sums accountTable(TKontoArray* records, const std::function<QString(int)>& lookup, const QString& totalLabel) {
        e.setFont(FontRole::Body);
        e.clearWidths();
        Sums sums;
        forEachRecord(records, data.akonto, [&](const TKontoRec& r) {
            measureRow(amountRow(name(lookup, r.konto), r.brutto, r.mwst, r.netto));
            sums.brutto += r.brutto;
            sums.mwst += r.mwst;
            sums.netto += r.netto;
        });
        e.setFont(FontRole::ColumnHeader);
        const Row total = amountRow(totalLabel, sums.brutto, sums.mwst, sums.netto);
        measureRow(total);
        measureRow(accountHeader);
        fitLabels(accountHeader);
        e.row(accountHeader);
        e.advance();
        e.setFont(FontRole::Body);
        forEachRecord(records, data.akonto,
                      [&](const TKontoRec& r) { rowAndAdvance(amountRow(name(lookup, r.konto), r.brutto, r.mwst, r.netto)); });
        e.setFont(FontRole::ColumnHeader);
        rowAndAdvance(total);
        return sums;
    }

    void rateTable(TMwstArray* rates, const QString& labelText) {
        e.setFont(FontRole::Body);
        e.clearWidths();
        auto rowOf = [&](const TMwstRec& r) {
            return amountRow(labelText + ReportFormat::rateLabel(r.mwstsatz), r.brutto, r.mwst, r.netto);
        };
        forEachRecord(rates, data.amwst, [&](const TMwstRec& r) { measureRow(rowOf(r)); });
        e.setFont(FontRole::ColumnHeader);
        measureRow(rateHeader);
        e.row(rateHeader);
        e.advance();
        e.setFont(FontRole::Body);
        forEachRecord(rates, data.amwst, [&](const TMwstRec& r) {
            if (e.visible()) e.row(rowOf(r));
            e.advance();
        });
    }

    void resultTable(const Sums& income, const Sums& expenses) {
        e.setFont(FontRole::Body);
        e.clearWidths();
        const Sums result{income.brutto - expenses.brutto, income.mwst - expenses.mwst, income.netto - expenses.netto};
        const Row incomeRow = amountRow(QStringLiteral("Gesamteinnahmen"), income.brutto, income.mwst, income.netto);
        const Row expenseRow =
            amountRow(QStringLiteral("Gesamtausgaben"), expenses.brutto, expenses.mwst, expenses.netto);
        const Row resultRow = amountRow(QStringLiteral("Gesamtergebnis"), result.brutto, result.mwst, result.netto);
        measureRow(expenseRow);
        measureRow(incomeRow);
        e.setFont(FontRole::ColumnHeader);
        measureRow(resultRow);
        measureRow(rateHeader);
        e.row(rateHeader);
        e.advance();
        e.setFont(FontRole::Body);
        e.row(incomeRow);
        e.advance();
        e.row(expenseRow);
        e.advance();
        e.setFont(FontRole::ColumnHeader);
        e.row(resultRow);
        e.advance();
    }

    PageEngine e;
    const ReportInputs& in;
    ReportData& data;
    const Row accountHeader{Cell{QStringLiteral("Konto")}, Cell{QStringLiteral("Brutto"), true},
                            Cell{QStringLiteral("MwSt."), true}, Cell{QStringLiteral("Netto"), true}};
    const Row rateHeader{Cell{QStringLiteral("Bezeichnung")}, Cell{QStringLiteral("Brutto"), true},
                         Cell{QStringLiteral("MwSt."), true}, Cell{QStringLiteral("Netto"), true}};
};

}  // namespace

int TotalResultPages::outputit(ReportCanvas& canvas, const ReportInputs& in, const PageParams& params) {
    if (!in.data) return 0;
    return TotalLayout(canvas, in, params).run();
}
