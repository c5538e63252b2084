// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "reports/output/ReportCanvas.h"
#include "reports/output/ReportInputs.h"

// Runs the layout that the report's modus selects: 0 outputit, 1 outputit2 ... 5 outputit6. Any other
// modus renders nothing. Returns the number of pages the report has (0 when nothing was rendered).
class ReportRenderer {
public:
    static int render(ReportCanvas& canvas, const ReportInputs& in, const PageParams& params);
};
