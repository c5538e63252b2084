// SPDX-License-Identifier: GPL-3.0-or-later
#include "storage/TextOrder.h"

#include <QString>
#include <algorithm>
#include <cstring>
#include <optional>
#include <string_view>

namespace {

using Text = TextOrder::Text;

std::string_view view(const Text& t) {
    return {t.bytes, size_t(t.length)};
}

bool digitsOnly(const Text& t) {
    if (t.length == 0) return false;
    for (int i = 0; i < t.length; ++i)
        if (t.bytes[i] < '0' || t.bytes[i] > '9') return false;
    return true;
}

// The first eight bytes, most significant first, zero-padded: orders as the bytes do, a shorter text
// before a longer one it begins (digits are never zero bytes).
quint64 prefixOf(const Text& t) {
    quint64 v = 0;
    for (int i = 0; i < 8; ++i) v = (v << 8) | (i < t.length ? quint8(t.bytes[i]) : 0);
    return v;
}

quint64 hashOf(const Text& t) {
    quint64 h = 1469598103934665603ull;  // FNV-1a
    for (int i = 0; i < t.length; ++i) h = (h ^ quint8(t.bytes[i])) * 1099511628211ull;
    return h ^ (h >> 29);
}

// Numbers the distinct texts among the chosen ones (`which`, positions in `texts`): `distinct` gets one
// text of each, `of[k]` the number of the text at which[k].
void numberDistinct(const std::vector<Text>& texts, const std::vector<int>& which, std::vector<Text>& distinct,
                    std::vector<int>& of) {
    size_t tableSize = 16;
    while (tableSize < which.size() * 2) tableSize *= 2;
    std::vector<int> table(tableSize, -1);
    of.resize(which.size());
    for (size_t k = 0; k < which.size(); ++k) {
        const Text& t = texts[size_t(which[k])];
        size_t s = size_t(hashOf(t)) & (tableSize - 1);
        while (table[s] >= 0 && view(distinct[size_t(table[s])]) != view(t)) s = (s + 1) & (tableSize - 1);
        if (table[s] < 0) {
            table[s] = int(distinct.size());
            distinct.push_back(t);
        }
        of[k] = table[s];
    }
}

}  // namespace

bool TextOrder::ordersDigitsByBytes(const QCollator& collator) {
    static const char* const ascending[] = {"0", "01", "1", "10", "100", "11", "2", "20", "3", "4",
                                            "5", "6",  "7", "8",  "9",   "90", "99"};
    for (size_t i = 1; i < std::size(ascending); ++i) {
        const QString a = QString::fromLatin1(ascending[i - 1]);
        const QString b = QString::fromLatin1(ascending[i]);
        if (collator.compare(a, b) >= 0 || collator.sortKey(a).compare(collator.sortKey(b)) >= 0) return false;
    }
    return true;
}

void TextOrder::sortStable(std::vector<int>& rows, const std::vector<Text>& texts, const CodePage& codePage,
                           const QCollator& collator) {
    // Digit-only texts apart, the others numbered by distinct text.
    const bool digitsByBytes = ordersDigitsByBytes(collator);
    std::vector<int> digitRows;
    std::vector<int> otherRows;
    for (size_t i = 0; i < texts.size(); ++i) (digitsByBytes && digitsOnly(texts[i]) ? digitRows : otherRows).push_back(int(i));

    // Every text that takes part in the merge below: the distinct other texts first, then one of each
    // distinct digit text. `textOf[i]` is the number of row i's text.
    std::vector<Text> distinct;
    std::vector<int> textOf(texts.size());
    std::vector<int> numbers;
    numberDistinct(texts, otherRows, distinct, numbers);
    for (size_t k = 0; k < otherRows.size(); ++k) textOf[size_t(otherRows[k])] = numbers[k];
    const size_t otherCount = distinct.size();

    // The digit texts sorted by their bytes (equal ones side by side), each distinct one numbered.
    std::vector<std::pair<quint64, int>> byPrefix;
    byPrefix.reserve(digitRows.size());
    for (int i : digitRows) byPrefix.emplace_back(prefixOf(texts[size_t(i)]), i);
    auto longer = [&](int i) { return texts[size_t(i)].length > 8; };
    std::sort(byPrefix.begin(), byPrefix.end(), [&](const auto& a, const auto& b) {
        if (a.first != b.first) return a.first < b.first;
        if (longer(a.second) || longer(b.second)) {
            const int c = view(texts[size_t(a.second)]).compare(view(texts[size_t(b.second)]));
            if (c != 0) return c < 0;
        }
        return a.second < b.second;
    });
    if (otherRows.empty()) {  // receipt numbers only: their bytes are the whole order
        std::vector<int> sorted;
        sorted.reserve(rows.size());
        for (const auto& p : byPrefix) sorted.push_back(rows[size_t(p.second)]);
        rows = std::move(sorted);
        return;
    }
    std::vector<size_t> digits;  // numbers of the distinct digit texts, ascending
    for (size_t k = 0; k < byPrefix.size(); ++k) {
        const int i = byPrefix[k].second;
        const bool same = k > 0 && byPrefix[k - 1].first == byPrefix[k].first &&
                          view(texts[size_t(byPrefix[k - 1].second)]) == view(texts[size_t(i)]);
        if (!same) {
            digits.push_back(distinct.size());
            distinct.push_back(texts[size_t(i)]);
        }
        textOf[size_t(i)] = int(distinct.size() - 1);
    }
    byPrefix = {};

    std::vector<std::optional<QCollatorSortKey>> keys(distinct.size());
    auto keyOf = [&](size_t t) -> const QCollatorSortKey& {
        if (!keys[t]) keys[t].emplace(collator.sortKey(codePage.decode(distinct[t].bytes, distinct[t].length)));
        return *keys[t];
    };
    std::vector<size_t> others(otherCount);
    for (size_t t = 0; t < otherCount; ++t) {
        others[t] = t;
        keyOf(t);
    }
    std::stable_sort(others.begin(), others.end(), [&](size_t a, size_t b) { return keys[a]->compare(*keys[b]) < 0; });

    // Merge both into ranks: texts the collator finds equal share a rank. Each other text finds its
    // place among the digit texts by galloping from the last place, so a digit text gets a key only where
    // the search looks at it.
    std::vector<int> rank(distinct.size(), -1);
    int next = 0;
    size_t d = 0;
    std::optional<size_t> last;  // the text ranked last, for equality with the next one
    auto place = [&](size_t t, bool equalToLast) {
        rank[t] = equalToLast ? rank[*last] : next++;
        last = t;
    };
    for (size_t o : others) {
        const QCollatorSortKey& key = keyOf(o);
        auto below = [&](size_t k) { return keyOf(digits[k]).compare(key) < 0; };
        size_t lo = d;
        size_t step = 1;
        while (lo + step - 1 < digits.size() && below(lo + step - 1)) {
            lo += step;  // everything before lo is below
            step *= 2;
        }
        size_t hi = std::min(digits.size(), lo + step - 1);
        while (lo < hi) {
            const size_t mid = lo + (hi - lo) / 2;
            if (below(mid))
                lo = mid + 1;
            else
                hi = mid;
        }
        for (; d < lo; ++d) place(digits[d], false);
        if (d < digits.size() && keyOf(digits[d]).compare(key) == 0) place(digits[d++], false);
        place(o, last && keys[*last] && keys[*last]->compare(key) == 0);
    }
    for (; d < digits.size(); ++d) place(digits[d], false);

    // Rows by rank, in the order they came within a rank.
    std::vector<int> start(size_t(next) + 1, 0);
    for (size_t i = 0; i < rows.size(); ++i) ++start[size_t(rank[size_t(textOf[i])]) + 1];
    for (size_t r = 1; r < start.size(); ++r) start[r] += start[r - 1];
    std::vector<int> sorted(rows.size());
    for (size_t i = 0; i < rows.size(); ++i) sorted[size_t(start[size_t(rank[size_t(textOf[i])])]++)] = rows[i];
    rows = std::move(sorted);
}
