// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "reports/data/KontoStrings.h"
#include "reports/data/ReportData.h"

// The arrays of one report, from the start of a report command until its window has closed, with their
// cursor variables: ein and aus share akonto, mwstsE and mwstsA share amwst. The strings of the records of
// ein and aus are released (ein first) before the arrays go, also when the report fails half-way. The
// object never moves: the arrays hold the addresses of the cursor variables.
class ReportArrays {
public:
    ReportArrays() = default;
    ReportArrays(const ReportArrays&) = delete;
    ReportArrays& operator=(const ReportArrays&) = delete;

    // Points the hand-over at the four arrays and the cursor variables (modus, cap and the opening balance
    // are the caller's). mwstsE and mwstsA stay empty except in the total result.
    void handTo(ReportData& data);
    // Removes every reference to these arrays from the hand-over (after the window has closed).
    static void withdraw(ReportData& data);

    TKontoRec* akonto = nullptr;
    TMwstRec* amwst = nullptr;
    TMwstArray mwstsE{&amwst};
    TMwstArray mwstsA{&amwst};
    TKontoArray ein{&akonto};
    TKontoArray aus{&akonto};

    // Where the receipt and text copies of the records of ein and aus are kept.
    KontoStrings& strings() { return m_strings; }

private:
    KontoStrings m_strings{ein, aus};  // declared last: releases before the arrays are destroyed
};
