// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "reports/data/ExchangeSort.h"
#include "reports/data/ReportData.h"

// Walks a report array with its iteration idiom (First, then WhileNext), handing each record as the
// cursor variable points to it. A missing array has no records.
template <typename Rec, typename Visit>
void forEachRecord(TDynaArray<Rec>* array, Rec** cursor, Visit&& visit) {
    if (!array) return;
    array->First();
    while (array->WhileNext()) visit(*(cursor ? *cursor : array->Current()));
}

// The rate totals in ascending order of their rate, as the report arrays are sorted.
inline void sortByRate(TMwstArray& rates) {
    ExchangeSort::sort(rates, [](const TMwstRec& r) { return r.mwstsatz; });
}
