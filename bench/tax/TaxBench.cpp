// SPDX-License-Identifier: GPL-3.0-or-later
// The tax forms over a booking year of 100,000 and 1,000,000 bookings: the VAT return of a quarter and the
// Anlage EÜR of the year, from the open bookings table to the first page laid out (the whole report is laid
// out to count its pages; page 1 is drawn). Run by hand: build/bench/quorvel_bench_tax.
#include <benchmark/benchmark.h>

#include <QDate>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <cstring>
#include <map>
#include <memory>

#include "reports/output/RecordingCanvas.h"
#include "startup/TableSet.h"
#include "support/BenchYear.h"
#include "storage/DayNumber.h"
#include "storage/FieldCodec.h"
#include "tax/Kontenzuordnung.h"
#include "tax/TaxBookings.h"
#include "tax/TaxFormPages.h"
#include "tax/TaxResults.h"

namespace {

constexpr int year = 2026;

// A data folder holding a year of `count` bookings, written straight into the table file (posting a
// million bookings one by one would take longer than every benchmark together).
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
            const char* texts[] = {"Büromaterial", "Porto", "Verkauf Ware", "Honorar", "Reisekosten", "Telefon"};
            QString reason;
            FieldCodec::encodeDate(QDate(year, 1, 1).addDays(qint64(i) * 365 / n), r + 1);
            r[9] = "EANS"[i % 7 == 0 ? 2 + i % 2 : i % 2];
            const QByteArray beleg = QByteArray::number(i + 1);
            std::memcpy(r + 10, beleg.constData(), std::size_t(beleg.size()));
            const QByteArray text = QString::fromUtf8(texts[rng.bounded(6)]).toLatin1();
            std::memcpy(r + 30, text.constData(), std::size_t(text.size()));
            // Income at 19 % and 7 %, expenses also at 0 %: a year without unassigned bookings.
            const int rates[] = {19, 7, 0, 19};
            const int rate = r[9] == 'E' && rates[i % 4] == 0 ? 19 : rates[i % 4];
            FieldCodec::encodeNumber(rng.bounded(10000000) / 100.0, 18, 8, r + 90, &reason);
            FieldCodec::encodeNumber(rate, 18, 8, r + 108, &reason);
            FieldCodec::encodeNumber(r[9] == 'E' ? int(rng.bounded(2)) : 0, 9, 0, r + 126, &reason);
        });
    }

    QTemporaryDir m_dir;
};

struct OpenYear {
    explicit OpenYear(int count) {
        set.setNames(1, year);
        set.InitDB(YearFixture::instance(count).folder());
    }
    ~OpenYear() { set.closeAll(); }
    TableSet set;
};

const PageParams firstPage{false, 1, 300, 2480, 3508};

void BM_Tax_UstvaQuarter(benchmark::State& state) {
    OpenYear open(int(state.range(0)));
    const TaxForm form = TaxFormData::load(TaxFormData::ustva, year);
    const TaxPageHeader header{{QStringLiteral("Muster GmbH")}, QStringLiteral("21/815/08150"),
                               QStringLiteral("2. Quartal 2026"), QStringLiteral("10.12.2026")};
    int pages = 0;
    for (auto _ : state) {
        const TaxBookingSource source(open.set.Dbf1);
        const UstvaResult r = TaxComputation::ustva(
            source, accountNumbers(open.set.EinnahmeKonten), accountNumbers(open.set.AusgabeKonten),
            Kontenzuordnung::read(open.set.Kontenzuordnung), CalcZeitraum(PeriodItem::N2Quartal, year), form);
        RecordingCanvas canvas(300);
        pages = TaxFormPages::ustva(canvas, r, header, firstPage);
        benchmark::DoNotOptimize(pages);
    }
    state.counters["pages"] = pages;
}

void BM_Tax_EuerYear(benchmark::State& state) {
    OpenYear open(int(state.range(0)));
    const TaxForm form = TaxFormData::load(TaxFormData::euer, year);
    const TaxPageHeader header{{QStringLiteral("Muster GmbH")}, QStringLiteral("21/815/08150"),
                               QStringLiteral("2026"), QStringLiteral("10.12.2026")};
    int pages = 0;
    for (auto _ : state) {
        const TaxBookingSource source(open.set.Dbf1);
        const EuerResult r = TaxComputation::euer(
            source, accountNumbers(open.set.EinnahmeKonten), accountNumbers(open.set.AusgabeKonten),
            Kontenzuordnung::read(open.set.Kontenzuordnung), year, form);
        RecordingCanvas canvas(300);
        pages = TaxFormPages::euer(canvas, r, source, header, firstPage);
        benchmark::DoNotOptimize(pages);
    }
    state.counters["pages"] = pages;
}

}  // namespace

BENCHMARK(BM_Tax_UstvaQuarter)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Tax_EuerYear)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
