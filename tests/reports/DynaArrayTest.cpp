// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "reports/data/KontoStrings.h"
#include "reports/data/ReportData.h"

namespace {

struct Rec {
    int nr;
    double value;
};
using Array = TDynaArray<Rec>;

Rec* const sentinel = reinterpret_cast<Rec*>(std::uintptr_t(0x10));

bool allZero(const Rec& r) {
    static const Rec zero{};
    Rec copy;
    std::memcpy(&copy, &r, sizeof r);
    return std::memcmp(&copy, &zero, sizeof r) == 0;
}

void fill(Array& a, int n) {
    for (int i = 0; i < n; ++i) a.Add()->nr = i;
}

TEST(DynaArray, CreateWritesNothingAndHasNoBlock) {
    Rec* cursor = sentinel;
    Array a(&cursor);
    EXPECT_EQ(cursor, sentinel);
    EXPECT_EQ(a.Count(), 0u);
    EXPECT_EQ(a.MemSize(), 0u);
    EXPECT_EQ(a.CurrentIndex(), -1);
    EXPECT_EQ(a.Current(), nullptr);
    EXPECT_EQ(Array::BufferSize(), 100u);
}

TEST(DynaArray, GrowsAndShrinksInStepsOfHundredKeepingContents) {
    Rec* cursor = nullptr;
    Array a(&cursor);
    fill(a, 100);
    EXPECT_EQ(a.MemSize(), 100 * sizeof(Rec));
    Rec* r = a.Add();
    EXPECT_TRUE(allZero(*r));
    r->nr = 100;
    EXPECT_EQ(cursor, r);
    EXPECT_EQ(a.MemSize(), 200 * sizeof(Rec));
    for (std::uint32_t i = 0; i <= 100; ++i) EXPECT_EQ(a.at(i).nr, int(i));
    a.Delete(100);
    EXPECT_EQ(a.MemSize(), 100 * sizeof(Rec));
    for (std::uint32_t i = 0; i < 100; ++i) ASSERT_EQ(a.at(i).nr, int(i));
}

// Many zero records in one step: the records before keep their bytes, the block follows the steps of
// hundred, the cursor is on the last one, and Add goes on behind them (a block of huge pages included).
TEST(DynaArray, AddZeroedAppendsZeroRecordsInOneStep) {
    struct Case {
        int before;
        std::uint32_t added;
    };
    for (const Case c : {Case{0, 0}, Case{0, 1}, Case{0, 100}, Case{3, 97}, Case{3, 98}, Case{150, 250000}}) {
        Rec* cursor = nullptr;
        Array a(&cursor);
        fill(a, c.before + 40);
        for (int i = 0; i < 40; ++i) a.Delete(c.before);  // room that held records before
        Rec* const cursorBefore = cursor;
        a.AddZeroed(c.added);
        const std::uint32_t count = std::uint32_t(c.before) + c.added;
        ASSERT_EQ(a.Count(), count) << c.before << "+" << c.added;
        EXPECT_EQ(a.MemSize(), (count + 99) / 100 * 100 * sizeof(Rec)) << c.before << "+" << c.added;
        EXPECT_EQ(cursor, c.added > 0 ? &a.at(count - 1) : cursorBefore) << c.before << "+" << c.added;
        for (int i = 0; i < c.before; ++i) ASSERT_EQ(a.at(std::uint32_t(i)).nr, i);
        for (std::uint32_t i = std::uint32_t(c.before); i < count; ++i) ASSERT_TRUE(allZero(a.at(i))) << i;
        a.Add()->nr = -1;
        EXPECT_EQ(a.at(count).nr, -1);
        for (int i = 0; i < c.before; ++i) ASSERT_EQ(a.at(std::uint32_t(i)).nr, i);
    }
}

TEST(DynaArray, AddAfterDeleteGivesZeroRecords) {
    Array a;
    a.Add()->value = 7;
    a.Delete(0);
    EXPECT_EQ(a.MemSize(), 0u);  // no block left
    EXPECT_TRUE(allZero(*a.Add()));
    a.Add()->value = 9;  // inside the same block
    a.Delete(1);
    EXPECT_EQ(a.MemSize(), 100 * sizeof(Rec));
    EXPECT_TRUE(allZero(*a.Add()));
}

TEST(DynaArray, InsertAppendsAtCountAndRejectsOutOfRange) {
    Rec* cursor = nullptr;
    Array a(&cursor);
    fill(a, 3);
    Rec* r = a.Insert(3);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(a.Count(), 4u);
    EXPECT_EQ(a.CurrentIndex(), 3);
    EXPECT_TRUE(allZero(a.at(3)));

    a.GetObject(1);
    EXPECT_EQ(a.Insert(5), nullptr);
    EXPECT_EQ(a.Insert(-1), nullptr);
    EXPECT_EQ(a.Count(), 4u);
    EXPECT_EQ(a.CurrentIndex(), 1);
    EXPECT_EQ(cursor, &a.at(1));

    a.Insert(1)->nr = 42;  // moves the others up
    EXPECT_EQ(a.at(0).nr, 0);
    EXPECT_EQ(a.at(1).nr, 42);
    EXPECT_EQ(a.at(2).nr, 1);
    EXPECT_EQ(a.at(3).nr, 2);
}

TEST(DynaArray, DeleteClearsTheCursorOutOfRangeDoesNothing) {
    Rec* cursor = nullptr;
    Array a(&cursor);
    fill(a, 3);
    a.Delete(3);
    a.Delete(-1);
    EXPECT_EQ(a.Count(), 3u);
    EXPECT_EQ(a.CurrentIndex(), 2);
    a.Delete(0);
    EXPECT_EQ(a.Count(), 2u);
    EXPECT_EQ(a.at(0).nr, 1);
    EXPECT_EQ(a.CurrentIndex(), -1);
    EXPECT_EQ(cursor, nullptr);
}

TEST(DynaArray, ChangeSwapsAndEndsOnTheSecond) {
    Rec* cursor = nullptr;
    Array a(&cursor);
    fill(a, 3);
    a.Change(0, 2);
    EXPECT_EQ(a.at(0).nr, 2);
    EXPECT_EQ(a.at(2).nr, 0);
    EXPECT_EQ(a.CurrentIndex(), 2);
    EXPECT_EQ(cursor, &a.at(2));

    a.Change(1, 1);
    EXPECT_EQ(a.at(1).nr, 1);
    EXPECT_EQ(a.CurrentIndex(), 1);

    a.Change(0, 3);
    a.Change(-1, 0);
    EXPECT_EQ(a.at(0).nr, 2);
    EXPECT_EQ(a.CurrentIndex(), 1);
}

TEST(DynaArray, FirstOnEmptyLeavesTheCursorAndWhileNextStops) {
    Rec* cursor = sentinel;
    Array a(&cursor);
    a.First();
    EXPECT_EQ(cursor, sentinel);
    EXPECT_FALSE(a.WhileNext());
    EXPECT_FALSE(a.Next());
    EXPECT_EQ(cursor, sentinel);
}

TEST(DynaArray, IterationIdiomVisitsEachOnceAndEndsOnTheLast) {
    Rec* cursor = nullptr;
    Array a(&cursor);
    fill(a, 250);
    std::vector<int> seen;
    a.First();
    while (a.WhileNext()) seen.push_back(cursor->nr);
    ASSERT_EQ(seen.size(), 250u);
    for (int i = 0; i < 250; ++i) ASSERT_EQ(seen[std::size_t(i)], i);
    EXPECT_EQ(cursor, &a.at(249));
    EXPECT_FALSE(a.WhileNext());

    // Next from "no current record" starts at 0 and stops at the end.
    a.Delete(0);
    EXPECT_TRUE(a.Next());
    EXPECT_EQ(cursor->nr, 1);
    a.GetObject(a.Count() - 1);
    EXPECT_FALSE(a.Next());
}

TEST(DynaArray, TwoArraysShareOneCursorVariable) {
    Rec* shared = nullptr;
    Array first(&shared);
    Array second(&shared);
    fill(first, 2);
    second.Add()->nr = 10;
    EXPECT_EQ(shared, &second.at(0));
    first.First();
    EXPECT_EQ(shared, &first.at(0));
    shared->value = 3.5;  // records are written through the cursor variable
    EXPECT_EQ(first.at(0).value, 3.5);
    second.Clear();
    EXPECT_EQ(shared, nullptr);
    EXPECT_EQ(second.MemSize(), 0u);
    EXPECT_EQ(first.Count(), 2u);
}

// The three messages, with the memory of a child process limited for real.
struct Big {
    char bytes[200000];
};
struct Huge {
    char bytes[1000000];
};

[[noreturn]] void allocateUnderLimit(bool growing) {
    rlimit limit{};
    getrlimit(RLIMIT_AS, &limit);
    FILE* statm = std::fopen("/proc/self/statm", "r");
    unsigned long pages = 0;
    if (!statm || std::fscanf(statm, "%lu", &pages) != 1) std::exit(2);
    limit.rlim_cur = pages * 4096 + 30'000'000;  // room for the first block (20 MB), not for a second
    setrlimit(RLIMIT_AS, &limit);
    TDynaArray<Big> a;
    try {
        for (int i = 0; i < (growing ? 101 : 1); ++i) a.Add();
        if (!growing) {  // the first block fits; ask for one five times as large
            TDynaArray<Huge> b;
            b.Add();
        }
    } catch (const ReportMemoryError& e) {
        std::fprintf(stderr, "<%s>", e.message().toUtf8().constData());
        std::fflush(stderr);
        std::exit(a.Count() == (growing ? 100u : 1u) ? 0 : 3);
    }
    std::exit(4);
}

TEST(DynaArrayDeathTest, OutOfMemoryMessages) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer reserves its shadow memory up front: a limited address space leaves it none";
#endif
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(allocateUnderLimit(false), testing::ExitedWithCode(0),
                "<Error 1 while trying to allocate 100000000 bytes of RAM\\. Not enough memory\\.>");
    EXPECT_EXIT(allocateUnderLimit(true), testing::ExitedWithCode(0),
                "<Error 2 while trying to allocate 40000000 bytes of RAM\\. Not enough memory\\.12>");
}

TEST(KontoStrings, CopiesAreZeroTerminatedAndEmptyIsNotNone) {
    TKontoArray ein;
    TKontoArray aus;
    KontoStrings strings(ein, aus);
    char16_t* empty = strings.copy(QStringView());
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(empty[0], 0);
    // Across the end of a block, and a text longer than a block: every copy keeps its units.
    std::vector<std::pair<char16_t*, QString>> copies;
    for (int i = 0; i < 30000; ++i) {
        const QString text = i == 12345 ? QString(200000, QLatin1Char('x')) : QStringLiteral("Büro ÄÖÜ € %1").arg(i);
        copies.emplace_back(strings.copy(text), text);
    }
    for (const auto& [copy, text] : copies) {
        ASSERT_EQ(QString::fromUtf16(copy), text);
        ASSERT_EQ(copy[text.size()], 0);
    }
}

TEST(KontoStrings, OwnerReleasesEveryRecordOfBothArrays) {
    TKontoRec* cursor = nullptr;
    TKontoArray ein(&cursor);
    TKontoArray aus(&cursor);
    {
        KontoStrings owner(ein, aus);
        for (int i = 0; i < 150; ++i) owner.fill(*ein.Add(), QString::number(i), QStringLiteral("Text"));
        owner.fill(*aus.Add(), QString(), QString());
        aus.Add();  // a record without copies
        EXPECT_EQ(KontoStrings::bytes(ein), std::size_t(10 * 2 + 90 * 3 + 50 * 4 + 150 * 5) * 2);
    }
    for (std::uint32_t i = 0; i < ein.Count(); ++i) {
        ASSERT_EQ(ein.at(i).beleg, nullptr);
        ASSERT_EQ(ein.at(i).text, nullptr);
    }
    EXPECT_EQ(aus.at(0).beleg, nullptr);
    EXPECT_EQ(cursor, &aus.at(1));  // released with the iteration idiom: aus last
}

}  // namespace
