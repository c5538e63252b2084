// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/data/StringBlocks.h"

#include <algorithm>
#include <mutex>
#include <new>

namespace {

// Blocks of reports that have gone, kept for the next report (the program's own heap would keep their
// memory too, but hands back whole free blocks to the system, and taking memory from the system anew
// costs more than the report's own work).
std::mutex spareLock;
constexpr std::size_t kSpareLimit = 60;  // 120 MB: the strings of about 2 million bookings

}  // namespace

std::vector<StringBlocks::Block>& StringBlocks::spare() {
    static std::vector<Block> blocks;
    return blocks;
}

StringBlocks::~StringBlocks() {
    keepSpare(m_blocks);
}

StringBlocks::Block StringBlocks::newBlock(std::size_t units) {
    auto* block = static_cast<char16_t*>(LargeBlock::allocate(units * sizeof(char16_t)));
    if (!block) throw std::bad_alloc();
    return Block(block);
}

StringBlocks::Block StringBlocks::spareBlock() {
    {
        const std::lock_guard<std::mutex> lock(spareLock);
        auto& blocks = spare();
        if (!blocks.empty()) {
            Block block = std::move(blocks.back());
            blocks.pop_back();
            return block;
        }
    }
    return newBlock(kBlockUnits);
}

void StringBlocks::keepSpare(std::vector<Block>& blocks) {
    const std::lock_guard<std::mutex> lock(spareLock);
    auto& kept = spare();
    for (auto& block : blocks)
        if (kept.size() < kSpareLimit) kept.push_back(std::move(block));
    blocks.clear();
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
        m_blocks.push_back(spareBlock());
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
