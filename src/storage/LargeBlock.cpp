// SPDX-License-Identifier: GPL-3.0-or-later
#include "storage/LargeBlock.h"

#include <sys/mman.h>

namespace LargeBlock {

void* allocate(std::size_t bytes) {
    if (bytes < kHugePage) return std::malloc(bytes == 0 ? 1 : bytes);
    const std::size_t rounded = (bytes + kHugePage - 1) & ~(kHugePage - 1);
    if (rounded < bytes) return nullptr;
    void* block = std::aligned_alloc(kHugePage, rounded);
    // Only a request: without huge pages the block is ordinary memory.
    if (block) madvise(block, rounded, MADV_HUGEPAGE);
    return block;
}

}  // namespace LargeBlock
