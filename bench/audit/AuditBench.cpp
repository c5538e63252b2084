// SPDX-License-Identifier: GPL-3.0-or-later
// The change log at 100,000 and 1,000,000 bookings: one posting with and without the log attached (the
// difference is what the log costs a posting), and "Protokoll prüfen" over the whole log.
// Run by hand: build/bench/quorvel_bench_audit.
#include <benchmark/benchmark.h>

#include <QDate>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <map>
#include <memory>

#include "audit/ChangeLog.h"
#include "audit/LogCheck.h"
#include "startup/BookingSchema.h"
#include "startup/ClientNaming.h"
#include "storage/DayNumber.h"
#include "storage/DbfTable.h"

namespace {

constexpr int year = 2024;

void fill(DbfTable& b, int i) {
    static const QStringList texts = {"Büromaterial", "Porto", "Verkauf Ware", "Honorar", "Reisekosten", "Telefon"};
    b.Fields(Booking::Datum).setAsDateTime(DayNumber::fromDate(QDate(year, 1, 1).addDays(i % 366)));
    b.Fields(Booking::Art).setAsString(QString(QLatin1Char("EA"[i % 2])));
    b.Fields(Booking::Beleg).setAsString(QString::number(i + 1));
    b.Fields(Booking::Text).setAsString(texts[i % texts.size()]);
    b.Fields(Booking::Brutto).setAsFloat((i % 100000) / 100.0 + 1);
    b.Fields(Booking::MwSt).setAsFloat(i % 3 == 0 ? 7 : 19);
    b.Fields(Booking::Konto).setAsInteger(100 + i % 800);
    b.Fields(Booking::Sammelkonto).setAsInteger(0);
    b.Fields(Booking::Kostenstelle).setAsInteger(i % 5);
}

QString tableName() {
    return ClientNaming::tableFileName(QStringLiteral("records"), 1, year);
}

// A year of `count` bookings, each posted with the log attached (so the log holds count + 1 entries),
// and a copy of its bookings table without a log. Built once per size.
class Fixture {
public:
    static Fixture& of(int count) {
        static std::map<int, std::unique_ptr<Fixture>> made;
        auto& f = made[count];
        if (!f) f = std::make_unique<Fixture>(count);
        return *f;
    }
    explicit Fixture(int count) {
        DbfTable b;
        b.setFilePath(logged.path());
        b.setTableName(tableName());
        b.setFieldDefs(Booking::schema());
        b.CreateTable();
        b.Open();
        audit::ChangeLog log(logged.path(), 1, year);
        log.attach(b);
        for (int i = 0; i < count; ++i) {
            b.Insert();
            fill(b, i);
            b.Post();
        }
        log.detach();
        b.Close();
        QFile::copy(QDir(logged.path()).filePath(tableName()), QDir(plain.path()).filePath(tableName()));
    }
    QTemporaryDir logged;
    QTemporaryDir plain;
};

void postLoop(benchmark::State& state, const QString& folder, bool withLog) {
    DbfTable b;
    b.setFilePath(folder);
    b.setTableName(tableName());
    b.Open();
    audit::ChangeLog log(folder, 1, year);
    if (withLog) log.attach(b);
    int i = b.physicalRecordCount();
    for (auto _ : state) {
        b.Insert();
        fill(b, i++);
        b.Post();
    }
    state.counters["bookings"] = b.physicalRecordCount();
    if (withLog) state.counters["entries"] = double(log.entryCount());
}

// One booking posted into the year (the table layer's Post, where the log does its work).
void BM_PostWithoutLog(benchmark::State& state) {
    postLoop(state, Fixture::of(int(state.range(0))).plain.path(), false);
}
void BM_PostWithLog(benchmark::State& state) {
    postLoop(state, Fixture::of(int(state.range(0))).logged.path(), true);
}

// "Protokoll prüfen": the whole chain walked and compared with the bookings, with the progress calls.
void BM_CheckLog(benchmark::State& state) {
    Fixture& f = Fixture::of(int(state.range(0)));
    const QString logFile = audit::ChangeLog::fileNameFor(f.logged.path(), 1, year);
    const QString bookings = QDir(f.logged.path()).filePath(tableName());
    qint64 calls = 0;
    for (auto _ : state) {
        const audit::LogCheckResult r = audit::LogCheck::run(logFile, bookings, [&](qint64, qint64) {
            ++calls;
            return true;
        });
        if (!r.ok()) state.SkipWithError(r.summary().toStdString().c_str());
        state.counters["entries"] = double(r.entries);
    }
    state.counters["progressCalls"] = double(calls);
}

}  // namespace

BENCHMARK(BM_PostWithoutLog)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PostWithLog)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CheckLog)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(3);
