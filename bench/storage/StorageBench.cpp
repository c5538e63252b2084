// SPDX-License-Identifier: GPL-3.0-or-later
// Speed of the table layer on a bookings table of 100,000 records (the 11-field layout).
#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>

#include "startup/TableSet.h"
#include "storage/DbfTable.h"

namespace {

constexpr int kRecords = 100000;

void fillRecord(DbfTable& t, int i) {
    t.Fields(Booking::Datum).setAsDateTime(45000 + i % 365);
    t.Fields(Booking::Art).setAsString(i % 2 ? QStringLiteral("E") : QStringLiteral("A"));
    t.Fields(Booking::Beleg).setAsString(QString::number(i + 1));
    t.Fields(Booking::Text).setAsString(QStringLiteral("Buchungstext Nummer %1 für Büromaterial").arg(i));
    t.Fields(Booking::Brutto).setAsFloat(12.34 + i);
    t.Fields(Booking::MwSt).setAsFloat(19);
    t.Fields(Booking::Konto).setAsInteger(i % 7);
    t.Fields(Booking::MwSt2).setAsFloat(0);
    t.Fields(Booking::Netto).setAsFloat(0);
    t.Fields(Booking::Sammelkonto).setAsInteger(0);
    t.Fields(Booking::Kostenstelle).setAsInteger(i % 3);
}

// One shared table file, built once through the table layer.
const QString& bookingsFile() {
    static QTemporaryDir dir;
    static QString file;
    if (file.isEmpty()) {
        DbfTable t;
        t.setFilePath(dir.path());
        t.setTableName(QStringLiteral("records.dbf"));
        t.setFieldDefs(TableSet::bookingsSchema());
        t.CreateTable();
        t.Open();
        for (int i = 0; i < kRecords; ++i) {
            t.Insert();
            fillRecord(t, i);
            t.Post();
        }
        t.Close();
        file = dir.filePath(QStringLiteral("records.dbf"));
    }
    return file;
}

void openTable(DbfTable& t) {
    const QString& file = bookingsFile();
    t.setFilePath(file.left(file.lastIndexOf(QLatin1Char('/'))));
    t.setTableName(QStringLiteral("records.dbf"));
    t.Open();
}

void BM_OpenAndWalk(benchmark::State& state) {
    bookingsFile();
    for (auto _ : state) {
        DbfTable t;
        openTable(t);
        double sum = 0;
        int kinds = 0;
        for (t.First(); !t.Eof(); t.Next()) {
            sum += t.Fields(Booking::Brutto).AsFloat() + t.Fields(Booking::MwSt).AsFloat() + t.Fields(Booking::Datum).AsDateTime();
            kinds += t.Fields(Booking::Art).AsString() == QLatin1String("E");
            kinds += t.Fields(Booking::Konto).AsInteger();
        }
        benchmark::DoNotOptimize(sum);
        benchmark::DoNotOptimize(kinds);
    }
}
BENCHMARK(BM_OpenAndWalk)->Unit(benchmark::kMillisecond);

void BM_WalkFilterRejectsAll(benchmark::State& state) {
    bookingsFile();
    for (auto _ : state) {
        DbfTable t;
        openTable(t);
        t.setOnFilterRecord(
            [](const DbfTable& table) { return table.Fields(Booking::Text).AsString().startsWith(QLatin1Char('#')); });
        t.setFiltered(true);
        int n = 0;
        for (t.First(); !t.Eof(); t.Next()) ++n;
        benchmark::DoNotOptimize(n);
    }
}
BENCHMARK(BM_WalkFilterRejectsAll)->Unit(benchmark::kMillisecond);

void BM_Append100k(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir dir;
        DbfTable t;
        t.setFilePath(dir.path());
        t.setTableName(QStringLiteral("append.dbf"));
        t.setFieldDefs(TableSet::bookingsSchema());
        t.CreateTable();
        t.Open();
        state.ResumeTiming();
        for (int i = 0; i < kRecords; ++i) {
            t.Insert();
            fillRecord(t, i);
            t.Post();
        }
        state.PauseTiming();
        t.Close();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Append100k)->Unit(benchmark::kMillisecond)->Iterations(2);

// Reading the file into a freshly allocated buffer each time, as opening a table does. Most of this is
// the page faults of touching a new 19 MB buffer, not reading: it is what a fresh buffer costs.
void BM_ReadIntoFreshBufferPageFaults(benchmark::State& state) {
    const QString& file = bookingsFile();
    for (auto _ : state) {
        QFile f(file);
        f.open(QIODevice::ReadOnly);
        const QByteArray bytes = f.readAll();
        benchmark::DoNotOptimize(bytes.constData());
    }
}
BENCHMARK(BM_ReadIntoFreshBufferPageFaults)->Unit(benchmark::kMillisecond);

// The physical limit of reading: copying the file's bytes from the page cache into a buffer that is
// reused, so no page of it faults again.
void BM_PageCacheCopyLimit(benchmark::State& state) {
    const QString& file = bookingsFile();
    QFile f(file);
    f.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    QByteArray buffer(f.size(), Qt::Uninitialized);
    for (auto _ : state) {
        f.seek(0);
        qint64 done = 0;
        while (done < buffer.size()) {
            const qint64 n = f.read(buffer.data() + done, buffer.size() - done);
            if (n <= 0) break;
            done += n;
        }
        benchmark::DoNotOptimize(buffer.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * buffer.size());
}
BENCHMARK(BM_PageCacheCopyLimit)->Unit(benchmark::kMillisecond);

}  // namespace
