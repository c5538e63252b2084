#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>
#include <array>
#include <span>

#include "reports/output/ReportCanvas.h"
#include "reports/output/ReportInputs.h"

// The building blocks every report layout is made of: the margin, the cursor, the page counter, the
// header block, page footers, the page-break rule and the column model. The whole report is always laid
// out; only the items of the page to draw reach the canvas in the preview, and every item when printing,
// where each page break also begins a new device page. Measuring and cursor movement never depend on
// what is drawn, so a preview page and the printed page are the same.
class PageEngine {
public:
    struct Cell {
        QString text;
        bool right = false;  // right-aligned in its column
    };
    static constexpr int kColumns = 101;

    PageEngine(ReportCanvas& canvas, const PageParams& params);

    // round(resolution x 0.5905523436069756), ties to even: about 15 mm.
    static int marginFor(int resolution);

    // Footer of page 1 and the header block: the address lines and the heading.
    void start(const QStringList& address, const QString& cap);

    void setFont(FontRole role);
    FontRole font() const { return m_canvas.font(); }
    // Height of "L" in the current font.
    int rowHeight();
    bool visible() const { return m_params.print || m_page == m_params.pageToDraw; }
    // Draws the text when the current page is visible.
    void emitText(int x, int y, const QString& text);

    // cursor += row height, then the page-break check.
    void advance();
    void pageBreakCheck();
    void pageBreak();
    // Section heading: [cursor += 2 rows] [check] text; cursor += 2 rows; check.
    void heading(const QString& text, bool leadingSpace, bool checkBefore);

    void clearWidths();
    void measure(int column, QStringView text);
    int columnWidth(int column) const { return m_widths[std::size_t(column)]; }
    void setColumnWidth(int column, int width) { m_widths[std::size_t(column)] = width; }
    // One table row at the cursor (the cursor does not move).
    void row(std::span<const Cell> cells);

    int cursor() const { return m_cursor; }
    void moveCursor(int delta) { m_cursor += delta; }
    int page() const { return m_page; }
    int margin() const { return m_margin; }
    int bottomLimit() const { return m_params.pageHeight - m_margin; }
    const PageParams& params() const { return m_params; }

private:
    void footer();
    int gap();

    ReportCanvas& m_canvas;
    PageParams m_params;
    int m_margin;
    int m_cursor;
    int m_page = 1;
    std::array<int, kColumns> m_widths{};
    std::array<int, kFontRoleCount> m_rowHeights;
    std::array<int, kFontRoleCount> m_gaps;
};
