// SPDX-License-Identifier: GPL-3.0-or-later
// The journal's commands on a booking year of 100,000 bookings (posting and the period switch also at
// 1,000,000), through the real objects (table set, journal model, filter, running figures), without a
// window. Run by hand: build-*/bench/quorvel_bench_journal.
#include <benchmark/benchmark.h>

#include <QDate>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <memory>
#include <optional>

#include "journal/Booking.h"
#include "journal/DetachedView.h"
#include "journal/JournalFilter.h"
#include "journal/JournalModel.h"
#include "journal/JournalTotals.h"
#include "journal/Posting.h"
#include "journal/ReceiptProposal.h"
#include "journal/VatSummary.h"
#include "startup/TableSet.h"
#include "storage/DayNumber.h"

namespace {

constexpr int bookingCount = 100000;
constexpr int year = 2024;

// One data folder with a full year, built once per size; every benchmark opens its own table set on a copy.
class YearFixture {
public:
    static YearFixture& instance(int count = bookingCount) {
        static YearFixture fixture(bookingCount);
        if (count == bookingCount) return fixture;
        static YearFixture large(1000000);
        return large;
    }

    // A fresh folder holding a copy of the year.
    std::unique_ptr<QTemporaryDir> copy() const {
        auto dir = std::make_unique<QTemporaryDir>();
        const QDir source(m_dir.path());
        for (const QString& name : source.entryList(QDir::Files))
            QFile::copy(source.filePath(name), QDir(dir->path()).filePath(name));
        return dir;
    }

private:
    explicit YearFixture(int count) {
        TableSet set;
        set.setNames(1, year);
        set.InitDB(m_dir.path() + QLatin1Char('/'));
        DbfTable& b = set.Dbf1;
        QRandomGenerator rng(2024);
        const QStringList texts = {"Büromaterial", "Porto", "Verkauf Ware", "Honorar", "Reisekosten", "Telefon"};
        const double start = DayNumber::fromDate(QDate(year, 1, 1));
        for (int i = 0; i < count; ++i) {
            b.Insert();
            b.Fields(Booking::Datum).setAsDateTime(start + rng.bounded(366));
            b.Fields(Booking::Art).setAsString(QString(QLatin1Char("EANS"[i % 7 == 0 ? 2 + i % 2 : i % 2])));
            b.Fields(Booking::Beleg).setAsString(i % 50 == 0 ? QStringLiteral("R-%1").arg(i) : QString::number(i + 1));
            // 1 % of the bookings are rent, the benchmark's filter text.
            b.Fields(Booking::Text)
                .setAsString(i % 100 == 0 ? QStringLiteral("Miete Büro %1").arg(i)
                                          : texts[int(rng.bounded(texts.size()))]);
            b.Fields(Booking::Brutto).setAsFloat(rng.bounded(10000000) / 100.0);
            b.Fields(Booking::MwSt).setAsFloat(i % 3 == 0 ? 7 : 19);
            b.Fields(Booking::Konto).setAsInteger(i % 100 == 50 ? 9999 : 100 + int(rng.bounded(800)));
            b.Fields(Booking::Sammelkonto).setAsInteger(0);
            b.Fields(Booking::Kostenstelle).setAsInteger(int(rng.bounded(5)));
            b.Post();
        }
        set.postAll();
        set.closeAll();
    }

    QTemporaryDir m_dir;
};

// An open year as the main window holds it: table set, journal model bound, filter attached.
struct OpenYear {
    explicit OpenYear(const QString& folder) {
        set.setNames(1, year);
        set.InitDB(folder + QLatin1Char('/'));
        filter.startUp(set.Dbf1, false, CalcZeitraum(PeriodItem::GanzesJahr, year));
        model.bind(&set.Dbf1);
    }
    ~OpenYear() {
        model.unbind();
        set.closeAll();
    }
    // What the grid paints: the first screen of rows.
    void paintFirstScreen() {
        for (int r = 0; r < std::min(30, model.rowCount()); ++r)
            for (int c = 0; c < model.columnCount(); ++c) benchmark::DoNotOptimize(model.index(r, c).data());
    }

    TableSet set;
    JournalFilter filter;
    JournalModel model;
    JournalTotals totals{set.Dbf1};
};

BookingEntry benchmarkEntry() {
    BookingEntry entry;
    entry.datum = DayNumber::fromDate(QDate(year, 6, 15));
    entry.beleg = QStringLiteral("100001");
    entry.text = QStringLiteral("Benchmark");
    entry.brutto = 119;
    entry.mwstIndex = 0;
    entry.kontoIndex = 0;
    return entry;
}

// "Buchen": one posting, the receipt proposal and the VAT summary as the window shows them afterwards
// (followed booking by booking), the first screen of the grid painted. Argument: bookings in the year.
void BM_PostBooking(benchmark::State& state) {
    auto dir = YearFixture::instance(int(state.range(0))).copy();
    OpenYear open(dir->path());
    open.totals.setZeitraum(CalcZeitraum(PeriodItem::GanzesJahr, year));
    benchmark::DoNotOptimize(open.totals.vatSums());  // as at start-up
    open.paintFirstScreen();
    const BookingEntry entry = benchmarkEntry();
    TableSet& s = open.set;
    for (auto _ : state) {
        postBooking(s.Dbf1, s.MwstSaetze, s.EinnahmeKonten, s.AusgabeKonten, s.Sammelkonten, s.kostenkonten, entry);
        benchmark::DoNotOptimize(open.totals.receiptProposal());
        benchmark::DoNotOptimize(open.totals.vatSums());
        open.paintFirstScreen();
    }
    state.counters["rows"] = open.model.rowCount();
    state.counters["walks"] = open.totals.walks();
}

// The same posting followed by the two walks over every booking that posting made before.
void BM_PostBookingWithWalks(benchmark::State& state) {
    auto dir = YearFixture::instance(int(state.range(0))).copy();
    OpenYear open(dir->path());
    open.paintFirstScreen();
    const BookingEntry entry = benchmarkEntry();
    TableSet& s = open.set;
    for (auto _ : state) {
        postBooking(s.Dbf1, s.MwstSaetze, s.EinnahmeKonten, s.AusgabeKonten, s.Sammelkonten, s.kostenkonten, entry);
        qint64 proposal = 0;
        VatSums sums;
        {
            DetachedView detached(s.Dbf1, &open.model);
            proposal = FindMaxBel(s.Dbf1);
            sums = calcMwst(s.Dbf1, CalcZeitraum(PeriodItem::GanzesJahr, year));
        }
        benchmark::DoNotOptimize(proposal);
        benchmark::DoNotOptimize(sums);
        open.paintFirstScreen();
    }
    state.counters["rows"] = open.model.rowCount();
}

// A period item chosen (no period filter): the VAT summary of the new period, alternating between a
// quarter and the whole year.
void BM_PeriodSwitch(benchmark::State& state) {
    auto dir = YearFixture::instance(int(state.range(0))).copy();
    OpenYear open(dir->path());
    open.paintFirstScreen();
    const Zeitraum periods[] = {CalcZeitraum(PeriodItem::N2Quartal, year), CalcZeitraum(PeriodItem::GanzesJahr, year)};
    int i = 0;
    for (auto _ : state) {
        open.totals.setZeitraum(periods[i++ % 2]);
        benchmark::DoNotOptimize(open.totals.vatSums());
    }
}

void filterBenchmark(benchmark::State& state, const QString& text) {
    auto dir = YearFixture::instance().copy();
    OpenYear open(dir->path());
    open.paintFirstScreen();
    int rows = 0;
    for (auto _ : state) {
        open.filter.FilterbtnClick(open.set.Dbf1, text);
        rows = open.model.rowCount();
        open.paintFirstScreen();
        state.PauseTiming();
        open.filter.AllezeigenBtnClick(open.set.Dbf1);
        state.ResumeTiming();
    }
    state.counters["rows"] = rows;
}

void BM_FilterText(benchmark::State& state) {
    filterBenchmark(state, QStringLiteral("miete"));
}
void BM_FilterDigits(benchmark::State& state) {
    filterBenchmark(state, QStringLiteral("9999"));
}

void sortBenchmark(benchmark::State& state, int column) {
    auto dir = YearFixture::instance().copy();
    OpenYear open(dir->path());
    open.paintFirstScreen();
    for (auto _ : state) {
        state.PauseTiming();
        open.set.Dbf1.setIndexName(QString());  // physical order again, so that every click sorts anew
        state.ResumeTiming();
        benchmark::DoNotOptimize(open.model.sortByColumn(column));
        open.paintFirstScreen();
    }
}

void BM_SortByBrutto(benchmark::State& state) {
    sortBenchmark(state, 4);
}
void BM_SortByDatum(benchmark::State& state) {
    sortBenchmark(state, 0);
}
void BM_SortByText(benchmark::State& state) {
    sortBenchmark(state, 3);
}

void BM_OpenYearAndFirstScreen(benchmark::State& state) {
    auto dir = YearFixture::instance().copy();
    std::optional<OpenYear> open;
    for (auto _ : state) {
        state.PauseTiming();
        open.reset();  // closing the previous year is not part of opening
        state.ResumeTiming();
        open.emplace(dir->path());
        // As the window's start-up: the receipt proposal and the VAT summary walk the year once.
        open->totals.setZeitraum(CalcZeitraum(PeriodItem::GanzesJahr, year));
        benchmark::DoNotOptimize(open->totals.receiptProposal());
        benchmark::DoNotOptimize(open->totals.vatSums());
        open->paintFirstScreen();
        benchmark::DoNotOptimize(open->model.rowCount());
    }
}

BENCHMARK(BM_PostBooking)->Arg(bookingCount)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PostBookingWithWalks)->Arg(bookingCount)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PeriodSwitch)->Arg(bookingCount)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FilterText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FilterDigits)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortByBrutto)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortByDatum)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortByText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenYearAndFirstScreen)->Unit(benchmark::kMillisecond);

}  // namespace
