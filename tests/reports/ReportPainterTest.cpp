// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

#include "OutputFixture.h"
#include "reports/output/PageCountThread.h"
#include "reports/output/PdfReportWriter.h"
#include "reports/output/ReportOutputError.h"
#include "reports/output/ReportPainter.h"
#include "support/SmallDisk.h"
#include "support/TestSupport.h"

namespace {

bool allWhite(const QImage& image) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != qRgb(255, 255, 255)) return false;
    return true;
}

QPageLayout a4Layout() {
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(5, 5, 5, 5), QPageLayout::Millimeter);
}

void fill(OutputFixture& f, int n) {
    f.data.modus = 5;
    for (int i = 0; i < n; ++i)
        f.booking(f.ein, i, QStringLiteral("%1").arg(i), 8400, i % 3 ? 59.5 : -12.34, i % 3 ? 19 : -7,
                  QStringLiteral("Buchung %1").arg(i));
}

TEST(ReportPainterTest, PreviewImageOfPreviewSizeDrawsWhatThePrinterGets) {
    OutputFixture f;
    fill(f, 130);
    testsupport::TempFolder folder;
    QPdfWriter writer(folder.file(QStringLiteral("x.pdf")));
    writer.setResolution(600);
    writer.setPageLayout(a4Layout());
    std::vector<DrawnItem> printed;
    PrintHooks hooks;
    hooks.record = &printed;
    const int pages = ReportPainter::print(writer, f.inputs, hooks);
    const PageGeometry page = ReportPainter::geometryOf(writer);
    EXPECT_EQ(page.resolution, 600);
    ASSERT_EQ(pages, 3);
    for (int p = 1; p <= pages; ++p) {
        // A small image: the page is painted scaled, never at the printer's full pixel size.
        QImage image(page.width / 8, page.height / 8, QImage::Format_RGB32);
        std::vector<DrawnItem> shown;
        EXPECT_EQ(ReportPainter::paintPreview(image, f.inputs, page, p, &shown), pages);
        auto expected = onPage(printed, p - 1);
        for (auto& item : expected) item.page = 0;
        EXPECT_EQ(shown, expected) << "page " << p;
        EXPECT_FALSE(allWhite(image)) << "page " << p;
        // The paint that ends with its page draws the same page; it knows the count only at the last.
        QImage ended(image.size(), QImage::Format_RGB32);
        EXPECT_EQ(ReportPainter::paintPage(ended, f.inputs, page, p), p == pages ? pages : 0) << "page " << p;
        EXPECT_EQ(ended, image) << "page " << p;
    }
    QImage after(page.width / 8, page.height / 8, QImage::Format_RGB32);
    std::vector<DrawnItem> none;
    ReportPainter::paintPreview(after, f.inputs, page, pages + 1, &none);
    EXPECT_TRUE(none.empty());
    EXPECT_TRUE(allWhite(after));
    EXPECT_EQ(ReportPainter::paintPage(after, f.inputs, page, pages + 1), pages);
}

// A long list counts its pages on a thread of its own: the same count as a count in place, measurements a
// preview can take over, and a stop that ends it at once. Only the booking lists of many records count
// aside; the total result and the tax forms read the open tables.
TEST(ReportPainterTest, PagesCountedAsideAgreeWithACountInPlace) {
    OutputFixture f;
    fill(f, int(PageCountThread::kFromRecords));
    const PageGeometry page{300, 2480, 3508};
    EXPECT_TRUE(PageCountThread::worthIt(f.inputs));
    OutputFixture small;
    fill(small, 100);
    EXPECT_FALSE(PageCountThread::worthIt(small.inputs));
    ReportInputs ownLayout = f.inputs;
    ownLayout.layout = [](ReportCanvas&, const ReportInputs&, const PageParams&) { return 1; };
    EXPECT_FALSE(PageCountThread::worthIt(ownLayout));
    f.data.modus = 0;
    EXPECT_FALSE(PageCountThread::worthIt(f.inputs));
    f.data.modus = 5;

    const int pages = ReportPainter::countPages(f.inputs, page);
    std::atomic<int> told{0};
    PageCountThread counting(f.inputs, page, [&] { ++told; });
    // The preview paints alongside, from the same records.
    QImage first(page.width / 8, page.height / 8, QImage::Format_RGB32);
    EXPECT_EQ(ReportPainter::paintPage(first, f.inputs, page, 1), 0);
    EXPECT_EQ(counting.wait(), pages);
    EXPECT_TRUE(counting.ended());
    EXPECT_EQ(told.load(), 1);
    MeasureCache taken = counting.takeMeasurements();
    ReportInputs withTaken = f.inputs;
    withTaken.cache = &taken;
    QImage last(first.size(), QImage::Format_RGB32);
    QImage lastAfresh(first.size(), QImage::Format_RGB32);
    EXPECT_EQ(ReportPainter::paintPreview(last, withTaken, page, pages), pages);
    EXPECT_EQ(ReportPainter::paintPreview(lastAfresh, f.inputs, page, pages), pages);
    EXPECT_EQ(last, lastAfresh);

    // Stopped at once: the destructor returns, and nobody is told.
    std::atomic<int> stopped{0};
    {
        const PageCountThread gone(f.inputs, page, [&] { ++stopped; });
    }
    EXPECT_LE(stopped.load(), 1);
}

TEST(ReportPainterTest, FailureAfterTheDocumentBeganAbortsTheJob) {
    OutputFixture f;
    fill(f, 200);
    testsupport::TempFolder folder;
    QPdfWriter writer(folder.file(QStringLiteral("x.pdf")));
    writer.setResolution(300);
    writer.setPageLayout(a4Layout());
    bool aborted = false;
    PrintHooks hooks;
    hooks.pageFinished = [](int done) {
        if (done == 2) throw ReportOutputError(QStringLiteral("Papierstau"));
    };
    hooks.abort = [&] { aborted = true; };
    EXPECT_THROW(ReportPainter::print(writer, f.inputs, hooks), ReportOutputError);
    EXPECT_TRUE(aborted);
}

TEST(ReportPainterTest, CancelledPdfLeavesNoFileAndKeepsAnOlderOne) {
    OutputFixture f;
    fill(f, 200);
    testsupport::TempFolder folder;
    const QString target = folder.file(QStringLiteral("bericht.pdf"));
    testsupport::writeFile(target, "older");
    auto cancelAtTwo = [](int done) {
        if (done == 2) throw ReportOutputCancelled(QStringLiteral("abgebrochen"));
    };
    EXPECT_THROW(PdfReportWriter::write(target, f.inputs, a4Layout(), 1200, cancelAtTwo), ReportOutputCancelled);
    EXPECT_EQ(testsupport::readFile(target), QByteArray("older"));
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("bericht.pdf")});
    int last = 0;
    const int pages = PdfReportWriter::write(target, f.inputs, a4Layout(), 1200, [&](int done) { last = done; });
    EXPECT_EQ(last, pages);
    EXPECT_TRUE(testsupport::readFile(target).startsWith("%PDF"));
}

TEST(ReportPainterTest, PdfOnAFullDiskFailsAndKeepsTheOlderFile) {
    testsupport::SmallDisk disk(256);
    if (!disk.ok()) GTEST_SKIP() << disk.skipReason().toStdString();
    OutputFixture f;
    fill(f, 400);
    const QString target = disk.file(QStringLiteral("bericht.pdf"));
    testsupport::writeFile(target, "older");
    disk.fill();
    try {
        PdfReportWriter::write(target, f.inputs, a4Layout(), 1200);
        FAIL() << "a full disk must not count as written";
    } catch (const ReportOutputError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("voll"))) << e.message().toStdString();
    }
    disk.freeSpace();
    EXPECT_EQ(testsupport::readFile(target), QByteArray("older"));
    EXPECT_EQ(QDir(disk.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("bericht.pdf")});
}

// The PDF's words as a text extractor reads them, with their left edge in points: every text the
// layout placed is found there, whole and at its place, whatever characters it holds.
TEST(ReportPainterTest, PdfPagesHoldEveryTextWhereTheLayoutPlacedIt) {
    const QString extractor = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (extractor.isEmpty()) GTEST_SKIP() << "pdftotext (poppler-utils) is missing";
    const QString texts[] = {
        QStringLiteral("Müller&Söhne"), QStringLiteral("ÄÖÜßäöü"), QStringLiteral("½µ§°"),
        QStringLiteral("Linie─Ende"),  // a character the report face lacks comes from another face
        QStringLiteral("Menge𝔸"),      // beyond the basic plane
    };
    QProcess fontList;  // where no installed font has that character, it cannot come out as text
    fontList.start(QStringLiteral("fc-list"), {QStringLiteral(":charset=1d538"), QStringLiteral("family")});
    const bool planeOneFont = fontList.waitForFinished(10000) && !fontList.readAllStandardOutput().trimmed().isEmpty();
    OutputFixture f;
    f.data.modus = 5;
    f.inputs.currency = QStringLiteral("EUR");
    for (int i = 0; i < 90; ++i)
        f.booking(f.ein, i % 28, QStringLiteral("B%1").arg(i), 8400, 10 + i, 19, texts[i % std::size(texts)]);
    testsupport::TempFolder folder;
    const QString target = folder.file(QStringLiteral("liste.pdf"));
    const int resolution = 600;
    const int pages = PdfReportWriter::write(target, f.inputs, a4Layout(), resolution);

    const QRect paint = a4Layout().paintRectPixels(resolution);
    int laidOut = 0;
    const std::vector<DrawnItem> items = f.run(PageParams{true, 0, resolution, paint.width(), paint.height()}, &laidOut);
    ASSERT_EQ(pages, laidOut);
    QProcess tool;
    tool.start(extractor, {QStringLiteral("-bbox"), target, QStringLiteral("-")});
    ASSERT_TRUE(tool.waitForFinished(30000));
    const QString html = QString::fromUtf8(tool.readAllStandardOutput());
    static const QRegularExpression pageOrWord(
        QStringLiteral("<page |<word xMin=\"([0-9.]+)\" yMin=\"[0-9.]+\" xMax=\"([0-9.]+)\"[^>]*>([^<]*)</word>"));
    std::vector<std::tuple<int, double, QString, double>> words;  // page, left, text, right
    int page = -1;
    for (const auto& m : pageOrWord.globalMatch(html)) {
        if (m.captured(0).startsWith(QStringLiteral("<page")))
            ++page;
        else
            words.emplace_back(page, m.captured(1).toDouble(), m.captured(3), m.captured(2).toDouble());
    }
    EXPECT_EQ(page + 1, pages);
    const QRectF paintPoints = a4Layout().paintRect(QPageLayout::Point);
    const ReportFonts fonts(resolution);
    int checked = 0;
    for (const DrawnItem& item : items) {
        if (item.text.contains(QLatin1Char(' ')) || (!planeOneFont && item.text.startsWith(QStringLiteral("Menge"))))
            continue;
        const double left = paintPoints.left() + item.x * 72.0 / resolution;
        // The extractor ends a word where the face changes: the stand-in character follows on its own.
        const QString standIn = QStringLiteral("𝔸");
        const QString first = QString(item.text).remove(standIn).toHtmlEscaped();
        const double right = left + fonts.width(item.role, item.text) * 72.0 / resolution;
        const bool same = std::any_of(words.begin(), words.end(), [&](const auto& w) {
            return std::get<0>(w) == item.page && std::abs(std::get<1>(w) - left) < 0.05 && std::get<2>(w) == first &&
                   (first != item.text.toHtmlEscaped() || std::abs(std::get<3>(w) - right) < 0.1);
        });
        if (item.text.contains(standIn)) {
            EXPECT_TRUE(std::any_of(words.begin(), words.end(), [&](const auto& w) {
                return std::get<0>(w) == item.page && std::get<1>(w) > left && std::get<2>(w) == standIn;
            }));
        }
        EXPECT_TRUE(same) << "page " << item.page << ": " << item.text.toStdString() << " at " << left << "-" << right;
        ++checked;
    }
    EXPECT_GT(checked, 300);
}

}  // namespace
