// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QTest>
#include <QWheelEvent>
#include <deque>

#include "UiTestSupport.h"
#include "reports/output/PageCountThread.h"
#include "reports/output/PdfReportWriter.h"
#include "reports/output/ReportPainter.h"
#include "startup/OptionStore.h"
#include "storage/DayNumber.h"
#include "support/TestSupport.h"
#include "ui/AppPrinter.h"
#include "ui/DruckeErgebnisFUnit.h"

namespace {

// A report window over an all-bookings list of n bookings, with its options in a temporary INI file.
class ReportWindow {
public:
    explicit ReportWindow(int bookings, const QString& cap = QStringLiteral("Alle Buchungen 01.01.2026 - 31.12.2026"))
        : store(folder.file(QStringLiteral("Quorvel.ini"))), form(nullptr, &store) {
        for (int i = 0; i < bookings; ++i) {
            TKontoRec* r = ein.Add();
            r->konto = 8400;
            r->mwstsatz = 19;
            r->brutto = 119 + i;
            r->mwst = r->brutto * 19 / 119;
            r->netto = r->brutto * 100 / 119;
            strings.push_back(u"B" + std::u16string(1, char16_t(u'0' + i % 10)));
            r->beleg = strings.back().data();
            strings.push_back(u"Zeile");
            r->text = strings.back().data();
            r->datum = DayNumber::fromDate(QDate(2026, 3, 1));
        }
        form.report.modus = 5;
        form.report.cap = cap;
        form.report.ein = &ein;
        form.report.akonto = &akonto;
        form.setSources(
            {[] { return QStringList{QStringLiteral("Muster GmbH")}; }, [] { return QStringLiteral("€"); }, {}, {}});
        form.resize(820, 600);
        form.show();
        form.reportChanged();
        settle();
    }
    ~ReportWindow() { form.hide(); }

    void settle() {
        for (int i = 0; i < 3; ++i) QApplication::processEvents();
        // Paint now, so the page count is known.
        form.PaintBox1->repaint();
    }
    QImage preview() { return form.PaintBox1->grab().toImage(); }
    double pageWidthOnScreen() const {
        const PageGeometry page = form.printerPage();
        return double(page.width) * form.PaintBox1->logicalDpiX() / page.resolution;
    }

    testsupport::TempFolder folder;
    OptionStore store;
    TKontoRec* akonto = nullptr;
    TKontoArray ein{&akonto};
    std::deque<std::u16string> strings;
    TDruckeErgebnisForm form;
};

bool allWhite(const QImage& image) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < rgb.height(); ++y)
        for (int x = 0; x < rgb.width(); ++x)
            if (rgb.pixel(x, y) != qRgb(255, 255, 255)) return false;
    return true;
}

TEST(DruckeErgebnisFormTest, ZoomSizesThePreviewToThePhysicalPage) {
    ReportWindow w(10);
    const PageGeometry page = w.form.printerPage();
    const int dpi = w.form.PaintBox1->logicalDpiX();
    EXPECT_EQ(w.form.PaintBox1->width(), qRound(double(page.width) * dpi / page.resolution));
    QTest::keyClick(w.form.ZoomEd, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(w.form.ZoomEd, QStringLiteral("200"));
    w.settle();
    EXPECT_EQ(w.form.ZoomEd->value(), 200);
    EXPECT_NEAR(w.form.PaintBox1->width(), 2.0 * page.width * dpi / page.resolution, 1.0);
    EXPECT_NEAR(w.form.PaintBox1->height(), 2.0 * page.height * w.form.PaintBox1->logicalDpiY() / page.resolution, 1.0);
    EXPECT_GT(w.form.ScrollBox1->verticalScrollBar()->maximum(), 0);
}

TEST(DruckeErgebnisFormTest, PageWidthFitsTheScrollBoxAndKeepsTheZoomNumber) {
    ReportWindow w(10);
    w.form.ZoomEd->setValue(50);
    QTest::mouseClick(w.form.ResizeToPageWidthCheck, Qt::LeftButton, {}, QPoint(5, 8));
    w.settle();
    ASSERT_TRUE(w.form.ResizeToPageWidthCheck->isChecked());
    EXPECT_EQ(w.form.ZoomEd->value(), 50);
    EXPECT_NEAR(w.form.PaintBox1->width(), w.form.ScrollBox1->viewport()->width(), 1);
    // Resizing the window rescales the page to the new width.
    w.form.resize(1000, 600);
    w.settle();
    EXPECT_NEAR(w.form.PaintBox1->width(), w.form.ScrollBox1->viewport()->width(), 1);
    QTest::mouseClick(w.form.ResizeToPageWidthCheck, Qt::LeftButton, {}, QPoint(5, 8));
    w.settle();
    EXPECT_NEAR(w.form.PaintBox1->width(), 0.5 * w.pageWidthOnScreen(), 1);
}

TEST(DruckeErgebnisFormTest, PageCountBesidePageEdAndABlankPageAfterTheLast) {
    ReportWindow w(150);
    EXPECT_GE(w.form.pageCount(), 3);
    EXPECT_EQ(w.form.PageCountLabel->text(), QStringLiteral("von %1").arg(w.form.pageCount()));
    EXPECT_FALSE(allWhite(w.preview()));
    w.form.PageEd->setFocus();
    QTest::keyClick(w.form.PageEd, Qt::Key_Up);
    w.settle();
    EXPECT_EQ(w.form.PageEd->value(), 2);
    EXPECT_FALSE(allWhite(w.preview()));
    w.form.PageEd->setValue(w.form.pageCount() + 1);
    w.settle();
    EXPECT_TRUE(allWhite(w.preview()));
    EXPECT_EQ(w.form.PageCountLabel->text(), QStringLiteral("von %1").arg(w.form.pageCount()));
}

// A long list shows its first page without waiting for its page count, which follows from a thread of its
// own; Ctrl+End waits for it. A new report or closing the window while it counts stops the count.
TEST(DruckeErgebnisFormTest, ALongListShowsItsFirstPageAndItsCountWhenKnown) {
    ReportWindow w(int(PageCountThread::kFromRecords));
    const int pages = ReportPainter::countPages(w.form.inputs(), w.form.printerPage());
    EXPECT_FALSE(allWhite(w.preview()));
    const QString label = w.form.PageCountLabel->text();
    EXPECT_TRUE(label == QStringLiteral("von …") || label == QStringLiteral("von %1").arg(pages))
        << label.toStdString();
    EXPECT_EQ(w.form.PageCountLabel->accessibleName(), label);
    QElapsedTimer waited;
    waited.start();
    while (w.form.PageCountLabel->text() == QStringLiteral("von …") && waited.elapsed() < 20000)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_EQ(w.form.PageCountLabel->text(), QStringLiteral("von %1").arg(pages));
    EXPECT_EQ(w.form.PageCountLabel->accessibleName(), w.form.PageCountLabel->text());

    w.form.reportChanged();
    QTest::keyClick(w.form.ScrollBox1, Qt::Key_End, Qt::ControlModifier);
    w.settle();
    EXPECT_EQ(w.form.PageEd->value(), pages);
    EXPECT_EQ(w.form.pageCount(), pages);
    EXPECT_FALSE(allWhite(w.preview()));

    // Another page (the printer set up anew) is counted again: the count of the old page is not kept.
    appPrinter().setPageOrientation(QPageLayout::Landscape);
    const int across = ReportPainter::countPages(w.form.inputs(), w.form.printerPage());
    ASSERT_NE(across, pages);
    w.settle();
    EXPECT_EQ(w.form.knownPageCount(), across);
    EXPECT_EQ(w.form.PageCountLabel->text(), QStringLiteral("von %1").arg(across));
    appPrinter().setPageOrientation(QPageLayout::Portrait);

    w.form.reportChanged();
    w.form.reject();
    EXPECT_FALSE(w.form.isVisible());
}

TEST(DruckeErgebnisFormTest, MouseWheelScrollsTwentyPixelsPerStep) {
    ReportWindow w(10);
    w.form.ZoomEd->setValue(300);
    w.settle();
    QScrollBar* bar = w.form.ScrollBox1->verticalScrollBar();
    ASSERT_GT(bar->maximum(), 100);
    bar->setValue(60);
    QWidget* viewport = w.form.ScrollBox1->viewport();
    auto turn = [&](int delta) {
        const QPointF at(20, 20);
        QWheelEvent event(at, viewport->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(viewport, &event);
    };
    turn(-120);
    EXPECT_EQ(bar->value(), 80);
    turn(120);
    turn(120);
    EXPECT_EQ(bar->value(), 40);
}

TEST(DruckeErgebnisFormTest, TabOrderAndTheStoredPageWidthCheck) {
    testsupport::TempFolder folder;
    const QString ini = folder.file(QStringLiteral("Quorvel.ini"));
    {
        OptionStore store(ini);
        TDruckeErgebnisForm form(nullptr, &store);
        form.show();
        QApplication::setActiveWindow(&form);
        form.BackBtn->setFocus();
        QList<QWidget*> order;
        for (int i = 0; i < 7; ++i) {
            QWidget* focus = QApplication::focusWidget();
            order << focus;
            QTest::keyClick(focus, Qt::Key_Tab);
        }
        EXPECT_EQ(order, (QList<QWidget*>{form.BackBtn, form.DruckenBtn, form.PdfBtn, form.ZoomEd, form.PageEd,
                                          form.DruckereinrichtenBtn, form.ResizeToPageWidthCheck}));
        form.ResizeToPageWidthCheck->setChecked(true);
        form.hide();
    }
    OptionStore store(ini);
    TDruckeErgebnisForm again(nullptr, &store);
    again.show();
    EXPECT_TRUE(again.ResizeToPageWidthCheck->isChecked());
    again.hide();
}

TEST(DruckeErgebnisFormTest, SavesThePdfWithTheSamePagesAndNoTemporaryFileLeft) {
    ReportWindow w(150);
    w.form.filtertext = QStringLiteral("müller");
    const QString file = w.folder.file(QStringLiteral("alle.pdf"));
    ASSERT_TRUE(w.form.savePdf(file));
    QStringList files = QDir(w.folder.path()).entryList(QDir::Files | QDir::Hidden);
    files.removeAll(QStringLiteral("Quorvel.ini"));
    EXPECT_EQ(files, QStringList{QStringLiteral("alle.pdf")});
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), file, QStringLiteral("-")});
    if (!text.waitForFinished(30000) || text.exitCode() != 0) GTEST_SKIP() << "pdftotext is not available";
    const QString out = QString::fromUtf8(text.readAllStandardOutput());
    EXPECT_TRUE(out.contains(QStringLiteral("Alle Buchungen 01.01.2026 - 31.12.2026")));
    EXPECT_TRUE(out.contains(QStringLiteral("Zwischensumme")));
    EXPECT_TRUE(out.contains(QStringLiteral("Nur Buchungen mit »müller«")));
    EXPECT_TRUE(out.contains(QStringLiteral("Seite %1").arg(w.form.pageCount())));
    EXPECT_EQ(out.count(QLatin1Char('\f')), w.form.pageCount());
    EXPECT_EQ(PdfReportWriter::suggestedFileName(QStringLiteral("Ausgaben 01.01.2026 - 31.12.2026 Konto 4: Bü/ro")),
              QStringLiteral("Ausgaben 01.01.2026 - 31.12.2026 Konto 4_ Bü_ro.pdf"));
}

TEST(DruckeErgebnisFormTest, PdfIntoAMissingFolderSaysSoAndLeavesNothing) {
    ReportWindow w(5);
    uitest::MessageBoxAnswer answer;
    EXPECT_FALSE(w.form.savePdf(w.folder.file(QStringLiteral("fehlt/x.pdf"))));
    EXPECT_TRUE(answer.answered());
    EXPECT_TRUE(answer.text().contains(QStringLiteral("Der Ordner existiert nicht"))) << answer.text().toStdString();
    QStringList left = QDir(w.folder.path()).entryList(QDir::Files | QDir::Hidden | QDir::Dirs | QDir::NoDotAndDotDot);
    left.removeAll(QStringLiteral("Quorvel.ini"));
    EXPECT_TRUE(left.isEmpty()) << left.join(QLatin1Char(' ')).toStdString();
}

// The page area takes the focus and pages with the keyboard; Enter in the two number fields applies the
// value and leaves the window open.
TEST(DruckeErgebnisFormTest, KeysPageTheReportAndEnterAppliesWithoutClosing) {
    ReportWindow w(300);
    QApplication::setActiveWindow(&w.form);
    w.form.ZoomEd->setValue(200);
    w.settle();
    const int last = w.form.pageCount();
    ASSERT_GE(last, 5);
    QScrollBar* bar = w.form.ScrollBox1->verticalScrollBar();
    QScrollBar* across = w.form.ScrollBox1->horizontalScrollBar();
    ASSERT_GT(bar->maximum(), 200);
    w.form.ResizeToPageWidthCheck->setFocus();
    QTest::keyClick(w.form.ResizeToPageWidthCheck, Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), w.form.ScrollBox1);

    struct Step {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int page;  // expected afterwards
        int scroll;  // -1 top, 1 foot, 0 between
    };
    const Step steps[] = {
        {Qt::Key_Down, {}, 1, 0},           {Qt::Key_End, {}, 1, 1},
        {Qt::Key_PageDown, {}, 2, -1},      {Qt::Key_PageDown, {}, 2, 0},
        {Qt::Key_Home, {}, 2, -1},          {Qt::Key_PageUp, {}, 1, 1},
        {Qt::Key_Up, {}, 1, 0},             {Qt::Key_End, Qt::ControlModifier, last, 1},
        {Qt::Key_PageDown, {}, last, 1},    {Qt::Key_Home, Qt::ControlModifier, 1, -1},
        {Qt::Key_PageUp, {}, 1, -1},
    };
    for (const Step& step : steps) {
        QTest::keyClick(w.form.ScrollBox1, step.key, step.modifiers);
        w.settle();
        EXPECT_EQ(w.form.PageEd->value(), step.page) << step.key;
        if (step.scroll < 0) EXPECT_EQ(bar->value(), bar->minimum()) << step.key;
        if (step.scroll > 0) EXPECT_EQ(bar->value(), bar->maximum()) << step.key;
        if (step.scroll == 0) EXPECT_TRUE(bar->value() > bar->minimum() && bar->value() < bar->maximum()) << step.key;
        EXPECT_TRUE(w.form.isVisible());
    }
    if (across->maximum() > 0) {
        QTest::keyClick(w.form.ScrollBox1, Qt::Key_Right);
        EXPECT_EQ(across->value(), 20);
        QTest::keyClick(w.form.ScrollBox1, Qt::Key_Left);
        EXPECT_EQ(across->value(), 0);
    }

    for (QSpinBox* edit : {w.form.PageEd, w.form.ZoomEd}) {
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(edit, QStringLiteral("3"));
        QTest::keyClick(edit, Qt::Key_Return);
        w.settle();
        EXPECT_TRUE(w.form.isVisible()) << edit->objectName().toStdString();
        EXPECT_EQ(edit->value(), 3);
        EXPECT_EQ(w.form.result(), 0);
    }
    EXPECT_EQ(w.form.PageCountLabel->accessibleName(), w.form.PageCountLabel->text());
    EXPECT_EQ(w.form.windowTitle(), QStringLiteral("Alle Buchungen 01.01.2026 - 31.12.2026"));
}

}  // namespace
