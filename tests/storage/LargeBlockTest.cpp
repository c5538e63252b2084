// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <thread>
#include <vector>

#include "storage/LargeBlock.h"

namespace {

constexpr std::size_t MB = std::size_t(1) << 20;

// Each block filled with its own byte: a block handed out twice, or overlapping another, shows as a wrong
// byte in one of them.
struct Held {
    unsigned char* block;
    std::size_t bytes;
    unsigned char mark;
};

bool intact(const Held& h) {
    for (std::size_t i = 0; i < h.bytes; i += 4093)
        if (h.block[i] != h.mark) return false;
    return h.block[h.bytes - 1] == h.mark;
}

// Blocks of many sizes taken, grown and released in a mixed order: no block overlaps another, a grown
// block keeps its bytes, and what was released is handed out again instead of new memory. The pool's
// memory stays with it, merged again where blocks lay side by side.
TEST(LargeBlock, BlocksStayApartKeepTheirBytesAndAreTakenAgain) {
    struct Step {
        std::size_t bytes;  // 0: release the block of `index`
        int index;          // the block to grow (or release); -1 for a new one
    };
    const std::vector<Step> steps = {{3 * MB, -1}, {100, -1},    {2 * MB, -1},     {5 * MB + 1, -1}, {7 * MB, 0},
                                     {0, 2},       {9 * MB, 1},  {2 * MB - 1, -1}, {4 * MB, -1},     {0, 0},
                                     {6 * MB, -1}, {12 * MB, 4}, {0, 3},           {1 * MB, 6}};
    std::vector<Held> held;
    unsigned char mark = 1;
    for (const Step& s : steps) {
        if (s.bytes == 0) {
            LargeBlock::release(held[std::size_t(s.index)].block);
            held[std::size_t(s.index)] = Held{nullptr, 0, 0};
            continue;
        }
        if (s.index < 0) {
            auto* block = static_cast<unsigned char*>(LargeBlock::allocate(s.bytes));
            ASSERT_NE(block, nullptr);
            std::memset(block, mark, s.bytes);
            held.push_back(Held{block, s.bytes, mark++});
        } else {
            Held& h = held[std::size_t(s.index)];
            auto* grown = static_cast<unsigned char*>(LargeBlock::reallocate(h.block, h.bytes, s.bytes));
            ASSERT_NE(grown, nullptr);
            h.block = grown;
            ASSERT_TRUE(intact(Held{grown, std::min(h.bytes, s.bytes), h.mark})) << "grown to " << s.bytes;
            std::memset(grown, h.mark, s.bytes);
            h.bytes = s.bytes;
        }
        for (const Held& h : held) {
            if (!h.block) continue;
            ASSERT_TRUE(intact(h)) << "block of " << h.bytes << " bytes";
        }
    }
    for (Held& h : held) LargeBlock::release(h.block);
    const std::size_t held_ = LargeBlock::held();
    const std::size_t inUse = LargeBlock::inUse();
    // Released memory is taken again: the same round once more maps nothing new.
    for (int round = 0; round < 2; ++round) {
        std::vector<void*> again;
        for (const std::size_t bytes : {3 * MB, 2 * MB, 5 * MB, 4 * MB, 6 * MB})
            again.push_back(LargeBlock::allocate(bytes));
        for (void* block : again) LargeBlock::release(block);
    }
    EXPECT_EQ(LargeBlock::held(), held_);
    EXPECT_EQ(LargeBlock::inUse(), inUse);
}

// Memory readied ahead is held but not in use, and a block of that size then comes from it; two threads
// taking and releasing blocks side by side never get the same memory.
TEST(LargeBlock, PreparedMemoryServesLaterBlocksAndThreadsShareThePool) {
    const std::size_t before = LargeBlock::held();
    LargeBlock::prepare(LargeBlock::held() - LargeBlock::inUse() + 16 * MB);
    EXPECT_GE(LargeBlock::held(), before + 16 * MB);
    const std::size_t prepared = LargeBlock::held();
    void* block = LargeBlock::allocate(16 * MB);
    EXPECT_EQ(LargeBlock::held(), prepared);
    LargeBlock::release(block);

    const auto work = [](unsigned char mark, bool* ok) {
        for (int i = 0; i < 200; ++i) {
            const std::size_t bytes = (1 + std::size_t(i % 3)) * 2 * MB;
            auto* b = static_cast<unsigned char*>(LargeBlock::allocate(bytes));
            std::memset(b, mark, bytes);
            if (!intact(Held{b, bytes, mark})) *ok = false;
            LargeBlock::release(b);
        }
    };
    bool ok1 = true;
    bool ok2 = true;
    std::thread other(work, 0x5A, &ok1);
    work(0xA5, &ok2);
    other.join();
    EXPECT_TRUE(ok1 && ok2);
}

}  // namespace
