// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/output/PageEngine.h"

#include <cfenv>
#include <cmath>

#include "reports/output/ReportOutputError.h"

namespace {
const QString kRowMeasure = QStringLiteral("L");
}  // namespace

PageEngine::PageEngine(ReportCanvas& canvas, const PageParams& params)
    : m_canvas(canvas), m_params(params), m_margin(marginFor(params.resolution)), m_cursor(m_margin) {
    m_rowHeights.fill(-1);
    m_gaps.fill(-1);
}

int PageEngine::marginFor(int resolution) {
    // nearbyint rounds in the current mode; the default mode is to nearest with ties to even.
    const int previous = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const double margin = std::nearbyint(resolution * 0.5905523436069756);
    std::fesetround(previous);
    return static_cast<int>(margin);
}

void PageEngine::start(const QStringList& address, const QString& cap, const QString& note) {
    footer();
    setFont(FontRole::Body);
    const int width = rightLimit() - m_margin;
    // Emits the text at the cursor, wrapped at the right margin; the cursor ends below its last line.
    auto paragraph = [&](const QString& text) {
        for (QStringView line : wrap(text, width)) {
            emitText(m_margin, m_cursor, line.toString());
            m_cursor += rowHeight();
        }
    };
    for (const QString& line : address) paragraph(line);
    m_cursor += 2 * rowHeight();
    setFont(FontRole::Title);
    paragraph(cap);
    if (!note.isEmpty()) {
        setFont(FontRole::Body);
        paragraph(note);
        setFont(FontRole::Title);
    }
    m_cursor += rowHeight();
}

void PageEngine::setFont(FontRole role) {
    m_canvas.setFont(role);
}

int PageEngine::rowHeight() {
    int& height = m_rowHeights[std::size_t(m_canvas.font())];
    if (height < 0) height = m_canvas.textHeight(kRowMeasure);
    return height;
}

int PageEngine::rowHeightOf(FontRole role) {
    const FontRole kept = m_canvas.font();
    setFont(role);
    const int height = rowHeight();
    setFont(kept);
    return height;
}

int PageEngine::gap() {
    int& width = m_gaps[std::size_t(m_canvas.font())];
    if (width < 0) width = m_canvas.textWidth(m_gapText);
    return width;
}

void PageEngine::emitText(int x, int y, const QString& text) {
    // An empty text leaves no mark; it is not handed to the canvas.
    if (visible() && !text.isEmpty()) m_canvas.drawText(x, y, text);
}

void PageEngine::advance() {
    m_cursor += rowHeight();
    pageBreakCheck();
}

void PageEngine::pageBreakCheck() {
    if (m_cursor > bottomLimit()) pageBreak();
}

void PageEngine::pageBreak() {
    if (m_params.stop && m_params.stop->load(std::memory_order_relaxed)) throw ReportOutputCancelled(QString());
    if (m_params.endAfterDrawn && !m_params.print && m_params.pageToDraw > 0 && m_page >= m_params.pageToDraw)
        throw Ended{};
    if (m_params.print) m_canvas.newPage();
    m_cursor = m_margin;
    ++m_page;
    footer();
}

void PageEngine::footer() {
    const FontRole kept = m_canvas.font();
    setFont(FontRole::Body);
    if (visible()) {
        const QString text = QStringLiteral("Seite ") + QString::number(m_page);
        emitText((m_params.pageWidth - m_canvas.textWidth(text)) / 2, m_params.pageHeight - m_margin / 2, text);
    }
    setFont(kept);
}

void PageEngine::heading(const QString& text, bool leadingSpace, bool checkBefore, int keepWith) {
    setFont(FontRole::SectionHeading);
    if (leadingSpace) m_cursor += 2 * rowHeight();
    if (checkBefore) pageBreakCheck();
    // A heading never stands alone at the foot of a page (on a fresh page it stays, whatever follows).
    if (keepWith > 0 && m_cursor > m_margin && m_cursor + 2 * rowHeight() + keepWith > bottomLimit()) pageBreak();
    emitText(m_margin, m_cursor, text);
    m_cursor += 2 * rowHeight();
    pageBreakCheck();
}

void PageEngine::setGapBlanks(int blanks) {
    m_gapText = QString(blanks, QLatin1Char(' '));
    m_gaps.fill(-1);
}

void PageEngine::clearWidths() {
    m_widths.fill(0);
}

void PageEngine::measure(int column, QStringView text) {
    int& width = m_widths[std::size_t(column)];
    width = std::max(width, m_canvas.textWidth(text));
}

int PageEngine::columnX(int column) {
    int x = m_margin;
    for (int i = 0; i < column; ++i) x += m_widths[std::size_t(i)] + gap();
    return x;
}

void PageEngine::limitToMargin(int column, int columns, int minimum) {
    int end = columnX(columns - 1) + m_widths[std::size_t(columns - 1)];
    int& width = m_widths[std::size_t(column)];
    if (end > rightLimit()) width = std::max(minimum, width - (end - rightLimit()));
}

void PageEngine::fillToMargin(int column, int minimum) {
    m_widths[std::size_t(column)] = std::max(minimum, rightLimit() - columnX(column));
}

template <typename Line>
void PageEngine::breakLines(QStringView text, int width, Line&& line) {
    QStringView rest = text;
    for (;;) {
        const qsizetype fits = m_canvas.fittingLength(rest, width);
        if (fits >= rest.size()) {
            line(rest);
            return;
        }
        // The last blank within the width (the character right after the fitting part counts: the line
        // ends before it); a word wider than the whole width is cut where the width ends.
        qsizetype cut = fits;
        while (cut > 0 && rest[cut] != QLatin1Char(' ')) --cut;
        if (cut > 0) {
            line(rest.left(cut));
            rest = rest.mid(cut + 1);
        } else {
            const qsizetype take = std::max<qsizetype>(1, fits);
            line(rest.left(take));
            rest = rest.mid(take);
        }
        if (rest.isEmpty()) return;
    }
}

std::vector<QStringView> PageEngine::wrap(QStringView text, int width) {
    std::vector<QStringView> lines;
    breakLines(text, width, [&](QStringView line) { lines.push_back(line); });
    return lines;
}

int PageEngine::lineCount(QStringView text, int width) {
    int lines = 0;
    breakLines(text, width, [&](QStringView) { ++lines; });
    return lines;
}

int PageEngine::rowLines(std::span<const Cell> cells) {
    int lines = 1;
    for (std::size_t i = 0; i < cells.size(); ++i)
        if (cells[i].wrap) lines = std::max(lines, lineCount(cells[i].text, m_widths[i]));
    return lines;
}

int PageEngine::row(std::span<const Cell> cells) {
    const bool show = visible();
    int lines = 1;
    int x = m_margin;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        const Cell& cell = cells[i];
        if (cell.wrap) {
            const auto parts = wrap(cell.text, m_widths[i]);
            lines = std::max(lines, int(parts.size()));
            if (show) {
                int y = m_cursor;
                for (QStringView part : parts) {
                    if (!part.isEmpty()) m_canvas.drawText(x, y, part.toString());
                    y += rowHeight();
                }
            }
        } else if (show && !cell.text.isEmpty()) {
            const int left = cell.right ? x + m_widths[i] - m_canvas.textWidth(cell.text) : x;
            m_canvas.drawText(left, m_cursor, cell.text);
        }
        x += gap() + m_widths[i];
    }
    return lines;
}
