// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

#include "reports/output/DrawnItem.h"
#include "reports/output/FontCanvas.h"

// A canvas that draws nothing and keeps a list of what was drawn where, measuring with the real report
// fonts of its resolution. The tests read layouts from it.
class RecordingCanvas : public FontCanvas {
public:
    explicit RecordingCanvas(int resolution) : FontCanvas(m_fonts), m_fonts(resolution) {}

    void drawText(int x, int y, const QString& text) override { m_items.push_back({m_page, x, y, font(), text}); }
    void newPage() override { ++m_page; }

    const std::vector<DrawnItem>& items() const { return m_items; }
    // Device pages begun after the first one.
    int newPages() const { return m_page; }

private:
    ReportFonts m_fonts;
    int m_page = 0;
    std::vector<DrawnItem> m_items;
};
