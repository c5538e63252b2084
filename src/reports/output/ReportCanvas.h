// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringView>

// The four report fonts by their role in the layouts.
enum class FontRole { Title = 0, Body = 1, SectionHeading = 2, ColumnHeader = 3 };
inline constexpr int kFontRoleCount = 4;

// The drawing surface a report layout runs on: one current font, text measured and drawn in it, and
// device pages. Coordinates are whole pixels of the printer page (origin top left, y downwards); a text
// is placed by the top left corner of its line cell. Measurements never depend on where the drawing
// goes, so a preview and a printout of the same page size lay out alike.
class ReportCanvas {
public:
    virtual ~ReportCanvas() = default;

    virtual void setFont(FontRole role) = 0;
    virtual FontRole font() const = 0;
    virtual int textWidth(QStringView text) = 0;
    virtual int textHeight(QStringView text) = 0;
    // Number of leading characters of the text that together are no wider than `width` (the whole
    // length when all of it fits). Canvases that know their glyph advances answer in one pass.
    virtual qsizetype fittingLength(QStringView text, int width) {
        qsizetype low = 0;
        qsizetype high = text.size();
        while (low < high) {
            const qsizetype mid = (low + high + 1) / 2;
            if (textWidth(text.left(mid)) <= width)
                low = mid;
            else
                high = mid - 1;
        }
        return low;
    }
    virtual void drawText(int x, int y, const QString& text) = 0;
    // Ends the device page and begins the next (printing only). Throws when the device refuses.
    virtual void newPage() = 0;
};
