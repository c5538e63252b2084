// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPageLayout>
#include <QString>
#include <functional>

#include "reports/output/ReportInputs.h"

// Writes a report as a PDF file through the same layouts as the printout: the printer's page layout at
// the given resolution. The pages go to a temporary file beside the target, which replaces the target
// only when the document is complete; a failed or cancelled run leaves no file behind.
class PdfReportWriter {
public:
    // pageFinished: after each finished page, with their number so far; may throw (for example
    // ReportOutputCancelled) to stop. Throws ReportOutputError with a German message on failure.
    static int write(const QString& fileName, const ReportInputs& in, const QPageLayout& layout, int resolution,
                     const std::function<void(int)>& pageFinished = {});

    // "Gesamtergebnis 01.01.2026 - 31.12.2026.pdf": the heading with characters that file names cannot
    // carry replaced by "_".
    static QString suggestedFileName(const QString& cap);
};
