#include "reports/output/PageEngine.h"

#include <cfenv>
#include <cmath>

namespace {
const QString kGap = QStringLiteral("   ");
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

void PageEngine::start(const QStringList& address, const QString& cap) {
    footer();
    setFont(FontRole::Body);
    for (const QString& line : address) {
        emitText(m_margin, m_cursor, line);
        m_cursor += rowHeight();
    }
    m_cursor += 2 * rowHeight();
    setFont(FontRole::Title);
    emitText(m_margin, m_cursor, cap);
    m_cursor += 2 * rowHeight();
}

void PageEngine::setFont(FontRole role) {
    m_canvas.setFont(role);
}

int PageEngine::rowHeight() {
    int& height = m_rowHeights[std::size_t(m_canvas.font())];
    if (height < 0) height = m_canvas.textHeight(kRowMeasure);
    return height;
}

int PageEngine::gap() {
    int& width = m_gaps[std::size_t(m_canvas.font())];
    if (width < 0) width = m_canvas.textWidth(kGap);
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

void PageEngine::heading(const QString& text, bool leadingSpace, bool checkBefore) {
    setFont(FontRole::SectionHeading);
    if (leadingSpace) m_cursor += 2 * rowHeight();
    if (checkBefore) pageBreakCheck();
    emitText(m_margin, m_cursor, text);
    m_cursor += 2 * rowHeight();
    pageBreakCheck();
}

void PageEngine::clearWidths() {
    m_widths.fill(0);
}

void PageEngine::measure(int column, QStringView text) {
    int& width = m_widths[std::size_t(column)];
    width = std::max(width, m_canvas.textWidth(text));
}

void PageEngine::row(std::span<const Cell> cells) {
    const bool show = visible();
    int x = m_margin;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        const Cell& cell = cells[i];
        if (show && !cell.text.isEmpty()) {
            const int left = cell.right ? x + m_widths[i] - m_canvas.textWidth(cell.text) : x;
            m_canvas.drawText(left, m_cursor, cell.text);
        }
        x += gap() + m_widths[i];
    }
}
