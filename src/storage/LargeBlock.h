// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <new>
#include <vector>

// Working memory of the passes over a whole year (report records and their texts, the tables of their
// sorts): blocks of megabytes, filled right after they are taken. Memory fresh from the system costs more
// to touch than such a pass spends filling it: the kernel clears every page on first touch, and on a
// virtual machine the host backs it only then (here about 12 µs a 4 KB page, 300 ms for 100 MB, and
// memory handed back to the system is soon fresh again). Blocks of 2 MB and more therefore come from a
// pool that keeps its memory once taken: mapped in huge pages where the kernel grants them, handed out
// in steps of 2 MB, merged again when released, and never given back while the program runs. prepare()
// fills the pool ahead of need, so that even the first report after opening a large year finds its
// memory ready. Smaller blocks are ordinary heap blocks.
//
// Blocks of allocate() go back through release() (never std::free); all functions may be called from
// any thread.
namespace LargeBlock {

constexpr std::size_t kHugePage = std::size_t(2) << 20;

// Null when the memory is not there.
void* allocate(std::size_t bytes);
// A block of at least `bytes` with the first `keep` bytes of `block` (a block of allocate, or null);
// `block` is released unless it is the result. Null when the memory is not there (`block` stays).
void* reallocate(void* block, std::size_t keep, std::size_t bytes);
void release(void* block);

// Has the kernel map the whole pages within [begin, begin + bytes) at once, where it can, instead of one
// trap per page on first touch; for memory that is filled right after (its contents are unchanged).
void populate(void* begin, std::size_t bytes);

// Makes the pool hold at least `bytes` of free memory, mapped and touched (on the caller's thread).
void prepare(std::size_t bytes);
// Starts prepare(bytes) on a thread of its own and returns at once.
void prepareInBackground(std::size_t bytes);

// Bytes of the pool handed out now, and held in all (for the memory figures of the benchmarks and tests).
std::size_t inUse();
std::size_t held();

// For containers of such blocks.
template <typename T>
struct Allocator {
    using value_type = T;
    Allocator() = default;
    template <typename U>
    Allocator(const Allocator<U>&) {}
    T* allocate(std::size_t n) {
        if (n > std::size_t(-1) / sizeof(T)) throw std::bad_alloc();
        void* block = LargeBlock::allocate(n * sizeof(T));
        if (!block) throw std::bad_alloc();
        return static_cast<T*>(block);
    }
    void deallocate(T* block, std::size_t) { LargeBlock::release(block); }
    friend bool operator==(const Allocator&, const Allocator&) { return true; }
};

template <typename T>
using Vector = std::vector<T, Allocator<T>>;

}  // namespace LargeBlock
