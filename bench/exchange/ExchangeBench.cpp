// SPDX-License-Identifier: GPL-3.0-or-later
// CSV import and export of a booking year of 100,000 and 1,000,000 bookings through the real table
// objects, without a window, progress callbacks included. Run by hand: build/bench/quorvel_bench_exchange.
#include <benchmark/benchmark.h>

#include <QDate>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <map>

#include "audit/ChangeLog.h"
#include "audit/PeriodClosing.h"
#include "audit/ReceiptNumbers.h"
#include "exchange/CsvExport.h"
#include "exchange/CsvImport.h"
#include "startup/TableSet.h"
#include "storage/DayNumber.h"

namespace {

constexpr int year = 2024;

// A CSV file as a bank or spreadsheet would write it: quoted texts, bare numbers.
const QByteArray& csvFile(int bookingCount) {
    static std::map<int, QByteArray> files;
    QByteArray& out = files[bookingCount];
    if (!out.isEmpty()) return out;
    const QDate start(year, 1, 1);
    for (int i = 0; i < bookingCount; ++i) {
        const QDate d = start.addDays(i % 366);
        out += "\"" + d.toString(QStringLiteral("dd.MM.yyyy")).toLatin1() + "\";\"" + (i % 2 ? "A" : "E") + "\";\"" +
               QByteArray::number(i + 1) + "\";\"Verkauf B\xfcromaterial Nr. " + QByteArray::number(i) + "\";" +
               QByteArray::number(i % 1000) + "," + QByteArray::number(10 + i % 90) + ";19;" +
               QByteArray::number(i % 3) + ";;;0;0\r\n";
    }
    return out;
}

void openEmptyBookings(DbfTable& table, const QString& folder) {
    table.setFilePath(folder);
    table.setTableName(QStringLiteral("records_1_2024.dbf"));
    table.setFieldDefs(TableSet::bookingsSchema());
    table.CreateTable();
    table.Open();
}

// As the window imports: into a year whose change log is attached, so every booking gets its entry, and
// with the witnesses of closed periods and of the receipt numbers as well.
enum class Witnesses { None, ChangeLog, AsTheWindow };
void importCsv(benchmark::State& state, Witnesses witnesses) {
    const bool withLog = witnesses != Witnesses::None;
    const int count = int(state.range(0));
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("csvImport.csv"));
    {
        QFile out(file);
        if (!out.open(QIODevice::WriteOnly) || out.write(csvFile(count)) != csvFile(count).size())
            state.SkipWithError("file");
    }
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(dir.filePath(QStringLiteral("records_1_2024.dbf")));
        QFile::remove(audit::ChangeLog::fileNameFor(dir.path(), 1, year));
        DbfTable table;
        openEmptyBookings(table, dir.path() + QLatin1Char('/'));
        audit::ChangeLog log(dir.path(), 1, year);
        if (withLog) log.attach(table);
        audit::PeriodClosing closing;
        audit::ReceiptNumbers receipts;
        if (witnesses == Witnesses::AsTheWindow) {
            closing.load(dir.path(), 1, year);
            receipts.load(table);
            table.addWitness(&closing);
            table.addWitness(&receipts);
        }
        state.ResumeTiming();
        CsvImport csvImport(table, year);
        csvImport.setProgress([](qint64, qint64) { return true; });
        const CsvImportResult result = csvImport.importBytes(CsvImport::readFile(file));
        if (result.added != count || !result.refused.empty()) state.SkipWithError("import incomplete");
        benchmark::DoNotOptimize(result.summary());
        state.PauseTiming();
        table.removeWitness(&closing);
        table.removeWitness(&receipts);
        if (withLog) log.detach();
        state.ResumeTiming();
    }
}
void BM_ImportCsv(benchmark::State& state) {
    importCsv(state, Witnesses::None);
}
void BM_ImportCsvWithChangeLog(benchmark::State& state) {
    importCsv(state, Witnesses::ChangeLog);
}
void BM_ImportCsvAsTheWindow(benchmark::State& state) {
    importCsv(state, Witnesses::AsTheWindow);
}
BENCHMARK(BM_ImportCsv)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_ImportCsvWithChangeLog)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_ImportCsvAsTheWindow)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_ExportCsv(benchmark::State& state) {
    const int count = int(state.range(0));
    QTemporaryDir dir;
    DbfTable table;
    openEmptyBookings(table, dir.path() + QLatin1Char('/'));
    CsvImport csvImport(table, year);
    csvImport.importBytes(csvFile(count));
    const QString file = dir.filePath(QStringLiteral("export.csv"));
    for (auto _ : state) {
        const std::optional<int> written = CsvExport::writeFile(table, file, [](qint64, qint64) { return true; });
        if (written != count) state.SkipWithError("export incomplete");
    }
}
BENCHMARK(BM_ExportCsv)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace
