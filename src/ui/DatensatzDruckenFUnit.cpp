// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/DatensatzDruckenFUnit.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QFileDialog>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPushButton>
#include <QScopeGuard>
#include <QStyle>
#include <QTextDocument>
#include <QTextEdit>
#include <algorithm>
#include <memory>

#include "storage/SafeFile.h"
#include "storage/StorageError.h"
#include "ui/AppPrinter.h"
#include "ui/UiMessages.h"
#include "ui/WaitCursor.h"

namespace {

constexpr int kStripHeight = 49;

QFont recordFont() {
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(11);
    return font;
}

// The values follow "NAME: " padded with blanks and a tab. In a proportional font the padded names differ
// in width; a tab stop beyond the widest of them puts every value in one column.
qreal tabStopFor(const QString& text, const QFont& font) {
    const QFontMetricsF metrics(font);
    qreal widest = 0;
    for (const QStringView line : QStringView(text).split(QLatin1Char('\n'))) {
        const qsizetype tab = line.indexOf(QLatin1Char('\t'));
        if (tab >= 0) widest = std::max(widest, metrics.horizontalAdvance(line.left(tab).toString()));
    }
    return widest + metrics.horizontalAdvance(QStringLiteral("  "));
}

// Lays one text out into the page less half an inch on every side, page after page. The painter's origin
// is the paper's corner.
void drawText(QPainter& painter, QPagedPaintDevice& device, const QString& text) {
    const int dpiX = device.logicalDpiX();
    const int dpiY = device.logicalDpiY();
    const QRect paper = device.pageLayout().fullRectPixels(dpiX);
    const int left = dpiX / 2;
    const int top = dpiY / 2;
    const QRect area(QPoint(left, top), QPoint(paper.width() - left - 1, paper.height() - top - 1));

    QTextDocument doc;
    doc.setDefaultFont(recordFont());
    doc.setDocumentMargin(0);
    QTextOption option = doc.defaultTextOption();
    option.setTabStopDistance(tabStopFor(text, recordFont()));
    doc.setDefaultTextOption(option);
    doc.setPlainText(text);
    // The text is laid out at screen size and scaled up to the printer's resolution.
    const qreal scale = dpiX / 96.0;
    const QSizeF page(area.width() / scale, area.height() / scale);
    doc.setPageSize(page);
    const int pages = std::max(1, doc.pageCount());
    for (int p = 0; p < pages; ++p) {
        if (p > 0) device.newPage();
        painter.save();
        painter.translate(area.topLeft());
        painter.scale(scale, scale);
        painter.translate(0, -p * page.height());
        const QRectF clip(0, p * page.height(), page.width(), page.height());
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = clip;
        painter.setClipRect(clip);
        doc.documentLayout()->draw(&painter, context);
        painter.restore();
    }
}

}  // namespace

TDruckeForm::TDruckeForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TDruckeForm"));
    setWindowTitle(QStringLiteral("Datensatz drucken"));
    setModal(true);
    resize(418, 282);
    setSizeGripEnabled(true);

    BackBtn = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), QStringLiteral("Zurück"), this);
    BackBtn->setObjectName(QStringLiteral("BackBtn"));
    BackBtn->setGeometry(8, 8, 97, 33);
    connect(BackBtn, &QPushButton::clicked, this, &QDialog::accept);

    BitBtn2 = new QPushButton(QStringLiteral("Drucken..."), this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn2->setGeometry(112, 8, 129, 33);
    connect(BitBtn2, &QPushButton::clicked, this, [this] { UiMessages::guarded(this, [this] { BitBtn2Click(); }); });

    PdfBtn = new QPushButton(QStringLiteral("Als PDF speichern..."), this);
    PdfBtn->setObjectName(QStringLiteral("PdfBtn"));
    PdfBtn->setGeometry(248, 8, 150, 33);
    connect(PdfBtn, &QPushButton::clicked, this, [this] { UiMessages::guarded(this, [this] { PdfBtnClick(); }); });

    RichEdit1 = new QTextEdit(this);
    RichEdit1->setObjectName(QStringLiteral("RichEdit1"));
    RichEdit1->setAcceptRichText(false);
    RichEdit1->setLineWrapMode(QTextEdit::NoWrap);
    RichEdit1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RichEdit1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RichEdit1->setFont(recordFont());
    RichEdit1->setGeometry(0, kStripHeight, width(), height() - kStripHeight);
}

void TDruckeForm::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    RichEdit1->setGeometry(0, kStripHeight, width(), height() - kStripHeight);
}

void TDruckeForm::setRecordText(const QString& text) {
    RichEdit1->clear();
    RichEdit1->setTabStopDistance(tabStopFor(text, RichEdit1->font()));
    RichEdit1->setPlainText(text);
}

void TDruckeForm::printTexts(QPrinter& printer, const QStringList& texts, bool oneFile) {
    const bool fullPage = printer.fullPage();
    printer.setFullPage(true);  // the half-inch margins are measured from the paper's edge
    printer.setDocName(QStringLiteral("Datensatz"));
    std::unique_ptr<QPainter> painter;
    auto restore = qScopeGuard([&] {
        painter.reset();
        printer.setFullPage(fullPage);
    });
    for (const QString& text : texts) {
        if (painter && oneFile) {
            printer.newPage();
        } else {
            painter.reset();
            painter = std::make_unique<QPainter>();
            if (!painter->begin(&printer))
                throw QuorvelError(
                    QStringLiteral("Der Druck konnte nicht gestartet werden. Bitte prüfen Sie den "
                                   "Drucker oder den Namen der PDF-Datei."));
        }
        drawText(*painter, printer, text);
        if (!oneFile) painter->end();
    }
}

QString TDruckeForm::askPdfFileName(QWidget* parent) {
    QFileDialog dialog(parent, QStringLiteral("Als PDF speichern..."));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilter(QStringLiteral("PDF Dateien (*.pdf)"));
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().constFirst();
}

void TDruckeForm::savePdf(const QString& fileName, const QStringList& texts) {
    // The document is made in memory and put in place by checked writes: a full disk or a write-protected
    // file leaves the previous file as it was, and says so.
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&buffer);
        pdf.setTitle(QStringLiteral("Datensatz"));
        pdf.setCreator(QStringLiteral("Quorvel"));
        pdf.setResolution(appPrinter().resolution());
        QPageLayout layout = appPrinter().pageLayout();
        layout.setMinimumMargins(QMarginsF());
        layout.setMargins(QMarginsF());  // the half-inch margins are measured from the paper's edge
        pdf.setPageLayout(layout);
        QPainter painter;
        if (!painter.begin(&pdf))
            throw QuorvelError(QStringLiteral("Die PDF-Datei konnte nicht angelegt werden."));
        for (qsizetype i = 0; i < texts.size(); ++i) {
            if (i > 0) pdf.newPage();
            drawText(painter, pdf, texts[i]);
        }
        painter.end();
    }
    buffer.close();
    SafeFile::replace(fileName, bytes, QStringLiteral("Die PDF-Datei"));
}

void TDruckeForm::BitBtn2Click() {
    switch (choosePrintOrPdf(this)) {
        case PrintChoice::Print:
            printTexts(*newPrintJob(), {RichEdit1->toPlainText()}, false);
            return;
        case PrintChoice::SavePdf:
            PdfBtnClick();
            return;
        case PrintChoice::Cancel:
            return;
    }
}

void TDruckeForm::PdfBtnClick() {
    const QString fileName = askPdfFileName(this);
    if (fileName.isEmpty()) return;
    const WaitCursor wait;
    savePdf(fileName, {RichEdit1->toPlainText()});
}
