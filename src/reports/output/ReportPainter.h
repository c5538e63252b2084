// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSize>
#include <functional>
#include <vector>

#include "reports/output/DrawnItem.h"
#include "reports/output/ReportInputs.h"

class QImage;
class QPagedPaintDevice;

// Hooks of a print run (ReportPainter::print).
struct PrintHooks {
    // Before each new device page, with the number of pages finished; may throw to stop the run.
    std::function<void(int)> pageFinished;
    // When the run fails after the document was begun, before the painter is ended: the device must
    // drop the job (a printer aborts it) so that no partial document goes out.
    std::function<void()> abort;
    std::vector<DrawnItem>* record = nullptr;
};

// Puts reports on real surfaces. The layout always runs at the printer's resolution on the printer's
// page; the preview paints one page of it scaled straight into an image of the preview's size, so it
// never needs an image of the full printer page.
class ReportPainter {
public:
    // Number of pages of the report on that page (0 when the modus renders nothing).
    static int countPages(const ReportInputs& in, const PageGeometry& page);

    // Paints page `pageToDraw` scaled into the whole of `target` (white first; a page after the last
    // stays white). Returns the number of pages of the report.
    static int paintPreview(QImage& target, const ReportInputs& in, const PageGeometry& page, int pageToDraw,
                            std::vector<DrawnItem>* record = nullptr);

    // As paintPreview, but the layout ends with the page drawn instead of running on to the end of the
    // report, so the first pages of a long list come at once. Returns the number of pages when the layout
    // reached the end all the same (the page drawn was the last, or after it), otherwise 0.
    static int paintPage(QImage& target, const ReportInputs& in, const PageGeometry& page, int pageToDraw);

    // Prints every page on the device, at its resolution and printable page size. Returns the number of
    // pages. Throws ReportOutputError when the device cannot be begun or refuses a page; any error after
    // the begin runs hooks.abort first and is passed on.
    static int print(QPagedPaintDevice& device, const ReportInputs& in, const PrintHooks& hooks = PrintHooks());

    // The page of a paint device: its logical resolution and its size in pixels.
    static PageGeometry geometryOf(const QPagedPaintDevice& device);

private:
    static int paintInto(QImage& target, const ReportInputs& in, const PageGeometry& page, const PageParams& params,
                         std::vector<DrawnItem>* record);
};
