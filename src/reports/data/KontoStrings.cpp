// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/data/KontoStrings.h"

#include <algorithm>

namespace {

std::size_t units(const char16_t* text) {
    if (!text) return 0;
    std::size_t n = 0;
    while (text[n] != 0) ++n;
    return n + 1;
}

}  // namespace

KontoStrings::~KontoStrings() {
    release(m_ein);
    release(m_aus);
}

void KontoStrings::fill(TKontoRec& record, QStringView beleg, QStringView text) {
    record.beleg = copy(beleg);
    record.text = copy(text);
}

void KontoStrings::release(TKontoArray& array) {
    array.First();
    while (array.WhileNext()) {
        TKontoRec* record = array.Current();
        record->beleg = nullptr;
        record->text = nullptr;
    }
}

std::size_t KontoStrings::bytes(const TKontoArray& array) {
    std::size_t total = 0;
    for (std::uint32_t i = 0; i < array.Count(); ++i)
        total += (units(array.at(i).beleg) + units(array.at(i).text)) * sizeof(char16_t);
    return total;
}
