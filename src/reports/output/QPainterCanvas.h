// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <vector>

#include "reports/output/DrawnItem.h"
#include "reports/output/FontCanvas.h"

class QPainter;
class QPagedPaintDevice;

// The canvas of the screen image, the printer and the PDF file: draws with a QPainter whose
// coordinates are printer pixels (the preview scales its painter down to the screen image), and
// measures with the report fonts of the printer's resolution, never with the painter's device.
class QPainterCanvas : public FontCanvas {
public:
    // `pages`: the paged device when printing (new pages go to it); nullptr for the preview.
    QPainterCanvas(QPainter& painter, const ReportFonts& fonts, QPagedPaintDevice* pages = nullptr);

    void drawText(int x, int y, const QString& text) override;
    void newPage() override;

    // Called before each new device page with the number of pages finished so far; may throw to stop.
    void setPageFinished(std::function<void(int)> hook) { m_pageFinished = std::move(hook); }
    // Keeps a copy of every drawn text (tests compare what preview and print drew).
    void setRecord(std::vector<DrawnItem>* record) { m_record = record; }

protected:
    void fontChanged() override;

private:
    QPainter& m_painter;
    QPagedPaintDevice* m_pages;
    int m_page = 0;
    std::function<void(int)> m_pageFinished;
    std::vector<DrawnItem>* m_record = nullptr;
};
