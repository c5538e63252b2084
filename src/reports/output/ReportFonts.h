// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QString>
#include <QStringView>
#include <array>
#include <memory>
#include <vector>

#include "reports/output/ReportCanvas.h"

// The four report fonts of one printer resolution and their measurements.
//
// The face is Arial; where Arial is not installed, Liberation Sans, which has Arial's metrics, is named
// explicitly, so the layout never depends on what a font lookup happens to pick. Sizes are points turned
// into whole pixels at the printer's resolution (pixels = points x dpi / 72), and every measurement comes
// from metrics of that resolution without hinting, kerning or shaping: a text measures the sum of its
// glyph advances on the preview and on the printer alike, so both lay out identically.
class ReportFonts {
public:
    explicit ReportFonts(int resolution);

    int resolution() const { return m_resolution; }
    const QFont& font(FontRole role) const { return m_roles[index(role)].font; }
    // Distance from the top of a line cell to the baseline.
    qreal ascent(FontRole role) const { return m_roles[index(role)].metrics.ascent(); }

    // Whole pixels.
    int width(FontRole role, QStringView text) const;
    int height(FontRole role, QStringView text) const;
    // Number of leading characters that are together no wider than `width`, as width() measures them.
    qsizetype fittingLength(FontRole role, QStringView text, int width) const;
    // The advance of one character in pixels, unrounded: the step width() adds for it.
    qreal advance(FontRole role, char32_t c) const;

    // The face the fonts use ("Arial", or "Liberation Sans" standing in for it).
    static QString family();
    static int pointSize(FontRole role);
    static bool bold(FontRole role);
    // round(points x dpi / 72), half away from zero.
    static int pixelSize(FontRole role, int resolution);

private:
    struct Role {
        QFont font;
        QFontMetricsF metrics;
        // Glyph advances of the characters below kTableSize, filled on first use (negative: not yet).
        std::unique_ptr<std::vector<qreal>> advances;
    };
    static constexpr int kTableSize = 0x2200;
    static int index(FontRole role) { return static_cast<int>(role); }
    // The advance of a character of the table, measured on first use.
    qreal advance(const Role& role, char16_t c) const {
        const qreal known = (*role.advances)[c];
        return known >= 0 ? known : measureAdvance(role, c);
    }
    qreal measureAdvance(const Role& role, char16_t c) const;
    static bool inTable(char16_t c) { return c < kTableSize && !(c >= 0x0300 && c < 0x0370); }

    int m_resolution;
    QImage m_device;  // a surface of the printer's resolution the metrics are taken on
    std::vector<Role> m_roles;
};
