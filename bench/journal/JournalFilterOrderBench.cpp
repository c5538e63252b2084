// A new filter text while the journal is sorted by a column, on a booking year of 100,000 bookings:
// the filter works within the active order instead of sorting the table again.
#include <benchmark/benchmark.h>

#include <QDate>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include "journal/JournalFilter.h"
#include "journal/JournalModel.h"
#include "startup/TableSet.h"
#include "storage/DayNumber.h"

namespace {

constexpr int bookingCount = 100000;
constexpr int year = 2024;

// One year, built once and opened once, shared by the benchmarks of this file.
struct SortedYear {
    static SortedYear& instance() {
        static SortedYear year;
        return year;
    }

    SortedYear() {
        set.setNames(1, year);
        set.InitDB(dir.path() + QLatin1Char('/'));
        DbfTable& b = set.Dbf1;
        QRandomGenerator rng(7);
        const QStringList texts = {"Büromaterial", "Porto", "Verkauf Ware", "Honorar", "Reisekosten", "Telefon"};
        const double start = DayNumber::fromDate(QDate(year, 1, 1));
        for (int i = 0; i < bookingCount; ++i) {
            b.Insert();
            b.Fields(0).setAsDateTime(start + rng.bounded(366));
            b.Fields(1).setAsString(QString(QLatin1Char("EA"[i % 2])));
            b.Fields(2).setAsString(QString::number(i + 1));
            b.Fields(3).setAsString(i % 100 == 0 ? QStringLiteral("Miete Büro %1").arg(i)
                                                 : texts[int(rng.bounded(texts.size()))] + QString::number(i % 997));
            b.Fields(4).setAsFloat(rng.bounded(10000000) / 100.0);
            b.Fields(5).setAsFloat(i % 3 == 0 ? 7 : 19);
            b.Fields(6).setAsInteger(100 + int(rng.bounded(800)));
            b.Fields(9).setAsInteger(0);
            b.Fields(10).setAsInteger(int(rng.bounded(5)));
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

// state.range(0): the column sorted by (-1: physical order).
void BM_FilterTextInSortOrder(benchmark::State& state) {
    SortedYear& y = SortedYear::instance();
    y.filter.AllezeigenBtnClick(y.set.Dbf1);
    y.set.Dbf1.setIndexName(QString());
    if (state.range(0) >= 0) y.model.sortByColumn(int(state.range(0)));
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
BENCHMARK(BM_FilterTextInSortOrder)->ArgName("column")->Arg(-1)->Arg(0)->Arg(3)->Arg(4)->Unit(benchmark::kMillisecond);

}  // namespace
