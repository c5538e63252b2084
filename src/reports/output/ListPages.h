// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "reports/output/ReportCanvas.h"
#include "reports/output/ReportInputs.h"

// The booking lists: expense list (outputit2), income list (outputit3), collective account (outputit4),
// cost centre (outputit5) and all bookings (outputit6). One line per booking in array order, a
// "Zwischensumme" at the foot of every full page repeated at the head of the next, the "Summe" line and
// the VAT per rate. Each returns the number of pages the report has.
class ListPages {
public:
    static int outputit2(ReportCanvas& canvas, const ReportInputs& in, const PageParams& params);
    static int outputit3(ReportCanvas& canvas, const ReportInputs& in, const PageParams& params);
    static int outputit4(ReportCanvas& canvas, const ReportInputs& in, const PageParams& params);
    static int outputit5(ReportCanvas& canvas, const ReportInputs& in, const PageParams& params);
    static int outputit6(ReportCanvas& canvas, const ReportInputs& in, const PageParams& params);
};
