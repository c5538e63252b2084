// SPDX-License-Identifier: GPL-3.0-or-later
// Sorting the bookings table by a column, from physical order to the sorted rows, on years of 100,000 and
// 1,000,000 bookings. BELEG holds a distinct text in every record (the worst case of a text sort); TEXT
// repeats the texts of a small list with a running number, as booking texts do.
#include <benchmark/benchmark.h>

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <map>
#include <memory>

#include "startup/TableSet.h"
#include "storage/DbfTable.h"

namespace {

struct Year {
    QTemporaryDir dir;
    DbfTable table;
};

Year& year(int records) {
    static std::map<int, std::unique_ptr<Year>> years;
    auto& slot = years[records];
    if (!slot) {
        slot = std::make_unique<Year>();
        DbfTable& t = slot->table;
        t.setFilePath(slot->dir.path());
        t.setTableName(QStringLiteral("records.dbf"));
        t.setFieldDefs(TableSet::bookingsSchema());
        t.CreateTable();
        t.Open();
        QRandomGenerator rng(11);
        const QStringList texts = {"Büromaterial", "Porto", "Verkauf Ware", "Honorar", "Reisekosten", "Telefon",
                                   "Miete Büro",   "ÖPNV",  "Übernachtung", "Bewirtung", "Zeitschriften"};
        for (int i = 0; i < records; ++i) {
            t.Insert();
            t.Fields(Booking::Datum).setAsDateTime(45658 + rng.bounded(365));
            t.Fields(Booking::Art).setAsString(QString(QLatin1Char("EA"[i % 2])));
            t.Fields(Booking::Beleg).setAsString(QString::number(rng.bounded(10000000)));
            t.Fields(Booking::Text).setAsString(texts[int(rng.bounded(texts.size()))] + QLatin1Char(' ') +
                                    QString::number(rng.bounded(500)));
            t.Fields(Booking::Brutto).setAsFloat(rng.bounded(10000000) / 100.0);
            t.Fields(Booking::MwSt).setAsFloat(i % 3 == 0 ? 7 : 19);
            t.Fields(Booking::Konto).setAsInteger(100 + int(rng.bounded(800)));
            t.Post();
        }
        for (const char* field : {"DATUM", "BELEG", "TEXT", "BRUTTO"})
            t.AddIndex(QString::fromLatin1(field), QString::fromLatin1(field));
    }
    return *slot;
}

// state.range(0): records; state.range(1): the column (0 DATUM, 2 BELEG, 3 TEXT, 4 BRUTTO).
void BM_SortByColumn(benchmark::State& state) {
    DbfTable& t = year(int(state.range(0))).table;
    const QString index = QStringList{"DATUM", "", "BELEG", "TEXT", "BRUTTO"}[int(state.range(1))];
    for (auto _ : state) {
        state.PauseTiming();
        t.setIndexName(QString());
        state.ResumeTiming();
        t.setIndexName(index);
        benchmark::DoNotOptimize(t.RecNo());
    }
}
BENCHMARK(BM_SortByColumn)
    ->ArgNames({"records", "column"})
    ->ArgsProduct({{100000, 1000000}, {0, 2, 3, 4}})
    ->Unit(benchmark::kMillisecond);

}  // namespace
