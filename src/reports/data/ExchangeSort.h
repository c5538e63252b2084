// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <numeric>
#include <type_traits>
#include <vector>

#include "reports/data/TDynaArray.h"
#include "storage/LargeBlock.h"

// The sort of the report arrays: the in-place exchange sort
//
//     for i in 0 .. count-1: for j in i+1 .. count-1: if key(j) < key(i): Change(i, j)
//
// Its result is ascending, and it fixes the order of records with equal keys (same-day bookings) in its
// own way, which the printed lists show; that order must not change. The plain procedure is quadratic, so
// the same permutation is computed in O(n log n) (see orderFromRanks) and applied in one go.
namespace ExchangeSort {

// Positions, ranks and permutations: for a million records blocks of megabytes (see LargeBlock).
using Order = LargeBlock::Vector<std::uint32_t>;

// Final order of the plain procedure over key ranks (0 = smallest key): result[p] is the original index of
// the record that ends at position p. O(n log n). From `sideBySideFrom` records on, two threads share
// the work where the machine has the cores.
Order orderFromRanks(const Order& ranks, std::size_t sideBySideFrom = 50000);

// The plain procedure over the keys, as positions (the reference, and the way for keys without a
// total order such as NaN). O(n^2).
template <typename Key>
std::vector<std::uint32_t> plainOrder(const std::vector<Key>& keys) {
    std::vector<Key> k = keys;
    std::vector<std::uint32_t> order(keys.size());
    std::iota(order.begin(), order.end(), 0u);
    for (std::size_t i = 0; i < k.size(); ++i) {
        for (std::size_t j = i + 1; j < k.size(); ++j) {
            if (k[j] < k[i]) {
                std::swap(k[i], k[j]);
                std::swap(order[i], order[j]);
            }
        }
    }
    return order;
}

// True when no record has a smaller key than one before it: the procedure then swaps nothing.
template <typename Keys>
bool inOrder(const Keys& keys) {
    for (std::size_t i = 1; i < keys.size(); ++i)
        if (keys[i] < keys[i - 1]) return false;
    return true;
}

// Dense ranks by counting, for whole-number keys in a narrow range (day numbers, account numbers): false
// when the keys are not such, the caller then ranks by sorting.
template <typename Keys>
bool denseRanks(const Keys& keys, Order& ranks) {
    using Key = typename Keys::value_type;
    if (keys.empty()) return true;
    Key low = keys[0];
    Key high = keys[0];
    for (const Key& k : keys) {
        if constexpr (std::is_floating_point_v<Key>) {
            if (!(std::fabs(k) < 1e15) || k != std::floor(k)) return false;
        }
        low = std::min(low, k);
        high = std::max(high, k);
    }
    const auto base = static_cast<std::int64_t>(low);
    const auto range = static_cast<std::int64_t>(high) - base;
    if (range > 4 * std::int64_t(keys.size()) + 1024) return false;
    Order rankOf(std::size_t(range) + 1, 0);
    for (const Key& k : keys) rankOf[std::size_t(static_cast<std::int64_t>(k) - base)] = 1;
    std::uint32_t next = 0;
    for (std::uint32_t& r : rankOf) {
        const bool present = r != 0;
        r = next;
        next += present ? 1 : 0;
    }
    for (std::size_t i = 0; i < keys.size(); ++i)
        ranks[i] = rankOf[std::size_t(static_cast<std::int64_t>(keys[i]) - base)];
    return true;
}

// The permutation of the plain procedure, fast. Empty when the keys are already in order (identity).
template <typename Keys>
Order order(const Keys& keys) {
    using Key = typename Keys::value_type;
    if (inOrder(keys)) return {};
    if constexpr (std::is_floating_point_v<Key>) {
        // NaN compares false with everything: no total order, so the reasoning behind the fast way does
        // not hold. Stored rates and dates are never NaN; should one be, the plain procedure decides.
        for (const Key& k : keys)
            if (std::isnan(k)) {
                const std::vector<Key> copy(keys.begin(), keys.end());
                const std::vector<std::uint32_t> plain = plainOrder(copy);
                return Order(plain.begin(), plain.end());
            }
    }
    Order ranks(keys.size());
    if (!denseRanks(keys, ranks)) {
        Order byKey(keys.size());
        std::iota(byKey.begin(), byKey.end(), 0u);
        std::stable_sort(byKey.begin(), byKey.end(),
                         [&keys](std::uint32_t a, std::uint32_t b) { return keys[a] < keys[b]; });
        std::uint32_t rank = 0;
        for (std::size_t p = 0; p < byKey.size(); ++p) {
            if (p > 0 && keys[byKey[p - 1]] < keys[byKey[p]]) ++rank;
            ranks[byKey[p]] = rank;
        }
    }
    return orderFromRanks(ranks);
}

// Sorts the array as the plain procedure does. `key` maps a record to its key. The cursor is not moved.
template <typename Rec, typename KeyOf>
void sort(TDynaArray<Rec>& array, KeyOf key) {
    using Key = std::decay_t<decltype(key(array.at(0)))>;
    const std::uint32_t n = array.Count();
    LargeBlock::Vector<Key> keys;
    keys.reserve(n);
    for (std::uint32_t i = 0; i < n; ++i) keys.push_back(key(array.at(i)));
    const Order perm = order(keys);
    if (perm.empty()) return;
    // Record perm[p] goes to p: follow each cycle with one record in hand (no copy of the whole block).
    std::vector<bool> placed(n, false);
    for (std::uint32_t start = 0; start < n; ++start) {
        if (placed[start] || perm[start] == start) continue;
        Rec held;
        std::memcpy(static_cast<void*>(&held), &array.at(start), sizeof(Rec));
        std::uint32_t p = start;
        while (perm[p] != start) {
            std::memcpy(static_cast<void*>(&array.at(p)), &array.at(perm[p]), sizeof(Rec));
            placed[p] = true;
            p = perm[p];
        }
        std::memcpy(static_cast<void*>(&array.at(p)), &held, sizeof(Rec));
        placed[p] = true;
    }
}

// The plain procedure on the array itself, with Change as the swap.
template <typename Rec, typename KeyOf>
void plainSort(TDynaArray<Rec>& array, KeyOf key) {
    const std::uint32_t n = array.Count();
    for (std::uint32_t i = 0; i < n; ++i)
        for (std::uint32_t j = i + 1; j < n; ++j)
            if (key(array.at(j)) < key(array.at(i))) array.Change(i, j);
}

}  // namespace ExchangeSort
