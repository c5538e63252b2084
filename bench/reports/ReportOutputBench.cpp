// SPDX-License-Identifier: GPL-3.0-or-later
// Report output over a year of 1,000,000 bookings, laid out at 1200 dpi on A4 as with the default
// printer: the first paint of a new list ("Liste aller Buchungen mit Anfangsbestand": measure pass and
// the whole layout for page 1), a repaint with the kept measurements, the last page, the total result,
// and the whole list as PDF. The texts are a mix of short and long ones (up to the field's 60
// characters, most of the longer ones wrapping); one variant has every text at 60 characters, another
// every text on one line.
// Run by hand: build/bench/quorvel_bench_reports --benchmark_filter=Output.
#include <benchmark/benchmark.h>

#include <QDate>
#include <QFile>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QTemporaryDir>
#include <deque>
#include <fstream>
#include <string>

#include "reports/data/ReportData.h"
#include "reports/output/MeasureCache.h"
#include "reports/output/PageCountThread.h"
#include "reports/output/PdfReportWriter.h"
#include "reports/output/ReportPainter.h"
#include "storage/DayNumber.h"

namespace {

constexpr int kBookings = 1000000;

const char* const kTexts[] = {
    "Büromaterial",
    "Porto",
    "Verkauf Ware an Müller & Söhne GmbH, Rechnung 2026-0815",
    "Honorar",
    "Reisekosten München Hotel und Bahn",
    "Telefon und Internet Anschluss Büro Hauptstraße, Monat März",
    "Miete",
    "Wartung Server und Arbeitsplätze laut Vertrag vom 01.02.2026",
};

class Year {
public:
    enum class Texts { Mixed, Sixty, Short };

    explicit Year(Texts kind) {
        data.modus = 5;
        data.cap = QStringLiteral("Alle Buchungen 01.01.2026 - 31.12.2026");
        data.ein = &ein;
        data.akonto = &akonto;
        data.anfangsbestand = true;
        data.Aeinnahmen = 12345.67;
        data.Aeinnahmenmwst = 1971.15;
        data.Aeinnahmennetto = 10374.52;
        const double first = DayNumber::fromDate(QDate(2026, 1, 1));
        const double rates[] = {19, 7, 0, -19, -7};
        const QString sixty = QStringLiteral("Lieferung Büromaterial und Druckerpatronen für Filiale Nord");
        std::vector<char16_t*> texts;
        for (const char* text : kTexts) texts.push_back(keep(QString::fromUtf8(text)));
        char16_t* longText = keep(sixty.left(60));
        char16_t* shortText = keep(QStringLiteral("Büromaterial"));
        for (int i = 0; i < kBookings; ++i) {
            TKontoRec* r = ein.Add();
            const double rate = rates[i % 5];
            const double sign = rate < 0 ? -1 : 1;
            r->konto = 8400 + i % 37;
            r->mwstsatz = rate;
            r->brutto = sign * (10 + double(std::int64_t(i) * 7919 % 100000) / 100.0);
            r->mwst = r->brutto * rate / (rate + 100);
            r->netto = r->brutto - r->mwst;
            r->beleg = keep(QString::number(i + 1));
            r->text = kind == Texts::Sixty ? longText : kind == Texts::Short ? shortText : texts[std::size_t(i % 8)];
            r->datum = first + (double(i) * 365 / kBookings);
        }
        in.data = &data;
        in.address = {QStringLiteral("Muster GmbH"), QStringLiteral("Hauptstraße 1"), QStringLiteral("12345 Stadt")};

        total.modus = 0;
        total.cap = QStringLiteral("Gesamtergebnis 01.01.2026 - 31.12.2026");
        total.ein = &accountsE;
        total.aus = &accountsA;
        total.akonto = &akonto;
        total.mwstsE = &ratesE;
        total.mwstsA = &ratesA;
        total.amwst = &amwst;
        for (int i = 0; i < 40; ++i) *accountsE.Add() = TKontoRec{8400 + i, 0, 1e6 + i, 1.9e5, 8.1e5, nullptr, nullptr, 0};
        for (int i = 0; i < 60; ++i) *accountsA.Add() = TKontoRec{4400 + i, 0, 5e5 + i, 9e4, 4.1e5, nullptr, nullptr, 0};
        for (double rate : {0.0, 7.0, 19.0}) {
            *ratesE.Add() = TMwstRec{rate, 1e7, 1e6, 9e6};
            *ratesA.Add() = TMwstRec{rate, 5e6, 5e5, 4.5e6};
        }
        totalInputs = in;
        totalInputs.data = &total;
    }

    static Year& mixed() {
        static Year year(Texts::Mixed);
        return year;
    }
    static Year& sixtyCharacters() {
        static Year year(Texts::Sixty);
        return year;
    }
    // Every text on one line, as the all-bookings list of the older layout (about 17,000 pages).
    static Year& shortTexts() {
        static Year year(Texts::Short);
        return year;
    }

    QPageLayout layout() const {
        return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(4.23, 4.23, 4.23, 4.23),
                           QPageLayout::Millimeter);
    }
    PageGeometry page() const {
        const QRect r = layout().paintRectPixels(1200);
        return PageGeometry{1200, r.width(), r.height()};
    }

    ReportInputs in;
    ReportInputs totalInputs;

private:
    char16_t* keep(const QString& text) {
        strings.emplace_back(reinterpret_cast<const char16_t*>(text.utf16()), std::size_t(text.size()));
        return strings.back().data();
    }
    TKontoRec* akonto = nullptr;
    TMwstRec* amwst = nullptr;
    TKontoArray ein{&akonto};
    TKontoArray accountsE{&akonto};
    TKontoArray accountsA{&akonto};
    TMwstArray ratesE{&amwst};
    TMwstArray ratesA{&amwst};
    ReportData data;
    ReportData total;
    std::deque<std::u16string> strings;
};

long statusKb(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string key = std::string(field) + ":";
    while (std::getline(status, line))
        if (line.rfind(key, 0) == 0) return std::stol(line.substr(key.size()));
    return -1;
}

// The preview box at 100 % on a 96 dpi screen.
QImage previewImage(const PageGeometry& page) {
    return QImage(qRound(page.width * 96.0 / page.resolution), qRound(page.height * 96.0 / page.resolution),
                  QImage::Format_RGB32);
}

enum class Paint { FirstOfNewReport, FirstPageOfNewReport, KeptFirstPage, KeptLastPage };

// FirstOfNewReport: the first paint of a report just handed over with the whole layout (measure pass,
// line counts, page count); FirstPageOfNewReport: the same paint as the window makes it for a long list,
// ending with its page while the pages are counted aside; the others: repaints that find the measurements
// of the open report.
void runPaint(benchmark::State& state, Year& year, const ReportInputs& base, Paint paint) {
    MeasureCache cache;
    ReportInputs in = base;
    in.cache = &cache;
    const PageGeometry page = year.page();
    const int pages = ReportPainter::countPages(in, page);
    const int wanted = paint == Paint::KeptLastPage ? pages : 1;
    for (auto _ : state) {
        if (paint == Paint::FirstOfNewReport || paint == Paint::FirstPageOfNewReport) cache.clear();
        QImage image = previewImage(page);
        if (paint == Paint::FirstPageOfNewReport)
            benchmark::DoNotOptimize(ReportPainter::paintPage(image, in, page, wanted));
        else
            benchmark::DoNotOptimize(ReportPainter::paintPreview(image, in, page, wanted));
    }
    state.counters["pages"] = pages;
}

void BM_OutputListFirstPaintOfNewReport(benchmark::State& state) {
    runPaint(state, Year::mixed(), Year::mixed().in, Paint::FirstOfNewReport);
}
BENCHMARK(BM_OutputListFirstPaintOfNewReport)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_OutputListFirstPageOfNewReport(benchmark::State& state) {
    runPaint(state, Year::mixed(), Year::mixed().in, Paint::FirstPageOfNewReport);
}
BENCHMARK(BM_OutputListFirstPageOfNewReport)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_OutputListPagesCountedAside(benchmark::State& state) {
    const PageGeometry page = Year::mixed().page();
    int pages = 0;
    for (auto _ : state) pages = PageCountThread(Year::mixed().in, page, {}).wait();
    state.counters["pages"] = pages;
}
BENCHMARK(BM_OutputListPagesCountedAside)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_OutputListFirstPaintAllTextsLong(benchmark::State& state) {
    runPaint(state, Year::sixtyCharacters(), Year::sixtyCharacters().in, Paint::FirstOfNewReport);
}
BENCHMARK(BM_OutputListFirstPaintAllTextsLong)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_OutputListRepaintFirstPage(benchmark::State& state) {
    runPaint(state, Year::mixed(), Year::mixed().in, Paint::KeptFirstPage);
}
BENCHMARK(BM_OutputListRepaintFirstPage)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_OutputListRepaintLastPage(benchmark::State& state) {
    runPaint(state, Year::mixed(), Year::mixed().in, Paint::KeptLastPage);
}
BENCHMARK(BM_OutputListRepaintLastPage)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_OutputTotalResultFirstPaint(benchmark::State& state) {
    runPaint(state, Year::mixed(), Year::mixed().totalInputs, Paint::FirstOfNewReport);
}
BENCHMARK(BM_OutputTotalResultFirstPaint)->Unit(benchmark::kMillisecond)->Iterations(20);

void runPdf(benchmark::State& state, Year& year) {
    QTemporaryDir dir;
    qint64 size = 0;
    const long idle = statusKb("VmRSS");
    for (auto _ : state) {
        const QString file = dir.filePath(QStringLiteral("alle.pdf"));
        benchmark::DoNotOptimize(PdfReportWriter::write(file, year.in, year.layout(), 1200));
        size = QFile(file).size();
    }
    state.counters["pdf_MB"] = double(size) / (1024.0 * 1024.0);
    state.counters["peak_MB_above_start"] = double(statusKb("VmHWM") - idle) / 1024.0;
    state.counters["pages"] = ReportPainter::countPages(year.in, year.page());
}

void BM_OutputListAsPdf(benchmark::State& state) {
    runPdf(state, Year::mixed());
}
BENCHMARK(BM_OutputListAsPdf)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_OutputListOfShortTextsAsPdf(benchmark::State& state) {
    runPdf(state, Year::shortTexts());
}
BENCHMARK(BM_OutputListOfShortTextsAsPdf)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
