// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/data/ExchangeSort.h"

#include "reports/data/SideBySide.h"
#include "storage/LargeBlock.h"

// Why the fast way gives the plain procedure's order.
//
// Pass i of the procedure walks the chain of ever smaller keys that starts at position i (each link is
// the first later record with a smaller key than the link before). The record of each link moves to the
// next link's position and the last link (the first record with the smallest key of the rest) moves to
// position i. Records off the chain stay where they are.
//
// Fix a key v and look only at the records with keys <= v: those with a smaller key ("0") and those with
// key v ("1"). Records with larger keys never change the relative order of these: a larger record on the
// chain moves, but moving one record leaves the order of all others as it was, and whether a smaller or
// equal record is on the chain does not depend on larger ones. While smaller records remain, every pass
// takes one of them out, and in 0/1 terms always the first 0 in the sequence:
//  - sequence starts with 0: that 0 is the chain's first link; the 1s do not move;
//  - sequence starts with a run of 1s followed by a 0: the first 1 of the run is the chain's first link
//    and moves to where that 0 stood; so the run turns by one (its first record goes to its end) and
//    that 0 disappears, joining the run with the 1s behind it.
// Once no smaller record remains, the records with key v leave in the order they then stand in.
//
// So for the records e1 < e2 < ... < ek (positions) with key v, and zt the number of smaller records
// between et and e(t+1) (after ek for t = k): start with an empty run, and for t = 1..k append et and
// turn the run left by zt. The final run is their order in the result. The turns are undone backwards
// over the final slots with a rank tree, in O(k log k); the zt come from a rank tree over the positions
// of the records with smaller keys. Altogether O(n log n).

namespace {

// A Fenwick tree over positions 0..n-1 holding counts: prefix sums and selection by rank in O(log n). Its
// size is rounded up to a power of two (the extra positions hold 0), so a selection needs no bound check
// and takes each step without a branch.
class RankTree {
public:
    explicit RankTree(std::size_t n, bool allOnes = false) {
        while (m_size < n) m_size <<= 1;
        m_tree.assign(m_size + 1, 0);
        if (allOnes)
            for (std::size_t i = 1; i <= m_size; ++i) {
                const std::size_t low = i - (i & (~i + 1));  // the node counts positions low .. i-1
                m_tree[i] = static_cast<std::int32_t>(i <= n ? i - low : (low < n ? n - low : 0));
            }
    }

    void add(std::size_t position, std::int32_t delta) {
        for (std::size_t i = position + 1; i <= m_size; i += i & (~i + 1)) m_tree[i] += delta;
    }

    // Sum over positions [0, end).
    std::int64_t prefix(std::size_t end) const {
        std::int64_t sum = 0;
        for (std::size_t i = end; i > 0; i -= i & (~i + 1)) sum += m_tree[i];
        return sum;
    }

    // The position holding the element of 0-based rank `rank` (all counts 0 or 1; rank below the total).
    std::size_t select(std::int64_t rank) const {
        std::size_t position = 0;
        for (std::size_t step = m_size; step > 0; step >>= 1) {
            const std::int64_t count = m_tree[position + step];
            const std::int64_t beyond = -std::int64_t(count <= rank);  // all ones or zero
            position += step & std::size_t(beyond);
            rank -= count & beyond;
        }
        return position;
    }

private:
    std::vector<std::int32_t> m_tree;
    std::size_t m_size = 1;
};

// Order of one key's records (positions ascending) given the smaller records after each of them.
void orderOfEqualKeys(const std::uint32_t* positions, const std::uint32_t* zeros, std::size_t k, std::uint32_t* out) {
    bool turns = false;
    for (std::size_t t = 0; t < k && k > 1; ++t) turns = turns || zeros[t] != 0;
    // A run of one never changes, and without turns the run keeps its order.
    if (!turns) {
        std::copy(positions, positions + k, out);
        return;
    }
    RankTree present(k, true);
    // The head is tracked by its rank among the slots still free: the slot after the one filled becomes
    // the head, and its rank is the filled one's, or 0 when the filled one was the last.
    std::int64_t headRank = 0;
    std::int64_t alive = static_cast<std::int64_t>(k);
    for (std::size_t t = k; t-- > 0;) {
        const std::int64_t z = zeros[t];
        std::int64_t headBefore = headRank - (z < alive ? z : z % alive);  // mostly fewer: no division
        if (headBefore < 0) headBefore += alive;
        const std::int64_t last = headBefore == 0 ? alive - 1 : headBefore - 1;
        const std::size_t slot = present.select(last);
        out[slot] = positions[t];
        present.add(slot, -1);
        --alive;
        headRank = headBefore == 0 ? 0 : last;
    }
}

}  // namespace

namespace ExchangeSort {

Order orderFromRanks(const Order& ranks, std::size_t sideBySideFrom) {
    const std::size_t n = ranks.size();
    Order result(n);
    if (n == 0) return result;
    // Positions grouped by rank, ascending within each group (counting sort).
    std::uint32_t rankCount = 0;
    for (std::uint32_t r : ranks) rankCount = std::max(rankCount, r + 1);
    LargeBlock::Vector<std::uint32_t> start(std::size_t(rankCount) + 1, 0);
    for (std::uint32_t r : ranks) ++start[r + 1];
    for (std::size_t r = 0; r < rankCount; ++r) start[r + 1] += start[r];

    // In the same sweep, with a rank tree over the ranks (for dates a few hundred, which stay in the
    // processor's cache): the smaller records between each record and the next one of its group, in
    // group order; for the last one of a group, the smaller records after it (start[r] are smaller in
    // all). Everything written goes to the group's next slot, so the sweep reads nothing out of order.
    LargeBlock::Vector<std::uint32_t> grouped(n);
    LargeBlock::Vector<std::uint32_t> zeros(n);
    {
        LargeBlock::Vector<std::uint32_t> fill(start.begin(), start.end() - 1);
        LargeBlock::Vector<std::uint32_t> smallerBeforeLast(rankCount, 0);
        RankTree seen(rankCount);
        for (std::uint32_t p = 0; p < n; ++p) {
            const std::uint32_t r = ranks[p];
            const auto smallerBefore = static_cast<std::uint32_t>(seen.prefix(r));
            seen.add(r, 1);
            const std::uint32_t slot = fill[r]++;
            grouped[slot] = p;
            if (slot > start[r]) zeros[slot - 1] = smallerBefore - smallerBeforeLast[r];
            smallerBeforeLast[r] = smallerBefore;
        }
        for (std::uint32_t r = 0; r < rankCount; ++r)
            if (start[r + 1] > start[r]) zeros[start[r + 1] - 1] = start[r] - smallerBeforeLast[r];
    }
    // Each key's records take their slots independently of the others'.
    const auto ordered = [&](std::uint32_t fromRank, std::uint32_t toRank) {
        for (std::uint32_t r = fromRank; r < toRank; ++r) {
            const std::size_t k = start[r + 1] - start[r];
            if (k > 0)
                orderOfEqualKeys(grouped.data() + start[r], zeros.data() + start[r], k, result.data() + start[r]);
        }
    };
    if (n < sideBySideFrom || !SideBySide::worthIt()) {
        ordered(0, rankCount);
        return result;
    }
    // The keys split where about half the records lie before.
    const auto middle =
        std::uint32_t(std::upper_bound(start.begin(), start.end(), std::uint32_t(n / 2)) - start.begin() - 1);
    SideBySide::run([&](int part) { part == 0 ? ordered(0, middle) : ordered(middle, rankCount); });
    return result;
}

}  // namespace ExchangeSort
