// A new filter text while the journal is sorted by a column, on a booking year of 100,000 bookings:
// the filter works within the active order instead of sorting the table again.
#include <benchmark/benchmark.h>

#include <QDate>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include "journal/Booking.h"
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
