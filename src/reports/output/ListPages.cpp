#include "reports/output/ListPages.h"

#include <QLocale>
#include <array>

#include "reports/output/MeasureCache.h"
#include "reports/output/PageEngine.h"
#include "reports/output/ArrayWalk.h"
#include "reports/output/ReportFormat.h"

namespace {

using Cell = PageEngine::Cell;

struct Variant {
    bool expenses = false;  // records from aus, not ein
    QString heading;
    QString vatHeading;
    QString rateLabel;
    bool openingBalance = false;  // the list can carry an opening balance
};

struct Sums {
    double brutto = 0;
    double mwst = 0;
    double netto = 0;
    void add(double b, double m, double n) {
        brutto += b;
        mwst += m;
        netto += n;
    }
};

QStringView utf16(const char16_t* text) {
    return text ? QStringView(text) : QStringView();
}

QString konto(int nr) {
    return QString::number(nr);
}

// A line of the shape "label, -, -, gross, -, VAT, net, -".
std::array<Cell, 8> summaryLine(const QString& label, const Sums& sums, const QString& currency) {
    return {Cell{label},
            Cell{},
            Cell{},
            Cell{ReportFormat::amount(sums.brutto, currency), true},
            Cell{},
            Cell{ReportFormat::amount(sums.mwst, currency), true},
            Cell{ReportFormat::amount(sums.netto, currency), true},
            Cell{}};
}

class ListLayout {
public:
    ListLayout(ReportCanvas& canvas, const ReportInputs& in, const PageParams& params, const Variant& variant)
        : e(canvas, params), in(in), data(*in.data), v(variant), rates(&amwst) {}

    int run() {
        e.start(in.address, data.cap);
        // 1. Section heading: a check before it, no leading space.
        e.heading(v.heading, false, true);
        measureBookings();
        drawHeader();
        drawBookings();
        drawSum();
        drawVatTable();
        return e.page();
    }

private:
    TKontoArray* records() const { return v.expenses ? data.aus : data.ein; }
    bool opening() const { return v.openingBalance && data.anfangsbestand; }
    Sums openingSums() const {
        return opening() ? Sums{data.Aeinnahmen, data.Aeinnahmenmwst, data.Aeinnahmennetto} : Sums{};
    }
    QString amount(double value) const { return ReportFormat::amount(value, in.currency); }

    MeasureCache::Key cacheKey() const {
        const QLocale locale;
        return MeasureCache::Key{&data,
                                 records(),
                                 records() ? records()->Count() : 0u,
                                 data.modus,
                                 e.params().resolution,
                                 in.currency,
                                 locale.name() + locale.decimalPoint()};
    }

    void measureBookings() {
        if (in.cache) {
            const MeasureCache::Key key = cacheKey();
            if (const auto measured = in.cache->find(key)) {
                e.clearWidths();
                for (int i = 0; i < 8; ++i) e.setColumnWidth(i, measured->widths[std::size_t(i)]);
                listSums = Sums{measured->brutto, measured->mwst, measured->netto};
                e.setFont(FontRole::ColumnHeader);
                return;
            }
            measureAll();
            MeasureCache::Measured measured{{}, listSums.brutto, listSums.mwst, listSums.netto};
            for (int i = 0; i < 8; ++i) measured.widths[std::size_t(i)] = e.columnWidth(i);
            in.cache->store(key, measured);
            return;
        }
        measureAll();
    }

    void measureAll() {
        e.setFont(FontRole::Body);
        e.clearWidths();
        listSums = {};
        forEachRecord(records(), data.akonto, [&](const TKontoRec& r) {
            e.measure(0, dates.text(r.datum));
            e.measure(1, utf16(r.beleg));
            e.measure(2, konto(r.konto));
            e.measure(3, amount(r.brutto));
            e.measure(4, ReportFormat::rateColumn(r.mwstsatz));
            e.measure(5, amount(r.mwst));
            e.measure(6, amount(r.netto));
            e.measure(7, utf16(r.text));
            listSums.add(r.brutto, r.mwst, r.netto);
        });
        e.setFont(FontRole::ColumnHeader);
        // The sum line is measured with the list sums alone, without an opening balance.
        const auto sum = summaryLine(QStringLiteral("Summe"), listSums, in.currency);
        for (int i = 0; i < 8; ++i) e.measure(i, sum[std::size_t(i)].text);
        for (int i = 0; i < 8; ++i) e.measure(i, header[std::size_t(i)].text);
    }

    void drawHeader() {
        e.row(header);
        e.advance();
        if (opening()) {
            e.setFont(FontRole::ColumnHeader);
            e.row(summaryLine(QStringLiteral("Anfangsbestand"), openingSums(), in.currency));
            e.advance();
        }
    }

    void drawBookings() {
        e.setFont(FontRole::Body);
        Sums running;
        const Sums carried = openingSums();
        forEachRecord(records(), data.akonto, [&](const TKontoRec& r) {
            running.add(r.brutto, r.mwst, r.netto);
            if (e.visible()) {
                const std::array<Cell, 8> cells{Cell{dates.text(r.datum)},
                                                Cell{utf16(r.beleg).toString()},
                                                Cell{konto(r.konto)},
                                                Cell{amount(r.brutto), true},
                                                Cell{ReportFormat::rateColumn(r.mwstsatz), true},
                                                Cell{amount(r.mwst), true},
                                                Cell{amount(r.netto), true},
                                                Cell{utf16(r.text).toString()}};
                e.row(cells);
            }
            addToRate(r);
            e.moveCursor(e.rowHeight());
            // Look-ahead: when one more body line would end below the limit, the carry goes to the foot
            // of this page and again to the head of the next.
            if (e.cursor() + e.rowHeight() > e.bottomLimit()) {
                e.setFont(FontRole::ColumnHeader);
                const Sums carry{running.brutto + carried.brutto, running.mwst + carried.mwst,
                                 running.netto + carried.netto};
                const bool wasVisible = e.visible();
                if (wasVisible) e.row(summaryLine(QStringLiteral("Zwischensumme"), carry, in.currency));
                e.pageBreak();
                if (e.visible()) e.row(summaryLine(QStringLiteral("Zwischensumme"), carry, in.currency));
                e.moveCursor(e.rowHeight());
                e.setFont(FontRole::Body);
            }
        });
    }

    void addToRate(const TKontoRec& r) {
        rates.First();
        while (rates.WhileNext()) {
            if (amwst->mwstsatz == r.mwstsatz) {
                amwst->brutto += r.brutto;
                amwst->mwst += r.mwst;
                amwst->netto += r.netto;
                return;
            }
        }
        TMwstRec* added = rates.Add();
        *added = TMwstRec{r.mwstsatz, r.brutto, r.mwst, r.netto};
    }

    void drawSum() {
        sortByRate(rates);
        e.setFont(FontRole::ColumnHeader);
        const Sums opened = openingSums();
        Sums total = listSums;
        total.add(opened.brutto, opened.mwst, opened.netto);
        e.row(summaryLine(QStringLiteral("Summe"), total, in.currency));
        e.advance();
    }

    void drawVatTable() {
        e.heading(v.vatHeading, true, false);
        e.setFont(FontRole::Body);
        e.clearWidths();
        forEachRecord(&rates, &amwst, [&](const TMwstRec& r) {
            e.measure(0, v.rateLabel + ReportFormat::rateLabel(r.mwstsatz));
            e.measure(1, amount(r.brutto));
            e.measure(2, amount(r.mwst));
            e.measure(3, amount(r.netto));
        });
        e.setFont(FontRole::ColumnHeader);
        for (int i = 0; i < 4; ++i) e.measure(i, vatHeader[std::size_t(i)].text);
        e.row(vatHeader);
        e.advance();
        e.setFont(FontRole::Body);
        forEachRecord(&rates, &amwst, [&](const TMwstRec& r) {
            if (e.visible()) {
                const std::array<Cell, 4> cells{Cell{v.rateLabel + ReportFormat::rateLabel(r.mwstsatz)},
                                                Cell{amount(r.brutto), true}, Cell{amount(r.mwst), true},
                                                Cell{amount(r.netto), true}};
                e.row(cells);
            }
            e.advance();
        });
    }

    PageEngine e;
    const ReportInputs& in;
    ReportData& data;
    const Variant& v;
    TMwstRec* amwst = nullptr;  // cursor variable of the rate totals
    TMwstArray rates;
    Sums listSums;
    DateTexts dates;
    const std::array<Cell, 8> header{Cell{QStringLiteral("Datum")},         Cell{QStringLiteral("Beleg")},
                                     Cell{QStringLiteral("Konto")},         Cell{QStringLiteral("Brutto"), true},
                                     Cell{QStringLiteral("MwSt. %"), true}, Cell{QStringLiteral("MwSt."), true},
                                     Cell{QStringLiteral("Netto"), true},   Cell{QStringLiteral("Buchungstext")}};
    const std::array<Cell, 4> vatHeader{Cell{QStringLiteral("Bezeichnung")}, Cell{QStringLiteral("Brutto"), true},
                                        Cell{QStringLiteral("MwSt."), true}, Cell{QStringLiteral("Netto"), true}};
};

int runList(ReportCanvas& canvas, const ReportInputs& in, const PageParams& params, const Variant& variant) {
    if (!in.data) return 0;
    return ListLayout(canvas, in, params, variant).run();
}

const QString kMwst = QStringLiteral("Mehrwertsteuer");
const QString kSummeMwst = QStringLiteral("Summe MwSt. ");

}  // namespace

int ListPages::outputit2(ReportCanvas& canvas, const ReportInputs& in, const PageParams& params) {
    static const Variant v{true, QStringLiteral("Ausgaben"), QStringLiteral("Vorsteuern"),
                           QStringLiteral("Summe Vorsteuer "), false};
    return runList(canvas, in, params, v);
}

int ListPages::outputit3(ReportCanvas& canvas, const ReportInputs& in, const PageParams& params) {
    static const Variant v{false, QStringLiteral("Einnahmen"), kMwst, kSummeMwst, false};
    return runList(canvas, in, params, v);
}

int ListPages::outputit4(ReportCanvas& canvas, const ReportInputs& in, const PageParams& params) {
    static const Variant v{false, QStringLiteral("Buchungen Sammelkonto"), kMwst, kSummeMwst, true};
    return runList(canvas, in, params, v);
}

int ListPages::outputit5(ReportCanvas& canvas, const ReportInputs& in, const PageParams& params) {
    static const Variant v{false, QStringLiteral("Buchungen Kostenstelle"), kMwst, kSummeMwst, true};
    return runList(canvas, in, params, v);
}

int ListPages::outputit6(ReportCanvas& canvas, const ReportInputs& in, const PageParams& params) {
    static const Variant v{false, QStringLiteral("Alle Buchungen"), kMwst, kSummeMwst, true};
    return runList(canvas, in, params, v);
}
