// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/data/ReportArrays.h"

void ReportArrays::handTo(ReportData& data) {
    data.ein = &ein;
    data.aus = &aus;
    data.akonto = &akonto;
    data.mwstsE = &mwstsE;
    data.mwstsA = &mwstsA;
    data.amwst = &amwst;
}

void ReportArrays::withdraw(ReportData& data) {
    data.ein = nullptr;
    data.aus = nullptr;
    data.akonto = nullptr;
    data.mwstsE = nullptr;
    data.mwstsA = nullptr;
    data.amwst = nullptr;
}
