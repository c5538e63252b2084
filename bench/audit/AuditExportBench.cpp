// SPDX-License-Identifier: GPL-3.0-or-later
// The data export for a tax audit of a booking year of 100,000 and 1,000,000 bookings, into a folder and
// into a ZIP file, from the table files as the program keeps them, progress callbacks included. Run by
// hand: build/bench/quorvel_bench_audit.
#include <benchmark/benchmark.h>

#include <QDate>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <cstring>

#include "audit/AuditExport.h"
#include "startup/ClientNaming.h"
#include "startup/TableSet.h"

namespace {

constexpr int kYear = 2024;

// A data folder with the year's tables; the bookings file gets `count` records written straight into it
// (through the table object a million postings would take longer than the export being measured).
class Year {
public:
    explicit Year(int count) {
        {
            TableSet set;
            set.setNames(1, kYear);
            set.InitDB(m_dir.path() + QLatin1Char('/'));
            set.closeAll();
        }
        const QString name = m_dir.filePath(ClientNaming::tableFileName(QStringLiteral("records"), 1, kYear));
        QFile file(name);
        if (!file.open(QIODevice::ReadWrite)) return;
        QByteArray bytes = file.readAll();
        bytes.chop(1);  // end-of-file marker
        const int header = int(bytes.size());
        bytes.reserve(header + qsizetype(count) * 189 + 1);
        const QDate start(kYear, 1, 1);
        char record[190];
        for (int i = 0; i < count; ++i) {
            const QDate d = start.addDays(i % 366 % 365);
            std::snprintf(record, sizeof record, " %04d%02d%02d%c%-20d%-60s%18.8f%18.8f%9d%18s%18s%9d%9d", d.year(),
                          d.month(), d.day(), i % 2 ? 'A' : 'E', i + 1,
                          (i % 7 ? "Verkauf Buromaterial Filiale Nord"
                                 : "Miete; \"Lager\" S\xfc"
                                   "d"),
                          (i % 100000) / 100.0 * (i % 13 ? 1 : -1), i % 3 ? 19.0 : 7.0, i % 5, "", "", i % 3, i % 4);
            bytes.append(record, 189);
        }
        bytes.append('\x1a');
        const quint32 n = quint32(count);
        std::memcpy(bytes.data() + 4, &n, 4);  // little-endian machines only, as the benchmark runs
        file.seek(0);
        file.write(bytes);
    }
    QString folder() const { return m_dir.path() + QLatin1Char('/'); }
    QString target(const QString& name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
};

void BM_AuditExport(benchmark::State& state) {
    const int count = int(state.range(0));
    const bool zip = state.range(1) != 0;
    const Year year(count);
    int round = 0;
    for (auto _ : state) {
        const QString target = year.target(QStringLiteral("export%1%2").arg(++round).arg(zip ? ".zip" : ""));
        qint64 calls = 0;
        const AuditExport::Result result =
            AuditExport::run({year.folder(), 1, kYear, target, zip}, [&](qint64, qint64) { return ++calls > 0; });
        if (result.cancelled || result.tables.empty() || result.tables.front().rows != count)
            state.SkipWithError("export incomplete");
        state.counters["progress_calls"] = double(calls);
        state.PauseTiming();
        if (zip)
            QFile::remove(target);
        else
            QDir(target).removeRecursively();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_AuditExport)
    ->ArgsProduct({{100000, 1000000}, {0, 1}})
    ->ArgNames({"bookings", "zip"})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

}  // namespace
