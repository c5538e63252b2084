// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

#include "reports/data/ReportData.h"
#include "reports/output/MeasureCache.h"
#include "reports/output/ReportInputs.h"
#include "ui/FormStorage.h"

class OptionStore;
class QCheckBox;
class QKeyEvent;
class QLabel;
class QPainter;
class QPushButton;
class QScrollArea;
class QSpinBox;
class QWidget;
class ReportPreviewBox;
class PageCountThread;

// The report window: one page of the current report at a time, scaled to the screen, printing of the
// whole report and saving it as PDF. A report command fills `report` and calls showReport(); the window
// reads the arrays while it is shown and changes nothing in them.
//
// The layout always runs at the printer's resolution on the printer's page, so the preview breaks lines,
// columns and pages exactly as the printout does; only the requested page is painted, scaled straight
// into an image of the preview's size.
class TDruckeErgebnisForm : public QDialog {
    Q_OBJECT
public:
    // Where the pages take the company address, the currency text and the account names from. The program
    // hands over its address and currency dialogs and the main window's account tables; a window of its
    // own has no address, the euro sign and accounts by number.
    struct Sources {
        std::function<QStringList()> address;
        std::function<QString()> currency;
        std::function<QString(int)> findEinnahmeKonto;
        std::function<QString(int)> findAusgabeKonto;
    };

    explicit TDruckeErgebnisForm(QWidget* parent = nullptr, OptionStore* store = nullptr);
    ~TDruckeErgebnisForm() override;

    // The hand-over of the report command.
    ReportData report;
    // A layout of its own and its CSV export (the tax forms); the command sets both and clears them after.
    // The button "Als CSV speichern..." shows only while csvExport is set.
    std::function<int(ReportCanvas&, const ReportInputs&, const PageParams&)> layout;
    std::function<void()> csvExport;
    // The journal's text filter the report was collected under, as the user typed it; empty when the
    // report covers every booking of the period. The pages name it under the heading.
    QString filtertext;
    // Sets PageEd to 1 and shows the window modally; returns when it closes.
    int showReport();
    // Call after changing `report` while the window is shown (showReport does it itself).
    void reportChanged();
    // Call before the arrays of `report` go: a page count still running on them stops.
    void releaseReport();

    void setSources(Sources sources) { m_sources = std::move(sources); }
    ReportInputs inputs() const;
    // The printer page the report is laid out on.
    PageGeometry printerPage() const;
    // Pages of the current report as far as known: from the last repaint, or for a long list from its
    // count on a thread of its own once that has ended (0 before).
    int pageCount() const { return m_pageCount; }
    // Pages of the current report, waited for or counted now when not yet known.
    int knownPageCount();
    // The zoom in percent the preview uses now (ZoomEd, or the page-width zoom).
    double effectiveZoom() const;

    // Writes the report as PDF to fileName with a cancellable progress dialog; true when written. Shows
    // failures itself.
    bool savePdf(const QString& fileName);

    FormStorage& storage() { return *m_storage; }

    QPushButton* BackBtn = nullptr;
    QPushButton* DruckenBtn = nullptr;
    QPushButton* PdfBtn = nullptr;
    QPushButton* DruckereinrichtenBtn = nullptr;
    QPushButton* CsvBtn = nullptr;
    QLabel* Label1 = nullptr;
    QSpinBox* ZoomEd = nullptr;
    QLabel* Label2 = nullptr;
    QSpinBox* PageEd = nullptr;
    QLabel* PageCountLabel = nullptr;  // "von n"
    QCheckBox* ResizeToPageWidthCheck = nullptr;
    QScrollArea* ScrollBox1 = nullptr;
    QWidget* PaintBox1 = nullptr;

    // Handlers.
    void PaintBox1Paint();
    void DruckereinrichtenBtnClick();
    void DruckenBtnClick();
    void PdfBtnClick();
    void FormMouseWheelDown();
    void FormMouseWheelUp();

public slots:
    void done(int result) override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class ReportPreviewBox;
    void paintPreview(QPainter& painter);
    void setPageCount(int pages);
    // A long list: its first pages are painted at once, its pages counted aside (PageCountThread).
    void startCountAside(const PageGeometry& page);
    // On the window's thread once the count aside has ended: its count and measurements are taken over.
    void countAsideEnded();
    // Waits for the count aside when it was made for `page` and takes over its count and measurements;
    // false when there is none for that page or it failed.
    bool takeCountAside(const PageGeometry& page);
    bool printNow();
    // Runs `work` under a cancellable progress dialog over `pages` pages; `work` reports each finished page.
    // An error is shown; true when the work completed.
    bool withProgress(const QString& title, const QString& label, const QString& cancelled, int pages,
                      const std::function<void(const std::function<void(int)>&)>& work);
    bool wheel(QWheelEvent* event);
    // Keys of the page area: arrows scroll, PageUp/PageDown scroll by a screen and turn the page at its
    // ends, Home/End go to the top or foot of the page, with Ctrl to the first or last page.
    bool previewKey(QKeyEvent* event);
    // Enter in ZoomEd or PageEd applies the typed value; the window stays open.
    bool applyOnEnter(QObject* watched, QKeyEvent* event);
    void showPage(int page, bool atFoot);

    Sources m_sources;
    // Measurements of the shown report, kept between repaints; cleared for every new report.
    mutable MeasureCache m_cache;
    int m_pageCount = 0;
    bool m_countAside = false;  // the current report counts its pages aside
    std::unique_ptr<PageCountThread> m_counting;
    QString m_pdfFolder;
    std::unique_ptr<FormStorage> m_storage;
};
