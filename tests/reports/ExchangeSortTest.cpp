// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "reports/data/ExchangeSort.h"
#include "reports/data/ReportData.h"

namespace {

std::vector<std::uint32_t> fastOrder(const std::vector<double>& keys) {
    const ExchangeSort::Order fast = ExchangeSort::order(keys);
    std::vector<std::uint32_t> order(fast.begin(), fast.end());
    if (order.empty()) {  // already in order: nothing moves
        order.resize(keys.size());
        std::iota(order.begin(), order.end(), 0u);
    }
    return order;
}

// Keys with many repeats: `distinct` values over arrays of up to `maxSize`.
std::vector<double> randomKeys(std::mt19937& rng, std::size_t size, int distinct) {
    std::vector<double> keys(size);
    for (double& k : keys) k = double(rng() % unsigned(distinct));
    return keys;
}

TEST(ExchangeSort, SameDayExamples) {
    // 5 March (first), 5 March (second), 1 March -> 1 March, second, first.
    EXPECT_EQ(fastOrder({5, 5, 1}), (std::vector<std::uint32_t>{2, 1, 0}));
    // 5 March (first), 1 March, 5 March (second) -> 1 March, first, second.
    EXPECT_EQ(fastOrder({5, 1, 5}), (std::vector<std::uint32_t>{1, 0, 2}));
}

TEST(ExchangeSort, SortedInputIsLeftAlone) {
    EXPECT_TRUE(ExchangeSort::order(std::vector<double>{}).empty());
    EXPECT_TRUE(ExchangeSort::order(std::vector<double>{1, 1, 2, 2, 2, 9}).empty());
    EXPECT_FALSE(ExchangeSort::order(std::vector<double>{1, 2, 1}).empty());
}

TEST(ExchangeSort, EqualsThePlainProcedureOnRandomArrays) {
    std::mt19937 rng(20240501);
    for (int run = 0; run < 6000; ++run) {
        const std::size_t size = rng() % 301;
        const int distinct = 1 + int(rng() % (run % 3 == 0 ? 4 : 40));
        std::vector<double> keys = randomKeys(rng, size, distinct);
        if (run % 2 == 1)
            for (double& k : keys) k = k / 2 - 3;  // rates such as 7.5 and negative keys
        if (run % 5 == 0) std::sort(keys.rbegin(), keys.rend());  // newest first
        if (run % 7 == 0 && size > 0) {                           // nearly sorted: a few out of place
            std::sort(keys.begin(), keys.end());
            std::swap(keys[rng() % size], keys[rng() % size]);
        }
        ASSERT_EQ(fastOrder(keys), ExchangeSort::plainOrder(keys)) << "run " << run << ", size " << size;
    }
}

TEST(ExchangeSort, EqualsThePlainProcedureOnLargeArrays) {
    std::mt19937 rng(7);
    for (const int distinct : {3, 60, 366, 100000}) {
        const std::vector<double> keys = randomKeys(rng, 12000, distinct);
        const std::vector<std::uint32_t> plain = ExchangeSort::plainOrder(keys);
        ASSERT_EQ(fastOrder(keys), plain) << distinct;
        // The same with the keys' records shared between two threads.
        const ExchangeSort::Order ranks(keys.begin(), keys.end());
        const ExchangeSort::Order shared = ExchangeSort::orderFromRanks(ranks, 1000);
        ASSERT_EQ(std::vector<std::uint32_t>(shared.begin(), shared.end()), plain) << distinct;
    }
    // Newest first with many bookings a day, and a descending run of distinct keys.
    std::vector<double> newest = randomKeys(rng, 12000, 366);
    std::sort(newest.rbegin(), newest.rend());
    ASSERT_EQ(fastOrder(newest), ExchangeSort::plainOrder(newest));
    std::vector<double> descending(5000);
    for (std::size_t i = 0; i < descending.size(); ++i) descending[i] = double(descending.size() - i);
    ASSERT_EQ(fastOrder(descending), ExchangeSort::plainOrder(descending));
}

TEST(ExchangeSort, IntegerKeysWithSignsAndNaNRates) {
    std::mt19937 rng(3);
    for (int run = 0; run < 500; ++run) {
        std::vector<int> keys(rng() % 120);
        for (int& k : keys) k = int(rng() % 9) - 4;
        const ExchangeSort::Order order = ExchangeSort::order(keys);
        std::vector<std::uint32_t> fast(order.begin(), order.end());
        if (fast.empty()) {
            fast.resize(keys.size());
            std::iota(fast.begin(), fast.end(), 0u);
        }
        ASSERT_EQ(fast, ExchangeSort::plainOrder(keys));
    }
    const std::vector<double> withNan = {19, std::nan(""), 7, 0, std::nan(""), -0.0, 7};
    EXPECT_EQ(fastOrder(withNan), ExchangeSort::plainOrder(withNan));
}

TEST(ExchangeSort, ArraySortMovesWholeRecordsLikeChange) {
    std::mt19937 rng(11);
    for (int run = 0; run < 200; ++run) {
        TKontoRec* cursorA = nullptr;
        TKontoRec* cursorB = nullptr;
        TKontoArray fast(&cursorA);
        TKontoArray plain(&cursorB);
        const int n = int(rng() % 250);
        for (int i = 0; i < n; ++i) {
            const double datum = 45000 + double(rng() % 20);
            for (TKontoArray* a : {&fast, &plain}) {
                TKontoRec* r = a->Add();
                r->konto = i;
                r->datum = datum;
                r->brutto = i * 1.5;
            }
        }
        ExchangeSort::sort(fast, [](const TKontoRec& r) { return r.datum; });
        ExchangeSort::plainSort(plain, [](const TKontoRec& r) { return r.datum; });
        for (int i = 0; i < n; ++i) {
            ASSERT_EQ(fast.at(std::uint32_t(i)).konto, plain.at(std::uint32_t(i)).konto);
            ASSERT_EQ(fast.at(std::uint32_t(i)).brutto, plain.at(std::uint32_t(i)).brutto);
        }
    }
}

}  // namespace
