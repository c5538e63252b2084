// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include "reports/data/ReportRecords.h"
#include "reports/data/TDynaArray.h"

using TKontoArray = TDynaArray<TKontoRec>;
using TMwstArray = TDynaArray<TMwstRec>;

// What a report command hands to the report window: which layout (modus), the heading, the arrays and
// the opening balance. The command owns the arrays and keeps them alive and unchanged while the window
// is shown; the window only reads them. Renderers read records through the cursor variables, as the
// arrays' iteration idiom does, so they take the hand-over by non-const reference but change nothing.
//
// modus: 0 total result, 1 expense list, 2 income list, 3 collective account, 4 cost centre,
// 5 all bookings; any other value renders nothing.
struct ReportData {
    int modus = -1;
    QString cap;

    TKontoArray* ein = nullptr;
    TKontoArray* aus = nullptr;
    TKontoRec** akonto = nullptr;  // cursor variable of ein and aus

    TMwstArray* mwstsE = nullptr;  // total result only
    TMwstArray* mwstsA = nullptr;
    TMwstRec** amwst = nullptr;  // cursor variable of mwstsE and mwstsA

    // Opening balance; holds one only while anfangsbestand is true.
    bool anfangsbestand = false;
    double Aeinnahmen = 0;
    double Aeinnahmenmwst = 0;
    double Aeinnahmennetto = 0;
};
