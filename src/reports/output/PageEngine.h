// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>
#include <array>
#include <span>
#include <vector>

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
        bool wrap = false;   // a text wider than its column goes on in further lines of the row
    };
    static constexpr int kColumns = 101;
    // Thrown at the break after the page to draw when the parameters ask to end there.
    struct Ended {};

    PageEngine(ReportCanvas& canvas, const PageParams& params);

    // round(resolution x 0.5905523436069756), ties to even: about 15 mm.
    static int marginFor(int resolution);

    // Footer of page 1 and the header block: the address lines, the heading and, when not empty, a note
    // under the heading (what the report is restricted to). Lines wider than the page wrap.
    void start(const QStringList& address, const QString& cap, const QString& note = QString());

    void setFont(FontRole role);
    FontRole font() const { return m_canvas.font(); }
    // Height of "L" in the current font.
    int rowHeight();
    // Height of "L" in the given font; the current font stays.
    int rowHeightOf(FontRole role);
    bool visible() const { return m_params.print || m_page == m_params.pageToDraw; }
    // Draws the text when the current page is visible.
    void emitText(int x, int y, const QString& text);

    // cursor += row height, then the page-break check.
    void advance();
    void pageBreakCheck();
    void pageBreak();
    // Section heading: [cursor += 2 rows] [check] text; cursor += 2 rows; check. `keepWith` is the height
    // of what must follow the heading on its page (the header and first line of its table): when it
    // would not fit below the heading, the heading goes to the next page, without the leading space.
    void heading(const QString& text, bool leadingSpace, bool checkBefore, int keepWith = 0);

    int textWidth(QStringView text) { return m_canvas.textWidth(text); }
    // Gaps of `blanks` blanks instead of three, for a table that cannot fit the page otherwise.
    void setGapBlanks(int blanks);
    void clearWidths();
    void measure(int column, QStringView text);
    int columnWidth(int column) const { return m_widths[std::size_t(column)]; }
    void setColumnWidth(int column, int width) { m_widths[std::size_t(column)] = width; }
    // Left edge of a column in the current font (gaps are three blanks of the current font).
    int columnX(int column);
    // Right edge of the text area: the right margin, as far from the page's right edge as the left one.
    int rightLimit() const { return m_params.pageWidth - m_margin; }
    // Narrows `column` so that a table of `columns` columns in the current font ends at the right margin;
    // never below `minimum`. The column's cells must wrap.
    void limitToMargin(int column, int columns, int minimum);
    // Gives `column` all the room from its left edge (in the current font) to the right margin, at least
    // `minimum`.
    void fillToMargin(int column, int minimum);

    // The lines a text takes in `width` pixels of the current font: broken after a blank where one lies
    // within the width, inside a word only where the word alone is wider; every line holds at least one
    // character. The blank at a break is the only character that does not appear in the lines.
    std::vector<QStringView> wrap(QStringView text, int width);
    int lineCount(QStringView text, int width);

    // One table row at the cursor (the cursor does not move). Returns the number of lines it takes.
    int row(std::span<const Cell> cells);
    // The lines the row would take, without drawing.
    int rowLines(std::span<const Cell> cells);

    int cursor() const { return m_cursor; }
    void moveCursor(int delta) { m_cursor += delta; }
    int page() const { return m_page; }
    int margin() const { return m_margin; }
    int bottomLimit() const { return m_params.pageHeight - m_margin; }
    const PageParams& params() const { return m_params; }

private:
    void footer();
    int gap();
    // Calls line(view) for each line of the wrapped text.
    template <typename Line>
    void breakLines(QStringView text, int width, Line&& line);

    ReportCanvas& m_canvas;
    PageParams m_params;
    int m_margin;
    int m_cursor;
    int m_page = 1;
    std::array<int, kColumns> m_widths{};
    std::array<int, kFontRoleCount> m_rowHeights;
    std::array<int, kFontRoleCount> m_gaps;
    QString m_gapText = QStringLiteral("   ");
};
