// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCollator>
#include <vector>

#include "storage/CodePage.h"

// Puts rows in the order of their texts as a collator sorts them, stably: rows whose texts the collator
// finds equal keep the order they came in. The result is exactly that of a stable sort by the
// collator's sort keys, but a year of a million bookings is sorted without a million sort keys:
//  - equal texts get one key: the stored bytes are compared first (the code page reads every byte as one
//    character of its own, so equal bytes are equal texts), and booking texts repeat a lot;
//  - texts of decimal digits only (receipt numbers) need no key at all: the collator orders them digit by
//    digit, a shorter one before a longer one it begins, so among themselves their bytes give the order,
//    and keys are built only for the few of them that meet another text on the way.
class TextOrder {
public:
    struct Text {
        const char* bytes = nullptr;  // stored bytes, trailing blanks dropped
        int length = 0;
    };

    // `texts[i]` is the text of `rows[i]`.
    static void sortStable(std::vector<int>& rows, const std::vector<Text>& texts, const CodePage& codePage,
                           const QCollator& collator);

    // Whether `collator` orders digit-only texts as their bytes do (it does for every language we know;
    // the check keeps a collator that does not from a wrong order).
    static bool ordersDigitsByBytes(const QCollator& collator);
};
