// Report output over a year of 100,000 bookings ("Liste aller Buchungen"): repaint of the first and of
// the last preview page, and the whole report as PDF. The layout runs at 1200 dpi on A4, as with the
// default printer.
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
#include "reports/output/PdfReportWriter.h"
#include "reports/output/ReportPainter.h"
#include "storage/DayNumber.h"

namespace {

class HundredThousand {
public:
    HundredThousand() {
        data.modus = 5;
        data.cap = QStringLiteral("Alle Buchungen 01.01.2026 - 31.12.2026");
        data.ein = &ein;
        data.akonto = &akonto;
        const double first = DayNumber::fromDate(QDate(2026, 1, 1));
        const double rates[] = {19, 7, 0, -19, -7};
        for (int i = 0; i < 100000; ++i) {
            TKontoRec* r = ein.Add();
            const double rate = rates[i % 5];
            const double sign = rate < 0 ? -1 : 1;
            r->konto = 8400 + i % 37;
            r->mwstsatz = rate;
            r->brutto = sign * (10 + (i * 7919 % 100000) / 100.0);
            r->mwst = r->brutto * rate / (rate + 100);
            r->netto = r->brutto * 100 / (rate + 100);
            r->beleg = keep(QString::number(i + 1));
            r->text = keep(QStringLiteral("Buchung %1 Büromaterial").arg(i % 500));
            r->datum = first + (i * 365 / 100000);
        }
        in.data = &data;
        in.address = {QStringLiteral("Muster GmbH"), QStringLiteral("Hauptstraße 1"), QStringLiteral("12345 Stadt")};
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

private:
    char16_t* keep(const QString& text) {
        strings.emplace_back(reinterpret_cast<const char16_t*>(text.utf16()), std::size_t(text.size()));
        return strings.back().data();
    }
    TKontoRec* akonto = nullptr;
    TKontoArray ein{&akonto};
    ReportData data;
    std::deque<std::u16string> strings;
};

HundredThousand& report() {
    static HundredThousand r;
    return r;
}

long statusKb(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string key = std::string(field) + ":";
    while (std::getline(status, line))
        if (line.rfind(key, 0) == 0) return std::stol(line.substr(key.size()));
    return -1;
}

void resetPeak() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

// The preview box at 100 % on a 96 dpi screen.
QImage previewImage(const PageGeometry& page) {
    return QImage(qRound(page.width * 96.0 / page.resolution), qRound(page.height * 96.0 / page.resolution),
                  QImage::Format_RGB32);
}

// kept: as in the report window, whose repaints keep the measurements of the open report; otherwise
// every repaint measures all 100,000 rows again (the window's first paint of a new report).
void runRepaint(benchmark::State& state, bool lastPage, bool kept) {
    HundredThousand& r = report();
    MeasureCache cache;
    ReportInputs in = r.in;
    if (kept) in.cache = &cache;
    const PageGeometry page = r.page();
    const int pages = ReportPainter::countPages(in, page);
    const int wanted = lastPage ? pages : 1;
    long peakAboveIdle = 0;
    for (auto _ : state) {
        state.PauseTiming();
        resetPeak();
        const long idle = statusKb("VmRSS");
        state.ResumeTiming();
        QImage image = previewImage(page);
        benchmark::DoNotOptimize(ReportPainter::paintPreview(image, in, page, wanted));
        state.PauseTiming();
        peakAboveIdle = std::max(peakAboveIdle, statusKb("VmHWM") - idle);
        state.ResumeTiming();
    }
    state.counters["pages"] = pages;
    state.counters["peak_MB_above_idle"] = double(peakAboveIdle) / 1024.0;
}

void BM_RepaintFirstPageOfAllBookings(benchmark::State& state) {
    runRepaint(state, false, true);
}
BENCHMARK(BM_RepaintFirstPageOfAllBookings)->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_RepaintLastPageOfAllBookings(benchmark::State& state) {
    runRepaint(state, true, true);
}
BENCHMARK(BM_RepaintLastPageOfAllBookings)->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_FirstPaintOfNewReport(benchmark::State& state) {
    runRepaint(state, false, false);
}
BENCHMARK(BM_FirstPaintOfNewReport)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_WriteAllBookingsAsPdf(benchmark::State& state) {
    HundredThousand& r = report();
    QTemporaryDir dir;
    qint64 size = 0;
    for (auto _ : state) {
        const QString file = dir.filePath(QStringLiteral("alle.pdf"));
        benchmark::DoNotOptimize(PdfReportWriter::write(file, r.in, r.layout(), 1200));
        size = QFile(file).size();
    }
    state.counters["pdf_MB"] = double(size) / (1024.0 * 1024.0);
}
BENCHMARK(BM_WriteAllBookingsAsPdf)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
