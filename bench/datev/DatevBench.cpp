// SPDX-License-Identifier: GPL-3.0-or-later
// The DATEV booking batch of a year of 100,000 and 1,000,000 bookings, from the open bookings table to the
// files on the disk (a million bookings make eleven files of at most 99,999 bookings), with the progress
// callback called as the window's bar would be. Run by hand: build/bench/quorvel_bench_datev.
#include <benchmark/benchmark.h>

#include <QDate>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <cstring>
#include <map>
#include <memory>

#include "datev/DatevExport.h"
#include "startup/TableSet.h"
#include "support/BenchYear.h"
#include "storage/FieldCodec.h"
#include "tax/Kontenzuordnung.h"

namespace {

constexpr int year = 2026;

// A data folder holding a year of `count` bookings, written straight into the table file.
class YearFixture {
public:
    static YearFixture& instance(int count) {
        static std::map<int, std::unique_ptr<YearFixture>> fixtures;
        auto& f = fixtures[count];
        if (!f) f.reset(new YearFixture(count));
        return *f;
    }
    QString folder() const { return m_dir.path() + QLatin1Char('/'); }

private:
    explicit YearFixture(int count) {
        bench::writeYear(folder(), year, count, [](int i, int n, char* r, QRandomGenerator& rng) {
            const char* texts[] = {"Büromaterial", "Porto",  "Verkauf Ware", "Honorar für \"Beratung\"",
                                   "Reisekosten",  "Telefon"};
            QString reason;
            FieldCodec::encodeDate(QDate(year, 1, 1).addDays(qint64(i) * 365 / n), r + 1);
            r[9] = "EA"[i % 2];
            const QByteArray beleg = "RE-" + QByteArray::number(i + 1);
            std::memcpy(r + 10, beleg.constData(), std::size_t(beleg.size()));
            const QByteArray text = QString::fromUtf8(texts[rng.bounded(6)]).toLatin1();
            std::memcpy(r + 30, text.constData(), std::size_t(text.size()));
            const int rates[] = {19, 7, 0, 19};
            FieldCodec::encodeNumber(1 + rng.bounded(10000000) / 100.0, 18, 8, r + 90, &reason);
            FieldCodec::encodeNumber(rates[i % 4], 18, 8, r + 108, &reason);
            FieldCodec::encodeNumber(r[9] == 'E' ? int(rng.bounded(2)) : 0, 9, 0, r + 126, &reason);
            FieldCodec::encodeNumber(int(rng.bounded(2)), 9, 0, r + 171, &reason);
        });
    }

    QTemporaryDir m_dir;
};

void BM_Datev_Export(benchmark::State& state) {
    const int count = int(state.range(0));
    TableSet set;
    set.setNames(1, year);
    set.InitDB(YearFixture::instance(count).folder());
    DatevKonten konten;
    konten.set(QStringLiteral("03"), DatevKonten::Art::Einnahme, 0, 8400);
    konten.set(QStringLiteral("03"), DatevKonten::Art::Einnahme, 1, 8300);
    konten.set(QStringLiteral("03"), DatevKonten::Art::Ausgabe, 0, 4930);
    konten.set(QStringLiteral("03"), DatevKonten::Art::Sammel, 1, 1000);
    DatevSettings s;
    s.beraternummer = 29098;
    s.mandantennummer = 55003;
    s.wjBeginn = QDate(year, 1, 1);
    s.von = s.wjBeginn;
    s.bis = QDate(year, 12, 31);
    s.bezeichnung = QStringLiteral("Buchungen 2026");
    s.erzeugtAm = QDateTime::currentDateTime();
    const DatevExport exporter(DatevData::format(), DatevData::charts(), konten,
                               Kontenzuordnung::read(set.Kontenzuordnung), s);
    QTemporaryDir out;
    int files = 0;
    qint64 calls = 0;
    for (auto _ : state) {
        const auto r = exporter.writeFiles(set.Dbf1, out.filePath(QStringLiteral("EXTF_Buchungen.csv")),
                                           [&calls](qint64, qint64) { return ++calls > 0; });
        files = int(r->files.size());
        benchmark::DoNotOptimize(files);
    }
    state.counters["files"] = files;
    state.counters["progress_calls"] = double(calls) / double(state.iterations());
    set.closeAll();
}

}  // namespace

BENCHMARK(BM_Datev_Export)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
