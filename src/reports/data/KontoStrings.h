// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringView>

#include "reports/data/ReportData.h"

// Owner of the receipt and text copies (beleg, text) of the records of two arrays, ein and aus. The
// copies are zero-terminated UTF-16: n + 1 zero-filled units for a text of n units, so an empty text
// gives an empty string, never none. When the owner goes (the report window has closed, or the report
// failed half-way), it walks ein and then aus with the iteration idiom and releases both strings of every
// record, before the arrays themselves are destroyed. Records without copies (none) are fine.
class KontoStrings {
public:
    KontoStrings(TKontoArray& ein, TKontoArray& aus) : m_ein(ein), m_aus(aus) {}
    ~KontoStrings();
    KontoStrings(const KontoStrings&) = delete;
    KontoStrings& operator=(const KontoStrings&) = delete;

    // A new copy of `text`, released by release() or the owner.
    static char16_t* copy(QStringView text);
    // Sets beleg and text of `record` to copies (the record must hold none yet).
    static void fill(TKontoRec& record, QStringView beleg, QStringView text);
    // Releases beleg and text of every record of the array and sets them to none.
    static void release(TKontoArray& array);
    // Bytes the copies of the array take (for the memory figures of the benchmarks).
    static std::size_t bytes(const TKontoArray& array);

private:
    TKontoArray& m_ein;
    TKontoArray& m_aus;
};
