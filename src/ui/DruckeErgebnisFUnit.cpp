// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/DruckeErgebnisFUnit.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPrinter>
#include <QProgressDialog>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QWheelEvent>
#include <cmath>

#include "reports/output/PageCountThread.h"
#include "reports/output/PdfReportWriter.h"
#include "reports/output/ReportFormat.h"
#include "reports/output/ReportOutputError.h"
#include "reports/output/ReportPainter.h"
#include "ui/AppPrinter.h"
#include "ui/UiMessages.h"

// The paint box of the preview: paints the requested page at its own size.
class ReportPreviewBox : public QWidget {
public:
    ReportPreviewBox(TDruckeErgebnisForm& form, QWidget* parent) : QWidget(parent), m_form(form) {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        m_form.paintPreview(painter);
    }

private:
    TDruckeErgebnisForm& m_form;
};

namespace {

// Without the program's windows (a report window of its own): no address, the euro sign, and accounts
// by number only.
TDruckeErgebnisForm::Sources standaloneSources() {
    TDruckeErgebnisForm::Sources s;
    s.address = [] { return QStringList(); };
    s.currency = [] { return QStringLiteral("€"); };
    s.findEinnahmeKonto = [](int nr) { return QStringLiteral("Konto ") + QString::number(nr); };
    s.findAusgabeKonto = s.findEinnahmeKonto;
    return s;
}

QSpinBox* spinEdit(QWidget* parent, const char* name, int from, int to, int step, int value) {
    auto* edit = new QSpinBox(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setRange(from, to);
    edit->setSingleStep(step);
    edit->setValue(value);
    edit->setAlignment(Qt::AlignRight);
    edit->setKeyboardTracking(true);
    return edit;
}

// Rounds to the nearest integer, ties to even.
int roundEven(double value) {
    return static_cast<int>(std::nearbyint(value));
}

}  // namespace

TDruckeErgebnisForm::TDruckeErgebnisForm(QWidget* parent, OptionStore* store)
    : QDialog(parent), m_sources(standaloneSources()) {
    setObjectName(QStringLiteral("TDruckeErgebnisForm"));
    setWindowTitle(QStringLiteral("Datensatz drucken"));
    setModal(true);
    resize(880, 495);

    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFixedHeight(73);

    BackBtn = new QPushButton(QStringLiteral("Zurück"), panel);
    BackBtn->setObjectName(QStringLiteral("BackBtn"));
    BackBtn->setGeometry(8, 8, 97, 33);
    BackBtn->setDefault(true);
    connect(BackBtn, &QPushButton::clicked, this, &QDialog::accept);

    DruckenBtn = new QPushButton(QStringLiteral("Drucken..."), panel);
    DruckenBtn->setObjectName(QStringLiteral("DruckenBtn"));
    DruckenBtn->setGeometry(112, 8, 121, 33);
    connect(DruckenBtn, &QPushButton::clicked, this, &TDruckeErgebnisForm::DruckenBtnClick);

    PdfBtn = new QPushButton(QStringLiteral("Als PDF speichern..."), panel);
    PdfBtn->setObjectName(QStringLiteral("PdfBtn"));
    PdfBtn->setGeometry(240, 8, 165, 33);
    connect(PdfBtn, &QPushButton::clicked, this, &TDruckeErgebnisForm::PdfBtnClick);

    DruckereinrichtenBtn = new QPushButton(QStringLiteral("Drucker einrichten..."), panel);
    DruckereinrichtenBtn->setObjectName(QStringLiteral("DruckereinrichtenBtn"));
    DruckereinrichtenBtn->setGeometry(412, 8, 185, 33);
    connect(DruckereinrichtenBtn, &QPushButton::clicked, this, &TDruckeErgebnisForm::DruckereinrichtenBtnClick);

    CsvBtn = new QPushButton(QStringLiteral("Als CSV speichern..."), panel);
    CsvBtn->setObjectName(QStringLiteral("CsvBtn"));
    CsvBtn->setGeometry(412, 43, 185, 27);
    CsvBtn->hide();
    connect(CsvBtn, &QPushButton::clicked, this, [this] {
        if (csvExport) csvExport();
    });

    Label1 = new QLabel(QStringLiteral("Zoom in %:"), panel);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->move(604, 8);
    ZoomEd = spinEdit(panel, "ZoomEd", 1, 1000, 10, 100);
    ZoomEd->setGeometry(604, 32, 81, 26);
    Label1->setBuddy(ZoomEd);

    Label2 = new QLabel(QStringLiteral("Seite:"), panel);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->move(696, 8);
    PageEd = spinEdit(panel, "PageEd", 1, 10000, 1, 1);
    PageEd->setGeometry(696, 32, 81, 26);
    Label2->setBuddy(PageEd);
    PageCountLabel = new QLabel(panel);
    PageCountLabel->setObjectName(QStringLiteral("PageCountLabel"));
    PageCountLabel->setGeometry(784, 36, 90, 20);

    ResizeToPageWidthCheck = new QCheckBox(QStringLiteral("Vergrößern auf Seitenbreite"), panel);
    ResizeToPageWidthCheck->setObjectName(QStringLiteral("ResizeToPageWidthCheck"));
    ResizeToPageWidthCheck->setGeometry(8, 48, 353, 17);

    ScrollBox1 = new QScrollArea(this);
    ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
    ScrollBox1->setWidgetResizable(false);
    ScrollBox1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // The page area takes the focus (click or Tab) and answers the paging keys.
    ScrollBox1->setFocusPolicy(Qt::StrongFocus);
    ScrollBox1->setAccessibleName(QStringLiteral("Seitenvorschau"));
    ScrollBox1->installEventFilter(this);
    ZoomEd->installEventFilter(this);
    PageEd->installEventFilter(this);
    PaintBox1 = new ReportPreviewBox(*this, nullptr);
    PaintBox1->setObjectName(QStringLiteral("PaintBox1"));
    ScrollBox1->setWidget(PaintBox1);
    ScrollBox1->viewport()->installEventFilter(this);

    panel->setGeometry(0, 0, width(), 73);
    ScrollBox1->setGeometry(0, 73, width(), height() - 73);

    setTabOrder(BackBtn, DruckenBtn);
    setTabOrder(DruckenBtn, PdfBtn);
    setTabOrder(PdfBtn, ZoomEd);
    setTabOrder(ZoomEd, PageEd);
    setTabOrder(PageEd, DruckereinrichtenBtn);
    setTabOrder(DruckereinrichtenBtn, ResizeToPageWidthCheck);
    setTabOrder(ResizeToPageWidthCheck, CsvBtn);
    setTabOrder(CsvBtn, ScrollBox1);

    connect(ZoomEd, &QSpinBox::valueChanged, this, &TDruckeErgebnisForm::PaintBox1Paint);
    connect(PageEd, &QSpinBox::valueChanged, this, &TDruckeErgebnisForm::PaintBox1Paint);
    connect(ResizeToPageWidthCheck, &QCheckBox::toggled, this, &TDruckeErgebnisForm::PaintBox1Paint);

    m_storage = std::make_unique<FormStorage>(this, QStringLiteral("TDruckeErgebnisForm"), true, store);
    m_storage->addCheck(ResizeToPageWidthCheck, false);
}

TDruckeErgebnisForm::~TDruckeErgebnisForm() {
    releaseReport();
}

int TDruckeErgebnisForm::showReport() {
    CsvBtn->setVisible(bool(csvExport));
    reportChanged();
    PageEd->setValue(1);
    ScrollBox1->verticalScrollBar()->setValue(0);
    ScrollBox1->horizontalScrollBar()->setValue(0);
    ScrollBox1->setFocus();
    return exec();
}

void TDruckeErgebnisForm::reportChanged() {
    releaseReport();
    // The caption names the report shown.
    setWindowTitle(report.cap.isEmpty() ? QStringLiteral("Auswertung") : report.cap);
    m_cache.clear();
    m_pageCount = 0;
    // A long list is counted aside from its first paint on.
    m_countAside = PageCountThread::worthIt(inputs());
    PaintBox1Paint();
}

void TDruckeErgebnisForm::releaseReport() {
    m_counting.reset();
}

void TDruckeErgebnisForm::done(int result) {
    // The command releases the arrays once the window is closed.
    releaseReport();
    QDialog::done(result);
}

void TDruckeErgebnisForm::startCountAside(const PageGeometry& page) {
    m_counting.reset();
    m_pageCount = 0;
    m_counting = std::make_unique<PageCountThread>(inputs(), page, [this] {
        QMetaObject::invokeMethod(
            this, [this] { countAsideEnded(); }, Qt::QueuedConnection);
    });
}

bool TDruckeErgebnisForm::takeCountAside(const PageGeometry& page) {
    if (!m_counting || m_counting->page() != page) return false;
    const int pages = m_counting->wait();
    if (pages < 0) return false;
    m_cache = m_counting->takeMeasurements();
    setPageCount(pages);
    return true;
}

void TDruckeErgebnisForm::countAsideEnded() {
    // A count stopped or replaced in the meantime has nothing to say.
    if (m_counting && m_counting->ended() && m_pageCount == 0) takeCountAside(printerPage());
}

int TDruckeErgebnisForm::knownPageCount() {
    if (m_pageCount > 0) return m_pageCount;
    const PageGeometry page = printerPage();
    if (m_countAside && !m_counting) startCountAside(page);  // asked before the first paint
    // A count that failed leaves the count to a layout here.
    if (!takeCountAside(page)) setPageCount(ReportPainter::countPages(inputs(), page));
    return m_pageCount;
}

ReportInputs TDruckeErgebnisForm::inputs() const {
    ReportInputs in;
    in.data = const_cast<ReportData*>(&report);
    if (m_sources.address) in.address = m_sources.address();
    if (m_sources.currency) in.currency = m_sources.currency();
    in.findEinnahmeKonto = m_sources.findEinnahmeKonto;
    in.findAusgabeKonto = m_sources.findAusgabeKonto;
    in.filterNote = ReportFormat::filterNote(filtertext);
    in.cache = &m_cache;
    in.layout = layout;
    return in;
}

PageGeometry TDruckeErgebnisForm::printerPage() const {
    QPrinter& printer = appPrinter();
    return PageGeometry{printer.resolution(), printer.width(), printer.height()};
}

double TDruckeErgebnisForm::effectiveZoom() const {
    double zoom = ZoomEd->value();
    if (ResizeToPageWidthCheck->isChecked()) {
        const PageGeometry page = printerPage();
        const double onScreen = double(page.width) * PaintBox1->logicalDpiX() / page.resolution;
        if (onScreen > 0) zoom = ScrollBox1->viewport()->width() * 100.0 / onScreen;
    }
    return zoom;
}

void TDruckeErgebnisForm::PaintBox1Paint() {
    const PageGeometry page = printerPage();
    const double zoom = effectiveZoom();
    const int w = roundEven(double(page.width) * PaintBox1->logicalDpiX() / page.resolution * zoom / 100.0);
    const int h = roundEven(double(page.height) * PaintBox1->logicalDpiY() / page.resolution * zoom / 100.0);
    if (PaintBox1->width() != w || PaintBox1->height() != h) PaintBox1->resize(w, h);
    PaintBox1->update();
}

void TDruckeErgebnisForm::paintPreview(QPainter& painter) {
    const qreal ratio = PaintBox1->devicePixelRatioF();
    QImage image(QSize(qMax(1, qRound(PaintBox1->width() * ratio)), qMax(1, qRound(PaintBox1->height() * ratio))),
                 QImage::Format_RGB32);
    const PageGeometry page = printerPage();
    int pages = 0;
    const bool ok = UiMessages::guarded(this, [&] {
        pages = m_countAside ? ReportPainter::paintPage(image, inputs(), page, PageEd->value())
                             : ReportPainter::paintPreview(image, inputs(), page, PageEd->value());
    });
    if (!ok) image.fill(Qt::white);
    image.setDevicePixelRatio(ratio);
    painter.drawImage(QPointF(0, 0), image);
    // The count starts once the page is painted (before, it took the cores from the first paint); another
    // page size (the printer was set up anew) has other pages: counted again.
    if (m_countAside && (!m_counting || m_counting->page() != page)) startCountAside(page);
    // A paint that ended with its page leaves the count to the count aside.
    if (pages > 0 || !m_countAside || m_pageCount == 0) setPageCount(pages);
}

void TDruckeErgebnisForm::setPageCount(int pages) {
    m_pageCount = pages;
    // "von …" while a long list is still being counted.
    const QString text = pages == 0 && m_countAside ? QStringLiteral("von …") : QStringLiteral("von %1").arg(pages);
    if (PageCountLabel->text() != text) {
        PageCountLabel->setText(text);
        PageCountLabel->setAccessibleName(text);
    }
}

void TDruckeErgebnisForm::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    if (auto* panel = findChild<QWidget*>(QStringLiteral("Panel1"))) panel->setGeometry(0, 0, width(), 73);
    ScrollBox1->setGeometry(0, 73, width(), qMax(0, height() - 73));
    PaintBox1Paint();
}

void TDruckeErgebnisForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    PaintBox1Paint();
}

void TDruckeErgebnisForm::DruckereinrichtenBtnClick() {
    setUpPrinter(this);
    // The page size or orientation may have changed: lay out anew whatever the user chose.
    PaintBox1Paint();
}

void TDruckeErgebnisForm::DruckenBtnClick() {
    switch (choosePrintOrPdf(this)) {
        case PrintChoice::Cancel:
            return;
        case PrintChoice::SavePdf:
            PdfBtnClick();
            return;
        case PrintChoice::Print:
            printNow();
            return;
    }
}

bool TDruckeErgebnisForm::printNow() {
    const std::unique_ptr<QPrinter> job = newPrintJob();  // a fresh printer for every job
    QPrinter& printer = *job;
    printer.setDocName(report.cap);
    printer.setCreator(QStringLiteral("Quorvel"));
    const ReportInputs in = inputs();
    return withProgress(QStringLiteral("Drucken"), QStringLiteral("Der Bericht wird gedruckt..."),
                        QStringLiteral("Der Druck wurde abgebrochen."), knownPageCount(),
                        [&](const std::function<void(int)>& pageFinished) {
                            PrintHooks hooks;
                            hooks.pageFinished = pageFinished;
                            hooks.abort = [&] { printer.abort(); };
                            ReportPainter::print(printer, in, hooks);
                        });
}

bool TDruckeErgebnisForm::withProgress(const QString& title, const QString& label, const QString& cancelled, int pages,
                                       const std::function<void(const std::function<void(int)>&)>& work) {
    QProgressDialog progress(label, QStringLiteral("Abbrechen"), 0, qMax(1, pages), this);
    progress.setWindowTitle(title);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    auto pageFinished = [&](int done) {
        progress.setValue(qMin(done, progress.maximum()));
        if (progress.wasCanceled()) throw ReportOutputCancelled(cancelled);
    };
    try {
        work(pageFinished);
        return true;
    } catch (const ReportOutputCancelled&) {
        return false;
    } catch (const std::exception& error) {
        UiMessages::showError(this, UiMessages::errorText(error));
        return false;
    }
}

void TDruckeErgebnisForm::PdfBtnClick() {
    const QString folder = m_pdfFolder.isEmpty() ? QDir::homePath() : m_pdfFolder;
    QString fileName = QFileDialog::getSaveFileName(
        this, QStringLiteral("Als PDF speichern"),
        QDir(folder).filePath(PdfReportWriter::suggestedFileName(report.cap)), QStringLiteral("PDF-Dateien (*.pdf)"));
    if (fileName.isEmpty()) return;
    if (!fileName.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)) fileName += QStringLiteral(".pdf");
    m_pdfFolder = QFileInfo(fileName).absolutePath();
    savePdf(fileName);
}

bool TDruckeErgebnisForm::savePdf(const QString& fileName) {
    const ReportInputs in = inputs();
    const int pages = knownPageCount();
    const QPrinter& printer = appPrinter();
    return withProgress(QStringLiteral("Als PDF speichern"), QStringLiteral("Die PDF-Datei wird geschrieben..."),
                        QStringLiteral("Das Speichern als PDF wurde abgebrochen."), pages,
                        [&](const std::function<void(int)>& pageFinished) {
                            PdfReportWriter::write(fileName, in, printer.pageLayout(), printer.resolution(),
                                                   pageFinished);
                        });
}

void TDruckeErgebnisForm::FormMouseWheelDown() {
    QScrollBar* bar = ScrollBox1->verticalScrollBar();
    bar->setValue(bar->value() + 20);
}

void TDruckeErgebnisForm::FormMouseWheelUp() {
    QScrollBar* bar = ScrollBox1->verticalScrollBar();
    bar->setValue(bar->value() - 20);
}

bool TDruckeErgebnisForm::wheel(QWheelEvent* event) {
    const int delta = event->angleDelta().y();
    if (delta == 0) return false;
    // One step per notch of 120; high-resolution wheels send parts of a notch and add up.
    const int steps = qMax(1, std::abs(delta) / 120);
    for (int i = 0; i < steps; ++i) delta < 0 ? FormMouseWheelDown() : FormMouseWheelUp();
    return true;
}

void TDruckeErgebnisForm::wheelEvent(QWheelEvent* event) {
    if (!wheel(event)) QDialog::wheelEvent(event);
}

bool TDruckeErgebnisForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ScrollBox1->viewport() && event->type() == QEvent::Wheel)
        return wheel(static_cast<QWheelEvent*>(event));
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (watched == ScrollBox1) return previewKey(key);
        if (watched == ZoomEd || watched == PageEd) return applyOnEnter(watched, key);
    }
    return QDialog::eventFilter(watched, event);
}

bool TDruckeErgebnisForm::applyOnEnter(QObject* watched, QKeyEvent* event) {
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) return false;
    auto* edit = static_cast<QSpinBox*>(watched);
    // Not the default button: the value is taken as typed (or, when it cannot be, the last valid one is
    // shown again), and the preview follows.
    edit->interpretText();
    edit->selectAll();
    PaintBox1Paint();
    return true;
}

void TDruckeErgebnisForm::showPage(int page, bool atFoot) {
    PageEd->setValue(page);
    QScrollBar* bar = ScrollBox1->verticalScrollBar();
    bar->setValue(atFoot ? bar->maximum() : bar->minimum());
}

bool TDruckeErgebnisForm::previewKey(QKeyEvent* event) {
    QScrollBar* vertical = ScrollBox1->verticalScrollBar();
    QScrollBar* horizontal = ScrollBox1->horizontalScrollBar();
    const int page = PageEd->value();
    const int last = qMax(1, knownPageCount());
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    const int screen = qMax(20, ScrollBox1->viewport()->height() - 20);
    switch (event->key()) {
        case Qt::Key_Up:
            FormMouseWheelUp();
            return true;
        case Qt::Key_Down:
            FormMouseWheelDown();
            return true;
        case Qt::Key_Left:
            horizontal->setValue(horizontal->value() - 20);
            return true;
        case Qt::Key_Right:
            horizontal->setValue(horizontal->value() + 20);
            return true;
        case Qt::Key_PageUp:
            if (vertical->value() > vertical->minimum())
                vertical->setValue(vertical->value() - screen);
            else if (page > 1)
                showPage(page - 1, true);
            return true;
        case Qt::Key_PageDown:
            if (vertical->value() < vertical->maximum())
                vertical->setValue(vertical->value() + screen);
            else if (page < last)
                showPage(page + 1, false);
            return true;
        case Qt::Key_Home:
            if (ctrl)
                showPage(1, false);
            else
                vertical->setValue(vertical->minimum());
            return true;
        case Qt::Key_End:
            if (ctrl)
                showPage(last, true);
            else
                vertical->setValue(vertical->maximum());
            return true;
        default:
            return false;
    }
}
