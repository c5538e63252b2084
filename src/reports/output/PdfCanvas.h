// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPageLayout>
#include <QString>
#include <functional>
#include <memory>

#include "reports/output/FontCanvas.h"

// The canvas of a PDF document, drawn by cairo's PDF surface with the report fonts embedded as
// subsets. Texts are placed glyph by glyph at the advances the report fonts measure, so the pages lay
// out exactly as on the preview and the printer; the glyphs of a page are gathered per font and handed
// over once per page, which keeps even a list of 60,000 pages quick.
class PdfCanvas : public FontCanvas {
public:
    // Takes the bytes of the document in order; returns false when they could not be kept, which ends
    // the run at the next page with a ReportOutputError.
    using Sink = std::function<bool(const char* data, std::size_t size)>;

    // Pages of `layout`; coordinates are pixels of `fonts.resolution()` from the top left corner of its
    // printable area, as on a printer of that layout.
    PdfCanvas(const ReportFonts& fonts, const QPageLayout& layout, Sink sink);
    ~PdfCanvas() override;
    PdfCanvas(const PdfCanvas&) = delete;
    PdfCanvas& operator=(const PdfCanvas&) = delete;

    void setTitle(const QString& title);

    void drawText(int x, int y, const QString& text) override;
    void newPage() override;

    // Called before each new page with the number of pages finished so far; may throw to stop.
    void setPageFinished(std::function<void(int)> hook) { m_pageFinished = std::move(hook); }

    // Ends the last page and the document. Throws ReportOutputError when it could not be written.
    void finish();

private:
    struct Private;
    void checkStatus();

    int m_page = 0;
    std::function<void(int)> m_pageFinished;
    std::unique_ptr<Private> d;
};
