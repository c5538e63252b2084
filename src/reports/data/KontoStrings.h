// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringView>
#include <memory>
#include <vector>

#include "reports/data/ReportData.h"
#include "storage/LargeBlock.h"

// Owner of the receipt and text copies (beleg, text) of the records of two arrays, ein and aus. The
// copies are zero-terminated UTF-16: n + 1 units for a text of n units, so an empty text gives an empty
// string, never none. They are kept back to back in large blocks, so a report over a million bookings
// makes a few hundred allocations instead of two million. When the owner goes (the report window has
// closed, or the report failed half-way), it walks ein and then aus with the iteration idiom and clears
// both strings of every record, then frees the blocks, before the arrays themselves are destroyed.
// Records without copies (none) are fine.
class KontoStrings {
public:
    KontoStrings(TKontoArray& ein, TKontoArray& aus) : m_ein(ein), m_aus(aus) {}
    ~KontoStrings();
    KontoStrings(const KontoStrings&) = delete;
    KontoStrings& operator=(const KontoStrings&) = delete;

    // A copy of `text`, kept until the owner goes.
    char16_t* copy(QStringView text);
    // Room for a text of `units` units, its terminating zero already written; kept until the owner goes.
    char16_t* room(std::size_t units);
    // Sets beleg and text of `record` to copies (the record must hold none yet).
    void fill(TKontoRec& record, QStringView beleg, QStringView text);
    // Sets beleg and text of every record of the array to none.
    static void release(TKontoArray& array);
    // Bytes the copies of the array take (for the memory figures of the benchmarks).
    static std::size_t bytes(const TKontoArray& array);

    struct Free {
        void operator()(char16_t* block) const { std::free(block); }
    };
    using Block = std::unique_ptr<char16_t[], Free>;

private:
    // 2 MB, one huge page where the system grants them (see LargeBlock).
    static constexpr std::size_t kBlockUnits = LargeBlock::kHugePage / sizeof(char16_t);

    TKontoArray& m_ein;
    TKontoArray& m_aus;
    std::vector<Block> m_blocks;  // of kBlockUnits each
    std::vector<Block> m_large;   // one text longer than a block each
    char16_t* m_free = nullptr;  // the unused rest of the newest block
    std::size_t m_left = 0;
};
