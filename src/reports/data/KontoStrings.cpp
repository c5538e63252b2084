// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/data/KontoStrings.h"

#include <algorithm>

namespace {

// Blocks of reports that have gone, kept for the next report (the program's own heap would keep their
// memory too, but hands back whole free blocks to the system, and taking memory from the system anew
// costs more than the report's own work). Reports are built and released on the window thread only.
std::vector<KontoStrings::Block>& spareBlocks() {
    static std::vector<KontoStrings::Block> spare;
    return spare;
}
constexpr std::size_t kSpareLimit = 60;  // 120 MB: the strings of about 2 million bookings

KontoStrings::Block newBlock(std::size_t units) {
    auto* block = static_cast<char16_t*>(LargeBlock::allocate(units * sizeof(char16_t)));
    if (!block) throw std::bad_alloc();
    return KontoStrings::Block(block);
}

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
    auto& spare = spareBlocks();
    for (auto& block : m_blocks)
        if (spare.size() < kSpareLimit) spare.push_back(std::move(block));
}

char16_t* KontoStrings::room(std::size_t units) {
    const std::size_t needed = units + 1;
    if (needed > kBlockUnits) {
        // A text longer than a block gets a block of its own; the current one stays in use.
        m_large.push_back(newBlock(needed));
        m_large.back()[units] = 0;
        return m_large.back().get();
    }
    if (needed > m_left) {
        auto& spare = spareBlocks();
        if (!spare.empty()) {
            m_blocks.push_back(std::move(spare.back()));
            spare.pop_back();
        } else {
            m_blocks.push_back(newBlock(kBlockUnits));
        }
        m_free = m_blocks.back().get();
        m_left = kBlockUnits;
    }
    char16_t* result = m_free;
    result[units] = 0;
    m_free += needed;
    m_left -= needed;
    return result;
}

char16_t* KontoStrings::copy(QStringView text) {
    const auto n = static_cast<std::size_t>(text.size());
    char16_t* result = room(n);
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
