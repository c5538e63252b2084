// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

#include "reports/output/DrawnItem.h"
#include "reports/output/ReportCanvas.h"
#include "reports/output/ReportFonts.h"

// A canvas that draws nothing and keeps a list of what was drawn where, measuring with the real report
// fonts of its resolution. The tests read layouts from it.
class RecordingCanvas : public ReportCanvas {
public:
    explicit RecordingCanvas(int resolution) : m_fonts(resolution) {}

    void setFont(FontRole role) override { m_role = role; }
    FontRole font() const override { return m_role; }
    int textWidth(QStringView text) override { return m_fonts.width(m_role, text); }
    int textHeight(QStringView text) override { return m_fonts.height(m_role, text); }
    qsizetype fittingLength(QStringView text, int width) override { return m_fonts.fittingLength(m_role, text, width); }
    void drawText(int x, int y, const QString& text) override { m_items.push_back({m_page, x, y, m_role, text}); }
    void newPage() override { ++m_page; }

    const std::vector<DrawnItem>& items() const { return m_items; }
    // Device pages begun after the first one.
    int newPages() const { return m_page; }
    const ReportFonts& fonts() const { return m_fonts; }

private:
    ReportFonts m_fonts;
    FontRole m_role = FontRole::Body;
    int m_page = 0;
    std::vector<DrawnItem> m_items;
};
