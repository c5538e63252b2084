// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringView>
#include <memory>
#include <vector>

#include "storage/LargeBlock.h"

// Zero-terminated UTF-16 copies kept back to back in blocks of 2 MB (see LargeBlock), so a report over a
// million bookings makes a few dozen allocations instead of two million: n + 1 units for a text of n units,
// so an empty text gives an empty string, never none. The copies live as long as the blocks.
class StringBlocks {
public:
    StringBlocks() = default;
    StringBlocks(const StringBlocks&) = delete;
    StringBlocks& operator=(const StringBlocks&) = delete;

    // A copy of `text`.
    char16_t* copy(QStringView text);
    // Room for a text of `units` units, its terminating zero already written.
    char16_t* room(std::size_t units);

private:
    struct Release {
        void operator()(char16_t* block) const { LargeBlock::release(block); }
    };
    using Block = std::unique_ptr<char16_t[], Release>;
    static constexpr std::size_t kBlockUnits = LargeBlock::kHugePage / sizeof(char16_t);

    static Block newBlock(std::size_t units);

    std::vector<Block> m_blocks;  // of kBlockUnits each
    std::vector<Block> m_large;   // one text longer than a block each
    char16_t* m_free = nullptr;   // the unused rest of the newest block
    std::size_t m_left = 0;
};
