#pragma once

#include "reports/data/ReportData.h"

// Walks a report array with its iteration idiom (First, then WhileNext), handing each record as the
// cursor variable points to it. A missing array has no records.
template <typename Rec, typename Visit>
void forEachRecord(TDynaArray<Rec>* array, Rec** cursor, Visit&& visit) {
    if (!array) return;
    array->First();
    while (array->WhileNext()) visit(*(cursor ? *cursor : array->Current()));
}

// The exchange sort of the report arrays by rate, ascending (equal keys are never swapped).
inline void sortByRate(TMwstArray& rates) {
    const auto n = static_cast<std::int64_t>(rates.Count());
    for (std::int64_t i = 0; i < n; ++i)
        for (std::int64_t j = i + 1; j < n; ++j)
            if (rates.at(std::uint32_t(j)).mwstsatz < rates.at(std::uint32_t(i)).mwstsatz) rates.Change(i, j);
}
