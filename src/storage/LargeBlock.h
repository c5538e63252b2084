// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdlib>
#include <new>
#include <vector>

// Working memory of the passes over a whole year (report records and their texts, the tables of their
// sorts): blocks of megabytes, filled right after they are taken. Taken from the system one 4 KB page at a
// time, such a block costs more to touch than the pass spends filling it (on a virtual machine about 12 µs
// a page, 300 ms for 100 MB). A block of 2 MB or more is therefore aligned to 2 MB and offered to the
// kernel for transparent huge pages; where the system grants none it is an ordinary block. Blocks are
// released with std::free and may be grown with std::realloc.
namespace LargeBlock {

constexpr std::size_t kHugePage = std::size_t(2) << 20;

// Null when the memory is not there.
void* allocate(std::size_t bytes);

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
    void deallocate(T* block, std::size_t) { std::free(block); }
    friend bool operator==(const Allocator&, const Allocator&) { return true; }
};

template <typename T>
using Vector = std::vector<T, Allocator<T>>;

}  // namespace LargeBlock
