// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "reports/output/ReportCanvas.h"
#include "reports/output/ReportFonts.h"

// A canvas that measures with the report fonts of one resolution: it keeps the current font and answers
// every measurement from the fonts, so the surfaces only draw and begin pages.
class FontCanvas : public ReportCanvas {
public:
    // The fonts must outlive the canvas (they may be a member of the derived canvas, not yet made).
    explicit FontCanvas(const ReportFonts& fonts) : m_fonts(fonts) {}

    void setFont(FontRole role) override {
        if (role == m_role) return;
        m_role = role;
        fontChanged();
    }
    FontRole font() const override { return m_role; }
    int textWidth(QStringView text) override { return m_fonts.width(m_role, text); }
    int textHeight(QStringView text) override { return m_fonts.height(m_role, text); }
    qsizetype fittingLength(QStringView text, int width) override { return m_fonts.fittingLength(m_role, text, width); }

    const ReportFonts& fonts() const { return m_fonts; }

protected:
    // After the current font changed.
    virtual void fontChanged() {}

private:
    const ReportFonts& m_fonts;
    FontRole m_role = FontRole::Body;
};
