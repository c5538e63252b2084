// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "reports/output/ReportCanvas.h"
#include "reports/output/ReportInputs.h"

// The total result ("Gesamtergebnis"): income per account, VAT per rate, expenses per account, input
// VAT per rate, and the result as income minus expenses. Returns the number of pages.
class TotalResultPages {
public:
    static int outputit(ReportCanvas& canvas, const ReportInputs& in, const PageParams& params);
};
