// CSV import and export of a booking year of 100,000 bookings through the real table objects, without a
// window. Run by hand: build/bench/quorvel_bench_exchange.
#include <benchmark/benchmark.h>

#include <QDate>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "exchange/CsvExport.h"
#include "exchange/CsvImport.h"
#include "startup/TableSet.h"
#include "storage/DayNumber.h"

namespace {

constexpr int bookingCount = 100000;
constexpr int year = 2024;

// A CSV file of 100,000 lines as a bank or spreadsheet would write it: quoted texts, bare numbers.
const QByteArray& csvFile() {
    static const QByteArray bytes = [] {
        QByteArray out;
        const QDate start(year, 1, 1);
        for (int i = 0; i < bookingCount; ++i) {
            const QDate d = start.addDays(i % 366);
            out += "\"" + d.toString(QStringLiteral("dd.MM.yyyy")).toLatin1() + "\";\"" + (i % 2 ? "A" : "E") +
                   "\";\"" + QByteArray::number(i + 1) + "\";\"Verkauf B\xfcromaterial Nr. " + QByteArray::number(i) +
                   "\";" + QByteArray::number(i % 1000) + "," + QByteArray::number(10 + i % 90) + ";19;" +
                   QByteArray::number(i % 3) + ";;;0;0\r\n";
        }
        return out;
    }();
    return bytes;
}

void openEmptyBookings(DbfTable& table, const QString& folder) {
    table.setFilePath(folder);
    table.setTableName(QStringLiteral("records_1_2024.dbf"));
    table.setFieldDefs(TableSet::bookingsSchema());
    table.CreateTable();
    table.Open();
}

void BM_ImportCsv100k(benchmark::State& state) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("csvImport.csv"));
    {
        QFile out(file);
        if (!out.open(QIODevice::WriteOnly) || out.write(csvFile()) != csvFile().size()) state.SkipWithError("file");
    }
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(dir.filePath(QStringLiteral("records_1_2024.dbf")));
        DbfTable table;
        openEmptyBookings(table, dir.path() + QLatin1Char('/'));
        state.ResumeTiming();
        CsvImport csvImport(table, year);
        const CsvImportResult result = csvImport.importBytes(CsvImport::readFile(file));
        if (result.added != bookingCount || !result.rejected.empty()) state.SkipWithError("import incomplete");
        benchmark::DoNotOptimize(result.summary());
    }
}
BENCHMARK(BM_ImportCsv100k)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ExportCsv100k(benchmark::State& state) {
    QTemporaryDir dir;
    DbfTable table;
    openEmptyBookings(table, dir.path() + QLatin1Char('/'));
    CsvImport csvImport(table, year);
    csvImport.importBytes(csvFile());
    const QString file = dir.filePath(QStringLiteral("export.csv"));
    for (auto _ : state) {
        const int count = CsvExport::writeFile(table, file);
        if (count != bookingCount) state.SkipWithError("export incomplete");
    }
}
BENCHMARK(BM_ExportCsv100k)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
