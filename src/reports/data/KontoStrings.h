// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringView>

#include "reports/data/ReportData.h"
#include "reports/data/StringBlocks.h"

// Owner of the receipt and text copies (beleg, text) of the records of two arrays, ein and aus. The
// copies are zero-terminated UTF-16 in blocks (see StringBlocks). When the owner goes (the report window
// has closed, or the report failed half-way), it walks ein and then aus with the iteration idiom and clears
// both strings of every record, then lets the blocks go, before the arrays themselves are destroyed.
// Records without copies (none) are fine.
class KontoStrings {
public:
    KontoStrings(TKontoArray& ein, TKontoArray& aus) : m_ein(ein), m_aus(aus) {}
    ~KontoStrings();
    KontoStrings(const KontoStrings&) = delete;
    KontoStrings& operator=(const KontoStrings&) = delete;

    // A copy of `text`, kept until the owner goes.
    char16_t* copy(QStringView text) { return m_blocks.copy(text); }
    // Room for a text of `units` units, its terminating zero already written; kept until the owner goes.
    char16_t* room(std::size_t units) { return m_blocks.room(units); }
    // Sets beleg and text of `record` to copies (the record must hold none yet).
    void fill(TKontoRec& record, QStringView beleg, QStringView text);
    // Sets beleg and text of every record of the array to none.
    static void release(TKontoArray& array);
    // Bytes the copies of the array take (for the memory figures of the benchmarks).
    static std::size_t bytes(const TKontoArray& array);

private:
    TKontoArray& m_ein;
    TKontoArray& m_aus;
    StringBlocks m_blocks;
};
