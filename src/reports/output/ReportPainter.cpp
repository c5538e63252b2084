// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/output/ReportPainter.h"

#include <QImage>
#include <QPagedPaintDevice>
#include <QPainter>

#include "reports/output/PageEngine.h"
#include "reports/output/QPainterCanvas.h"
#include "reports/output/RecordingCanvas.h"
#include "reports/output/ReportOutputError.h"
#include "reports/output/ReportRenderer.h"

namespace {

PageParams paramsOf(const PageGeometry& page, bool print, int pageToDraw) {
    return PageParams{print, pageToDraw, page.resolution, page.width, page.height};
}

}  // namespace

int ReportPainter::countPages(const ReportInputs& in, const PageGeometry& page) {
    // Page 0 never exists: the whole layout runs and nothing is drawn.
    RecordingCanvas canvas(page.resolution);
    return ReportRenderer::render(canvas, in, paramsOf(page, false, 0));
}

int ReportPainter::paintPreview(QImage& target, const ReportInputs& in, const PageGeometry& page, int pageToDraw,
                                std::vector<DrawnItem>* record) {
    return paintInto(target, in, page, paramsOf(page, false, pageToDraw), record);
}

int ReportPainter::paintPage(QImage& target, const ReportInputs& in, const PageGeometry& page, int pageToDraw) {
    PageParams params = paramsOf(page, false, pageToDraw);
    params.endAfterDrawn = true;
    try {
        return paintInto(target, in, page, params, nullptr);
    } catch (const PageEngine::Ended&) {
        return 0;
    }
}

int ReportPainter::paintInto(QImage& target, const ReportInputs& in, const PageGeometry& page, const PageParams& params,
                             std::vector<DrawnItem>* record) {
    target.fill(Qt::white);
    if (target.isNull() || page.width <= 0 || page.height <= 0) return countPages(in, page);
    const ReportFonts fonts(page.resolution);
    QPainter painter(&target);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
    painter.scale(double(target.width()) / page.width, double(target.height()) / page.height);
    QPainterCanvas canvas(painter, fonts);
    canvas.setRecord(record);
    return ReportRenderer::render(canvas, in, params);
}

PageGeometry ReportPainter::geometryOf(const QPagedPaintDevice& device) {
    return PageGeometry{device.logicalDpiX(), device.width(), device.height()};
}

int ReportPainter::print(QPagedPaintDevice& device, const ReportInputs& in, const PrintHooks& hooks) {
    const PageGeometry page = geometryOf(device);
    const ReportFonts fonts(page.resolution);
    QPainter painter;
    if (!painter.begin(&device))
        throw ReportOutputError(
            QStringLiteral("Der Druck konnte nicht begonnen werden. Prüfen Sie den Drucker "
                           "und versuchen Sie es erneut."));
    try {
        QPainterCanvas canvas(painter, fonts, &device);
        canvas.setPageFinished(hooks.pageFinished);
        canvas.setRecord(hooks.record);
        const int pages = ReportRenderer::render(canvas, in, paramsOf(page, true, 0));
        if (!painter.end()) throw ReportOutputError(QStringLiteral("Der Druck konnte nicht abgeschlossen werden."));
        return pages;
    } catch (...) {
        if (hooks.abort) hooks.abort();
        if (painter.isActive()) painter.end();
        throw;
    }
}
