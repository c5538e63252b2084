// SPDX-License-Identifier: GPL-3.0-or-later
// The data of the reports over a booking year of 100,000 bookings (the total result also at 1,000,000), through the
// real objects (table set, journal model, filter), without a window: collection passes, sorts and the release of the
// strings. Run by hand: build/bench/quorvel_bench_reports --benchmark_filter=ReportData.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <QDate>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <memory>

#include "journal/Booking.h"
#include "journal/DetachedView.h"
#include "journal/JournalFilter.h"
#include "journal/JournalModel.h"
#include "reports/data/ExchangeSort.h"
#include "reports/data/ListReport.h"
#include "reports/data/TotalResult.h"
#include "startup/TableSet.h"
#include "storage/DayNumber.h"
#include "storage/LargeBlock.h"

namespace {

constexpr int bookingCount = 100000;
constexpr int year = 2024;

enum class ScanOrder { Chronological, NewestFirst };

// A data folder with a full year, booked day by day (about 270 bookings a day), built once per order.
class YearFixture {
public:
    static YearFixture& instance(ScanOrder order, int count = bookingCount) {
        if (count != bookingCount) {
            static YearFixture large(ScanOrder::Chronological, 1000000);
            return large;
        }
        static YearFixture chronological(ScanOrder::Chronological, bookingCount);
        static YearFixture newestFirst(ScanOrder::NewestFirst, bookingCount);
        return order == ScanOrder::Chronological ? chronological : newestFirst;
    }

    std::unique_ptr<QTemporaryDir> copy() const {
        auto dir = std::make_unique<QTemporaryDir>();
        const QDir source(m_dir.path());
        for (const QString& name : source.entryList(QDir::Files))
            QFile::copy(source.filePath(name), QDir(dir->path()).filePath(name));
        return dir;
    }

private:
    YearFixture(ScanOrder order, int count) {
        TableSet set;
        set.setNames(1, year);
        set.InitDB(m_dir.path() + QLatin1Char('/'));
        DbfTable& b = set.Dbf1;
        QRandomGenerator rng(2024);
        const QStringList texts = {"Büromaterial", "Porto", "Verkauf Ware", "Honorar", "Reisekosten", "Telefon"};
        const double start = DayNumber::fromDate(QDate(year, 1, 1));
        for (int i = 0; i < count; ++i) {
            const int dayIndex = int(qint64(i) * 366 / count);
            b.Insert();
            b.Fields(Booking::Datum)
                .setAsDateTime(start + (order == ScanOrder::Chronological ? dayIndex : 365 - dayIndex));
            b.Fields(Booking::Art).setAsString(QString(QLatin1Char("EANS"[i % 7 == 0 ? 2 + i % 2 : i % 2])));
            b.Fields(Booking::Beleg).setAsString(QString::number(i + 1));
            b.Fields(Booking::Text).setAsString(texts[int(rng.bounded(texts.size()))]);
            b.Fields(Booking::Brutto).setAsFloat(rng.bounded(10000000) / 100.0);
            b.Fields(Booking::MwSt).setAsFloat(i % 3 == 0 ? 7 : 19);
            b.Fields(Booking::Konto).setAsInteger(100 + int(rng.bounded(800)));
            b.Fields(Booking::Sammelkonto).setAsInteger(int(rng.bounded(3)));
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
        filter.startUp(set.Dbf1, false, wholeYear());
        model.bind(&set.Dbf1);
    }
    ~OpenYear() {
        model.unbind();
        set.closeAll();
    }
    static Zeitraum wholeYear() { return CalcZeitraum(PeriodItem::GanzesJahr, year); }

    TableSet set;
    JournalFilter filter;
    JournalModel model;
};

// The heap and the pool of large blocks.
std::size_t heapInUse() {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd + LargeBlock::inUse();
}

// "Gesamtergebnis": collection and sorts. Argument: bookings in the year.
void BM_ReportData_TotalResult(benchmark::State& state) {
    auto dir = YearFixture::instance(ScanOrder::Chronological, int(state.range(0))).copy();
    OpenYear open(dir->path());
    std::uint32_t accounts = 0;
    for (auto _ : state) {
        ReportArrays arrays;
        ReportData data;
        const DetachedView detached(open.set.Dbf1, &open.model);
        TotalResult::build(open.set.Dbf1, OpenYear::wholeYear(), arrays, data);
        accounts = arrays.ein.Count() + arrays.aus.Count();
    }
    state.counters["accounts"] = accounts;
}

// "Liste aller Buchungen mit Anfangsbestand" over the whole year: 100,000 records with their strings.
void allBookingsBenchmark(benchmark::State& state, ScanOrder order, int sortColumn, int count = bookingCount) {
    auto dir = YearFixture::instance(order, count).copy();
    OpenYear open(dir->path());
    // As the window readies it when the year opens (there on a thread of its own).
    LargeBlock::prepare(ListReport::memoryFor(open.set.Dbf1.physicalRecordCount()));
    if (sortColumn >= 0) open.model.sortByColumn(sortColumn);
    ListReport::Request request;
    request.kind = ListKind::AlleBuchungen;
    request.zeitraum = OpenYear::wholeYear();
    request.anfangsbestand = true;
    double arraysMB = 0;
    double heapMB = 0;
    double peakMB = 0;
    std::uint32_t records = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const std::size_t heapBefore = heapInUse();
        state.ResumeTiming();
        {
            ReportArrays arrays;
            ReportData data;
            {
                const DetachedView detached(open.set.Dbf1, &open.model);
                ListReport::build(open.set.Dbf1, &open.filter, request, arrays, data);
            }
            state.PauseTiming();
            records = arrays.ein.Count();
            heapMB = double(heapInUse() - heapBefore) / 1e6;
            // Peak: everything the pool of large blocks holds (the working tables of the build included).
            peakMB = double(LargeBlock::held()) / 1e6;
            arraysMB = double(arrays.ein.MemSize() + arrays.aus.MemSize() + KontoStrings::bytes(arrays.ein) +
                              KontoStrings::bytes(arrays.aus)) /
                       1e6;
            state.ResumeTiming();
        }  // released here, as after the report window closes
    }
    state.counters["records"] = records;
    state.counters["blocks_and_strings_MB"] = arraysMB;
    state.counters["heap_in_use_MB"] = heapMB;
    state.counters["peak_MB"] = peakMB;
}

void BM_ReportData_AllBookingsPhysicalOrder(benchmark::State& state) {
    allBookingsBenchmark(state, ScanOrder::Chronological, -1, int(state.range(0)));
}
void BM_ReportData_AllBookingsSortedByBrutto(benchmark::State& state) {
    allBookingsBenchmark(state, ScanOrder::Chronological, 4, int(state.range(0)));
}
void BM_ReportData_AllBookingsNewestFirst(benchmark::State& state) {
    allBookingsBenchmark(state, ScanOrder::NewestFirst, -1);
}

// The opening balance while the journal filters by period (second quarter): the pass lifts the period
// filter, so the table re-filters twice.
void BM_ReportData_CollectiveAccountUnderPeriodFilter(benchmark::State& state) {
    auto dir = YearFixture::instance(ScanOrder::Chronological).copy();
    OpenYear open(dir->path());
    const Zeitraum quarter = CalcZeitraum(PeriodItem::N2Quartal, year);
    open.filter.setZeitraum(quarter);
    open.filter.FilternnachZeitraumToggled(open.set.Dbf1, true, QString());
    ListReport::Request request;
    request.kind = ListKind::Sammelkonto;
    request.zeitraum = quarter;
    request.nr = 1;
    request.anfangsbestand = true;
    double balance = 0;
    for (auto _ : state) {
        ReportArrays arrays;
        ReportData data;
        const DetachedView detached(open.set.Dbf1, &open.model);
        ListReport::build(open.set.Dbf1, &open.filter, request, arrays, data);
        balance = data.Aeinnahmen;
    }
    state.counters["opening_balance"] = balance;
}

// The sort's order alone for the dates of a journal sorted by another column: a year's days in no order,
// on one thread (Arg 0) and on two where the machine has them (Arg 1).
void BM_ReportData_SortOrderOfShuffledDates(benchmark::State& state) {
    constexpr std::size_t n = 1000000;
    ExchangeSort::Order ranks(n);
    QRandomGenerator random(7);
    for (std::uint32_t& r : ranks) r = random.bounded(365u);
    const std::size_t sideBySideFrom = state.range(0) ? 50000 : n + 1;
    for (auto _ : state) benchmark::DoNotOptimize(ExchangeSort::orderFromRanks(ranks, sideBySideFrom));
}

BENCHMARK(BM_ReportData_SortOrderOfShuffledDates)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReportData_TotalResult)->Arg(bookingCount)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReportData_AllBookingsPhysicalOrder)->Arg(bookingCount)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReportData_AllBookingsSortedByBrutto)->Arg(bookingCount)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReportData_AllBookingsNewestFirst)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReportData_CollectiveAccountUnderPeriodFilter)->Unit(benchmark::kMillisecond);

}  // namespace
