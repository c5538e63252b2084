// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/data/StringBlocks.h"

#include <algorithm>
#include <new>

StringBlocks::Block StringBlocks::newBlock(std::size_t units) {
    auto* block = static_cast<char16_t*>(LargeBlock::allocate(units * sizeof(char16_t)));
    if (!block) throw std::bad_alloc();
    return Block(block);
}

char16_t* StringBlocks::room(std::size_t units) {
    const std::size_t needed = units + 1;
    if (needed > kBlockUnits) {
        // A text longer than a block gets a block of its own; the current one stays in use.
        m_large.push_back(newBlock(needed));
        m_large.back()[units] = 0;
        return m_large.back().get();
    }
    if (needed > m_left) {
        m_blocks.push_back(newBlock(kBlockUnits));
        m_free = m_blocks.back().get();
        m_left = kBlockUnits;
    }
    char16_t* result = m_free;
    result[units] = 0;
    m_free += needed;
    m_left -= needed;
    return result;
}

char16_t* StringBlocks::copy(QStringView text) {
    const auto n = static_cast<std::size_t>(text.size());
    char16_t* result = room(n);
    std::copy_n(reinterpret_cast<const char16_t*>(text.utf16()), n, result);
    return result;
}
