// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/output/ListPages.h"

#include <QLocale>
#include <array>
#include <functional>

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

// Walks the booking records by position, without their cursor, so that a page count on another thread
// can walk them at the same time. The texts of a record further on are already asked into the cache: they
// lie in the order the build made them, which is not the list's order when the journal was sorted, and a
// walk that waits for each of them in turn takes half as long again.
template <typename Visit>
void forEachBooking(const TKontoArray* array, Visit&& visit) {
    if (!array) return;
    constexpr std::uint32_t kAhead = 12;
    const std::uint32_t count = array->Count();
    for (std::uint32_t i = 0; i < count; ++i) {
        if (i + kAhead < count) {
            const TKontoRec& ahead = array->at(i + kAhead);
            __builtin_prefetch(ahead.beleg);
            __builtin_prefetch(ahead.text);
        }
        visit(array->at(i));
    }
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

// The lowest and highest of a series of values.
struct Range {
    double low = 0;
    double high = 0;
    bool any = false;
    void add(double value) {
        if (!any || value < low) low = value;
        if (!any || value > high) high = value;
        any = true;
    }
};

class ListLayout {
public:
    ListLayout(ReportCanvas& canvas, const ReportInputs& in, const PageParams& params, const Variant& variant)
        : e(canvas, params), in(in), data(*in.data), v(variant), rates(&amwst) {}

    int run() {
        e.start(in.address, data.cap, in.filterNote);
        measureBookings();
        fitTextColumn();
        // 1. Section heading: a check before it, no leading space; it stays with the table's first lines.
        e.heading(v.heading, false, true, firstLinesHeight());
        e.setFont(FontRole::ColumnHeader);
        drawHeader();
        drawBookings();
        drawSum();
        drawVatTable();
        return e.page();
    }

private:
    TKontoArray* records() const { return v.expenses ? data.aus : data.ein; }
    std::uint32_t count() const { return records() ? records()->Count() : 0u; }
    bool opening() const { return v.openingBalance && data.anfangsbestand; }
    Sums openingSums() const {
        return opening() ? Sums{data.Aeinnahmen, data.Aeinnahmenmwst, data.Aeinnahmennetto} : Sums{};
    }
    QString amount(double value) const { return ReportFormat::amount(value, in.currency); }

    MeasureCache::Key cacheKey() const {
        const QLocale locale;
        const Sums o = openingSums();
        return MeasureCache::Key{&data,     records(), count(), data.modus, e.params().resolution, opening(),
                                 o.brutto,  o.mwst,    o.netto, in.currency, locale.name() + locale.decimalPoint()};
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

    // The text with every digit replaced by the widest digit of the current font: no number with as many
    // digits is wider. Amounts, rates and account numbers are measured by their widest values this way
    // instead of one by one.
    QString widest(QString text) {
        QChar digit = QLatin1Char('0');
        int best = -1;
        for (char16_t c = u'0'; c <= u'9'; ++c) {
            const int w = e.textWidth(QStringView(&c, 1));
            if (w > best) {
                best = w;
                digit = QChar(c);
            }
        }
        for (QChar& c : text)
            if (c.isDigit()) c = digit;
        return text;
    }

    void measureRange(int column, const Range& range, const std::function<QString(double)>& form) {
        if (!range.any) return;
        e.measure(column, widest(form(range.low)));
        e.measure(column, widest(form(range.high)));
    }

    // Widths from every line of the table: the booking rows (dates once per day, each receipt number,
    // amounts, rates and accounts by their extremes), the opening balance, every possible carry of a
    // subtotal, the sum line with the opening balance, and the header. The text column is not measured:
    // it reaches to the right margin.
    void measureAll() {
        e.setFont(FontRole::Body);
        e.clearWidths();
        listSums = {};
        const Sums o = openingSums();
        Range brutto, mwst, netto, rate, kontos, carryBrutto, carryMwst, carryNetto;
        qint64 lastDay = 0;
        bool first = true;
        forEachBooking(records(), [&](const TKontoRec& r) {
            const auto day = static_cast<qint64>(r.datum);
            if (first || day != lastDay) e.measure(0, dates.text(r.datum));
            first = false;
            lastDay = day;
            e.measure(1, utf16(r.beleg));
            kontos.add(r.konto);
            brutto.add(r.brutto);
            rate.add(r.mwstsatz);
            mwst.add(r.mwst);
            netto.add(r.netto);
            listSums.add(r.brutto, r.mwst, r.netto);
            carryBrutto.add(listSums.brutto + o.brutto);
            carryMwst.add(listSums.mwst + o.mwst);
            carryNetto.add(listSums.netto + o.netto);
        });
        const auto money = [this](double value) { return amount(value); };
        measureRange(2, kontos, [](double nr) { return konto(int(nr)); });
        measureRange(3, brutto, money);
        measureRange(4, rate, [](double r) { return ReportFormat::rateColumn(r); });
        measureRange(5, mwst, money);
        measureRange(6, netto, money);
        e.setFont(FontRole::ColumnHeader);
        Sums total = listSums;
        total.add(o.brutto, o.mwst, o.netto);
        const auto sum = summaryLine(QStringLiteral("Summe"), total, in.currency);
        for (int i = 0; i < 7; ++i) e.measure(i, sum[std::size_t(i)].text);
        if (opening()) {
            const auto line = summaryLine(QString(), o, in.currency);
            for (int i = 1; i < 7; ++i) e.measure(i, line[std::size_t(i)].text);
        }
        measureRange(3, carryBrutto, money);
        measureRange(5, carryMwst, money);
        measureRange(6, carryNetto, money);
        for (int i = 0; i < 7; ++i) e.measure(i, header[std::size_t(i)].text);
    }

    // The text column ends at the right margin. When the other columns leave it less room than its
    // header needs (subtotals in the hundreds of millions), the gaps between the columns shrink from three
    // blanks to two or one; when that is not enough, the receipt column gives up width and its numbers
    // wrap too, and at last the header wraps as well. Widths are taken in the bold font, whose wider gaps
    // place the columns furthest to the right.
    void fitTextColumn() {
        e.setFont(FontRole::ColumnHeader);
        int minimum = e.textWidth(header[7].text);
        const auto room = [&] { return e.rightLimit() - e.columnX(7); };
        for (int blanks = 3; blanks >= 1; --blanks) {
            e.setGapBlanks(blanks);
            if (room() >= minimum) break;
        }
        if (room() < minimum) {
            const int before = e.columnWidth(1);
            e.setColumnWidth(1, std::max(e.textWidth(header[1].text), before - (minimum - room())));
            belegWraps = e.columnWidth(1) < before;
        }
        if (room() < minimum) {
            header[7].wrap = true;
            minimum = e.textWidth(u"WWW");
        }
        e.fillToMargin(7, minimum);
    }

    // Lines of a booking row in the body font.
    int linesOf(const TKontoRec& r) {
        int lines = e.lineCount(utf16(r.text), e.columnWidth(7));
        if (belegWraps) lines = std::max(lines, e.lineCount(utf16(r.beleg), e.columnWidth(1)));
        return lines;
    }

    // What must follow the section heading on its page: the header row, the opening balance and the first
    // booking (or the sum line of an empty list).
    int firstLinesHeight() {
        const int bold = e.rowHeightOf(FontRole::ColumnHeader);
        int height = bold * (opening() ? 2 : 1) + (header[7].wrap ? bold : 0);
        if (count() == 0) return height + bold;
        const FontRole kept = e.font();
        e.setFont(FontRole::Body);
        height += linesOf(records()->at(0)) * e.rowHeight();
        e.setFont(kept);
        return height;
    }

    void drawHeader() {
        e.moveCursor((e.row(header) - 1) * e.rowHeight());
        e.advance();
        if (opening()) {
            e.setFont(FontRole::ColumnHeader);
            e.row(summaryLine(QStringLiteral("Anfangsbestand"), openingSums(), in.currency));
            e.advance();
        }
    }

    // The carry goes to the foot of this page and again to the head of the next.
    void carryOver(const Sums& carry) {
        e.setFont(FontRole::ColumnHeader);
        if (e.visible()) e.row(summaryLine(QStringLiteral("Zwischensumme"), carry, in.currency));
        e.pageBreak();
        if (e.visible()) e.row(summaryLine(QStringLiteral("Zwischensumme"), carry, in.currency));
        e.moveCursor(e.rowHeight());
        e.setFont(FontRole::Body);
    }

    void drawBookings() {
        e.setFont(FontRole::Body);
        Sums running;
        const Sums carried = openingSums();
        const auto carry = [&] {
            return Sums{running.brutto + carried.brutto, running.mwst + carried.mwst, running.netto + carried.netto};
        };
        bool drawn = false;
        // Line counts of an earlier run of the same report at the same widths, or counted now and kept.
        const MeasureCache::LinesKey linesKey{e.columnWidth(7), e.columnWidth(1), belegWraps};
        const MeasureCache::Key key = in.cache ? cacheKey() : MeasureCache::Key{};
        const std::vector<std::uint8_t>* known = in.cache ? in.cache->lines(key, linesKey) : nullptr;
        if (known && known->size() != count()) known = nullptr;
        std::vector<std::uint8_t> counted;
        if (in.cache && !known) counted.reserve(count());
        std::uint32_t index = 0;
        forEachBooking(records(), [&](const TKontoRec& r) {
            int lines = 0;
            if (known) {
                lines = (*known)[index];
            } else {
                lines = std::min(linesOf(r), 255);
                if (in.cache) counted.push_back(std::uint8_t(lines));
            }
            ++index;
            // Look-ahead: a booking that would end below the limit goes to the next page, behind the carry.
            if (drawn && e.cursor() + lines * e.rowHeight() > e.bottomLimit()) carryOver(carry());
            running.add(r.brutto, r.mwst, r.netto);
            if (e.visible()) {
                const std::array<Cell, 8> cells{Cell{dates.text(r.datum)},
                                                Cell{utf16(r.beleg).toString(), false, belegWraps},
                                                Cell{konto(r.konto)},
                                                Cell{amount(r.brutto), true},
                                                Cell{ReportFormat::rateColumn(r.mwstsatz), true},
                                                Cell{amount(r.mwst), true},
                                                Cell{amount(r.netto), true},
                                                Cell{utf16(r.text).toString(), false, true}};
                e.row(cells);
            }
            addToRate(r);
            e.moveCursor(lines * e.rowHeight());
            drawn = true;
        });
        // The same look-ahead for the sum line after the last booking.
        if (drawn && e.cursor() + e.rowHeight() > e.bottomLimit()) carryOver(carry());
        if (in.cache && !known && in.cache->find(key)) in.cache->storeLines(linesKey, std::move(counted));
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
        e.setGapBlanks(3);  // the booking table's narrow gaps, where it needed them, end with it
        const int keep = e.rowHeightOf(FontRole::ColumnHeader) + (rates.Count() > 0 ? e.rowHeightOf(FontRole::Body) : 0);
        e.heading(v.vatHeading, true, false, keep);
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
    bool belegWraps = false;
    DateTexts dates;
    std::array<Cell, 8> header{Cell{QStringLiteral("Datum")},         Cell{QStringLiteral("Beleg")},
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
