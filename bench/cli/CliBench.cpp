// SPDX-License-Identifier: GPL-3.0-or-later
// Reports of a year of 100,000 bookings from the command line, as an adviser's script runs them: each
// iteration starts the program, which opens the tables, collects the report, lays out its pages and
// writes the PDF; the time runs from process start to the end of the process (file closed).
#include <benchmark/benchmark.h>

#include <QDate>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <sys/resource.h>

#include "journal/Booking.h"
#include "startup/TableSet.h"
#include "storage/DayNumber.h"

namespace {

class YearOnDisk {
public:
    YearOnDisk() {
        TableSet set;
        set.setNames(1, 2026);
        set.InitDB(folder());
        DbfTable& b = set.Dbf1;
        const double first = DayNumber::fromDate(QDate(2026, 1, 1));
        const double rates[] = {19, 7, 0};
        for (int i = 0; i < kBookings; ++i) {
            b.Insert();
            b.Fields(Booking::Datum).setAsDateTime(first + (i * 365 / kBookings));
            b.Fields(Booking::Art).setAsString(i % 3 == 0 ? QStringLiteral("A") : QStringLiteral("E"));
            b.Fields(Booking::Beleg).setAsString(QString::number(i + 1));
            b.Fields(Booking::Text).setAsString(QStringLiteral("Buchung %1 Kunde Müller").arg(i));
            b.Fields(Booking::Brutto).setAsFloat(10 + (i * 7919 % 100000) / 100.0);
            b.Fields(Booking::MwSt).setAsFloat(rates[i % 3]);
            b.Fields(Booking::Konto).setAsInteger(i % 2);
            b.Fields(Booking::Sammelkonto).setAsInteger(i % 2);
            b.Fields(Booking::Kostenstelle).setAsInteger(0);
            b.Post();
        }
        set.closeAll();
    }
    QString folder() const { return m_dir.path() + QLatin1Char('/'); }
    static constexpr int kBookings = 100000;

private:
    QTemporaryDir m_dir;
};

YearOnDisk& year() {
    static YearOnDisk y;
    return y;
}

void runReport(benchmark::State& state, const char* bericht) {
    const QString pdf = year().folder() + QStringLiteral("bericht.pdf");
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("de_DE.UTF-8"));
    // The processor time of the program itself (the clock time above also holds the waits of a shared machine).
    auto childCpu = [] {
        rusage usage{};
        getrusage(RUSAGE_CHILDREN, &usage);
        return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
               double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    };
    const double cpuBefore = childCpu();
    long maxRssKb = 0;
    for (auto _ : state) {
        QProcess process;
        process.setProcessEnvironment(env);
        process.start(QStringLiteral(QUORVEL_EXE),
                      {QStringLiteral("report"), QStringLiteral("--datenordner"), year().folder(),
                       QStringLiteral("--jahr"), QStringLiteral("2026"), QStringLiteral("--bericht"),
                       QString::fromLatin1(bericht), QStringLiteral("--pdf"), pdf});
        if (!process.waitForFinished(-1) || process.exitCode() != 0) {
            state.SkipWithError(process.readAllStandardError().constData());
            return;
        }
    }
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    maxRssKb = usage.ru_maxrss;
    state.counters["pdf_bytes"] = double(QFileInfo(pdf).size());
    state.counters["program_cpu_s"] = (childCpu() - cpuBefore) / double(state.iterations());
    state.counters["max_rss_MB"] = double(maxRssKb) / 1024.0;  // the largest run of this benchmark program so far
}

void BM_CliAllBookingsPdf(benchmark::State& state) {
    runReport(state, "alle-buchungen");
}
void BM_CliTotalResultPdf(benchmark::State& state) {
    runReport(state, "gesamtergebnis");
}

BENCHMARK(BM_CliAllBookingsPdf)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_CliTotalResultPdf)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
