// SPDX-License-Identifier: GPL-3.0-or-later
#include "storage/LargeBlock.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <map>
#include <mutex>
#include <system_error>
#include <thread>
#include <unordered_map>

namespace LargeBlock {

namespace {

std::size_t roundUp(std::size_t bytes) {
    return (bytes + kHugePage - 1) & ~(kHugePage - 1);
}

class Pool {
public:
    void* take(std::size_t bytes) {
        const std::lock_guard<std::mutex> guard(m_lock);
        // First fit in the order of addresses: blocks taken together lie together.
        for (auto it = m_free.begin(); it != m_free.end(); ++it) {
            if (it->second < bytes) continue;
            char* block = it->first;
            const std::size_t rest = it->second - bytes;
            m_free.erase(it);
            if (rest > 0) m_free.emplace(block + bytes, rest);
            m_used.emplace(block, bytes);
            m_inUse += bytes;
            return block;
        }
        return nullptr;
    }

    // False for a block that is not the pool's.
    bool give(void* pointer) {
        char* block = static_cast<char*>(pointer);
        const std::lock_guard<std::mutex> guard(m_lock);
        const auto used = m_used.find(block);
        if (used == m_used.end()) return false;
        std::size_t bytes = used->second;
        m_used.erase(used);
        m_inUse -= bytes;
        // Merged with its free neighbours, so that a larger block fits again.
        auto next = m_free.lower_bound(block);
        if (next != m_free.end() && next->first == block + bytes) {
            bytes += next->second;
            next = m_free.erase(next);
        }
        if (next != m_free.begin()) {
            const auto before = std::prev(next);
            if (before->first + before->second == block) {
                before->second += bytes;
                return true;
            }
        }
        m_free.emplace(block, bytes);
        return true;
    }

    // Grows a block of the pool in place to `bytes` when the memory behind it is free; false otherwise.
    bool growInPlace(void* pointer, std::size_t bytes) {
        char* block = static_cast<char*>(pointer);
        const std::lock_guard<std::mutex> guard(m_lock);
        const auto used = m_used.find(block);
        if (used == m_used.end() || used->second >= bytes) return used != m_used.end();
        const std::size_t more = bytes - used->second;
        const auto behind = m_free.find(block + used->second);
        if (behind == m_free.end() || behind->second < more) return false;
        const std::size_t rest = behind->second - more;
        m_free.erase(behind);
        if (rest > 0) m_free.emplace(block + bytes, rest);
        used->second = bytes;
        m_inUse += more;
        return true;
    }

    // The size of a block of the pool, 0 for another.
    std::size_t sizeOf(void* pointer) {
        const std::lock_guard<std::mutex> guard(m_lock);
        const auto used = m_used.find(static_cast<char*>(pointer));
        return used == m_used.end() ? 0 : used->second;
    }

    // A region mapped anew, handed out at once (released later, it joins the free memory).
    void addTaken(char* region, std::size_t bytes) {
        const std::lock_guard<std::mutex> guard(m_lock);
        m_held += bytes;
        m_used.emplace(region, bytes);
        m_inUse += bytes;
    }

    std::size_t freeBytes() {
        const std::lock_guard<std::mutex> guard(m_lock);
        return m_held - m_inUse;
    }
    std::size_t inUse() {
        const std::lock_guard<std::mutex> guard(m_lock);
        return m_inUse;
    }
    std::size_t held() {
        const std::lock_guard<std::mutex> guard(m_lock);
        return m_held;
    }

private:
    std::mutex m_lock;
    std::map<char*, std::size_t> m_free;  // by address, neighbours merged
    std::unordered_map<char*, std::size_t> m_used;
    std::size_t m_held = 0;
    std::size_t m_inUse = 0;
};

Pool& pool() {
    static Pool* const instance = new Pool;  // never destroyed: blocks may still be released at exit
    return *instance;
}

// A region of `bytes` (a multiple of 2 MB) aligned to 2 MB and offered for huge pages; null when the
// system has no memory for it.
char* mapRegion(std::size_t bytes) {
    const std::size_t span = bytes + kHugePage;
    void* mapped = mmap(nullptr, span, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED) return nullptr;
    char* start = static_cast<char*>(mapped);
    char* aligned =
        reinterpret_cast<char*>((reinterpret_cast<std::uintptr_t>(start) + kHugePage - 1) & ~(kHugePage - 1));
    if (aligned > start) munmap(start, std::size_t(aligned - start));
    char* end = start + span;
    if (end > aligned + bytes) munmap(aligned + bytes, std::size_t(end - (aligned + bytes)));
    madvise(aligned, bytes, MADV_HUGEPAGE);  // only a request
    return aligned;
}

}  // namespace

void* allocate(std::size_t bytes) {
    if (bytes < kHugePage) return std::malloc(bytes == 0 ? 1 : bytes);
    const std::size_t rounded = roundUp(bytes);
    if (rounded < bytes) return nullptr;
    if (void* block = pool().take(rounded)) return block;
    // A region of its own, which joins the pool when the block is released.
    char* region = mapRegion(rounded);
    if (region) pool().addTaken(region, rounded);
    return region;
}

void* reallocate(void* block, std::size_t keep, std::size_t bytes) {
    const std::size_t pooled = block ? pool().sizeOf(block) : 0;
    if (pooled >= bytes) return block;
    if (block && pooled == 0 && bytes < kHugePage) return std::realloc(block, bytes);
    if (pooled > 0 && pool().growInPlace(block, roundUp(bytes))) return block;
    // A block that grows step by step moves by half its size at least, so that it is copied a few times,
    // not once a step.
    void* larger = allocate(std::max(bytes, pooled + pooled / 2));
    if (!larger) return nullptr;
    if (block) {
        std::memcpy(larger, block, keep);
        release(block);
    }
    return larger;
}

void release(void* block) {
    if (block && !pool().give(block)) std::free(block);
}

void populate(void* begin, std::size_t bytes) {
#ifdef MADV_POPULATE_WRITE
    const auto page = std::uintptr_t(sysconf(_SC_PAGESIZE));
    const std::uintptr_t from = (reinterpret_cast<std::uintptr_t>(begin) + page - 1) & ~(page - 1);
    const std::uintptr_t to = (reinterpret_cast<std::uintptr_t>(begin) + bytes) & ~(page - 1);
    if (to > from) madvise(reinterpret_cast<void*>(from), to - from, MADV_POPULATE_WRITE);  // else page by page
#else
    (void)begin;
    (void)bytes;
#endif
}

void prepare(std::size_t bytes) {
    const std::size_t wanted = roundUp(bytes);
    const std::size_t have = pool().freeBytes();
    if (have >= wanted) return;
    const std::size_t more = wanted - have;
    char* region = mapRegion(more);
    if (!region) return;  // the blocks are then mapped when needed
    populate(region, more);
    pool().addTaken(region, more);
    pool().give(region);
}

void prepareInBackground(std::size_t bytes) {
    try {
        std::thread([bytes] { prepare(bytes); }).detach();
    } catch (const std::system_error&) {
        // No thread to be had: the memory is mapped when needed.
    }
}

std::size_t inUse() {
    return pool().inUse();
}

std::size_t held() {
    return pool().held();
}

}  // namespace LargeBlock
