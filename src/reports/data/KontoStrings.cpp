// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/data/KontoStrings.h"

#include <algorithm>
#include <memory>

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

char16_t* KontoStrings::copy(QStringView text) {
    const auto n = static_cast<std::size_t>(text.size());
    auto* result = new char16_t[n + 1]();
    std::copy_n(reinterpret_cast<const char16_t*>(text.utf16()), n, result);
    return result;
}

void KontoStrings::fill(TKontoRec& record, QStringView beleg, QStringView text) {
    record.beleg = copy(beleg);
    record.text = copy(text);
}

void KontoStrings::release(TKontoArray& array) {
    array.First();
    while (array.WhileNext()) {
        TKontoRec* record = array.Current();
        delete[] record->beleg;
        delete[] record->text;
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
