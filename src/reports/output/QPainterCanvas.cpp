// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/output/QPainterCanvas.h"

#include <QPagedPaintDevice>
#include <QPainter>

#include "reports/output/ReportOutputError.h"

QPainterCanvas::QPainterCanvas(QPainter& painter, const ReportFonts& fonts, QPagedPaintDevice* pages)
    : FontCanvas(fonts), m_painter(painter), m_pages(pages) {
    m_painter.setPen(Qt::black);
    m_painter.setFont(fonts.font(font()));
}

void QPainterCanvas::fontChanged() {
    m_painter.setFont(fonts().font(font()));
}

void QPainterCanvas::drawText(int x, int y, const QString& text) {
    m_painter.drawText(QPointF(x, y + fonts().ascent(font())), text);
    if (m_record) m_record->push_back({m_page, x, y, font(), text});
}

void QPainterCanvas::newPage() {
    if (!m_pages) return;
    if (m_pageFinished) m_pageFinished(m_page + 1);
    if (!m_pages->newPage())
        throw ReportOutputError(QStringLiteral("Der Drucker hat keine neue Seite angenommen (nach Seite %1). "
                                               "Der Druckauftrag wurde abgebrochen.")
                                    .arg(m_page + 1));
    ++m_page;
}
