// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/output/ReportRenderer.h"

#include "reports/output/ListPages.h"
#include "reports/output/TotalResultPages.h"

int ReportRenderer::render(ReportCanvas& canvas, const ReportInputs& in, const PageParams& params) {
    if (in.layout) return in.layout(canvas, in, params);
    if (!in.data) return 0;
    switch (in.data->modus) {
        case 0:
            return TotalResultPages::outputit(canvas, in, params);
        case 1:
            return ListPages::outputit2(canvas, in, params);
        case 2:
            return ListPages::outputit3(canvas, in, params);
        case 3:
            return ListPages::outputit4(canvas, in, params);
        case 4:
            return ListPages::outputit5(canvas, in, params);
        case 5:
            return ListPages::outputit6(canvas, in, params);
        default:
            return 0;
    }
}
