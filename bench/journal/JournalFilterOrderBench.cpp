// SPDX-License-Identifier: GPL-3.0-or-later
// A new filter text or period while the journal is sorted by a column, on booking years of 100,000 and
// 1,000,000 bookings: the filter works within the active order instead of sorting the table again.
#include <benchmark/benchmark.h>

#include <QDate>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <map>
#include <memory>

#include "journal/Booking.h"
#include "journal/JournalFilter.h"
#include "journal/JournalModel.h"
#include "startup/TableSet.h"
#include "storage/DayNumber.h"

namespace {

constexpr int year = 2024;

// One year per size, built once and opened once, shared by the benchmarks of this file.
struct SortedYear {
    static SortedYear& instance(int bookingCount) {
        static std::map<int, std::unique_ptr<SortedYear>> years;
        auto& slot = years[bookingCount];
        if (!slot) slot = std::make_unique<SortedYear>(bookingCount);
        return *slot;
    }

    explicit SortedYear(int bookingCount) {
        set.setNames(1, year);
        set.InitDB(dir.path() + QLatin1Char('/'));
        DbfTable& b = set.Dbf1;
        QRandomGenerator rng(7);
        const QStringList texts = {"Büromaterial", "Porto", "Verkauf Ware", "Honorar", "Reisekosten", "Telefon"};
        const double start = DayNumber::fromDate(QDate(year, 1, 1));
        for (int i = 0; i < bookingCount; ++i) {
            b.Insert();
            b.Fields(Booking::Datum).setAsDateTime(start + rng.bounded(366));
            b.Fields(Booking::Art).setAsString(QString(QLatin1Char("EA"[i % 2])));
            b.Fields(Booking::Beleg).setAsString(QString::number(i + 1));
            b.Fields(Booking::Text)
                .setAsString(i % 100 == 0 ? QStringLiteral("Miete Büro %1").arg(i)
                                          : texts[int(rng.bounded(texts.size()))] + QString::number(i % 997));
            b.Fields(Booking::Brutto).setAsFloat(rng.bounded(10000000) / 100.0);
            b.Fields(Booking::MwSt).setAsFloat(i % 3 == 0 ? 7 : 19);
            b.Fields(Booking::Konto).setAsInteger(100 + int(rng.bounded(800)));
            b.Fields(Booking::Sammelkonto).setAsInteger(0);
            b.Fields(Booking::Kostenstelle).setAsInteger(int(rng.bounded(5)));
            b.Post();
        }
        filter.startUp(set.Dbf1, false, CalcZeitraum(PeriodItem::GanzesJahr, year));
        model.bind(&set.Dbf1);
    }
    ~SortedYear() {
        model.unbind();
        set.closeAll();
    }
    void paintFirstScreen() {
        for (int r = 0; r < std::min(30, model.rowCount()); ++r)
            for (int c = 0; c < model.columnCount(); ++c) benchmark::DoNotOptimize(model.index(r, c).data());
    }

    QTemporaryDir dir;
    TableSet set;
    JournalFilter filter;
    JournalModel model;
};

// state.range(0): bookings; state.range(1): the column sorted by (-1: physical order).
void BM_FilterTextInSortOrder(benchmark::State& state) {
    SortedYear& y = SortedYear::instance(int(state.range(0)));
    y.filter.AllezeigenBtnClick(y.set.Dbf1);
    y.set.Dbf1.setIndexName(QString());
    if (state.range(1) >= 0) y.model.sortByColumn(int(state.range(1)));
    y.paintFirstScreen();
    int rows = 0;
    for (auto _ : state) {
        y.filter.FilterbtnClick(y.set.Dbf1, QStringLiteral("miete"));
        rows = y.model.rowCount();
        y.paintFirstScreen();
        state.PauseTiming();
        y.filter.AllezeigenBtnClick(y.set.Dbf1);
        state.ResumeTiming();
    }
    state.counters["rows"] = rows;
}
BENCHMARK(BM_FilterTextInSortOrder)
    ->ArgNames({"bookings", "column"})
    ->ArgsProduct({{100000, 1000000}, {-1, 0, 3, 4}})
    ->Unit(benchmark::kMillisecond);

// The period filter switched on (first quarter) while the journal is sorted by DATUM.
void BM_PeriodFilterOn(benchmark::State& state) {
    SortedYear& y = SortedYear::instance(int(state.range(0)));
    y.filter.AllezeigenBtnClick(y.set.Dbf1);
    y.model.sortByColumn(0);
    y.filter.setZeitraum(CalcZeitraum(PeriodItem::N1Quartal, year));
    int rows = 0;
    for (auto _ : state) {
        y.filter.FilternnachZeitraumToggled(y.set.Dbf1, true, QString());
        rows = y.model.rowCount();
        y.paintFirstScreen();
        state.PauseTiming();
        y.filter.FilternnachZeitraumToggled(y.set.Dbf1, false, QString());
        state.ResumeTiming();
    }
    state.counters["rows"] = rows;
}
BENCHMARK(BM_PeriodFilterOn)->ArgNames({"bookings"})->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// Sorting the journal by a column from physical order, as a click on its heading does.
void BM_SortJournalByColumn(benchmark::State& state) {
    SortedYear& y = SortedYear::instance(int(state.range(0)));
    y.filter.AllezeigenBtnClick(y.set.Dbf1);
    for (auto _ : state) {
        state.PauseTiming();
        y.set.Dbf1.setIndexName(QString());
        state.ResumeTiming();
        y.model.sortByColumn(int(state.range(1)));
        y.paintFirstScreen();
    }
}
BENCHMARK(BM_SortJournalByColumn)
    ->ArgNames({"bookings", "column"})
    ->ArgsProduct({{100000, 1000000}, {0, 2, 3, 4}})
    ->Unit(benchmark::kMillisecond);

}  // namespace
