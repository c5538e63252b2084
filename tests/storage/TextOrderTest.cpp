// SPDX-License-Identifier: GPL-3.0-or-later
// The fast text order gives exactly the order of a stable sort by the collator's sort keys: random texts
// with many repeats, receipt numbers, texts the collator finds equal (case, superscript digits), under the
// German, the English and the C locale.
#include <gtest/gtest.h>

#include <QCollator>
#include <QRandomGenerator>
#include <algorithm>

#include "storage/CodePage.h"
#include "storage/TextOrder.h"
#include "support/TestSupport.h"

namespace {

QString randomText(QRandomGenerator& random) {
    static const QStringList pieces{"Miete", "miete", "MIETE", "Äpfel", "apfel", "Büro", "buro", "Straße", "strasse",
                                    "Öl", "ol", " ", "-", "²", "2", "1", "10", "0", "09", "9", "100", "x", "é", "e"};
    switch (random.bounded(4)) {
        case 0:  // a receipt number
            return QString::number(random.bounded(3000));
        case 1:  // a receipt number with leading zeros or a long one
            return random.bounded(2) ? QStringLiteral("00") + QString::number(random.bounded(50))
                                     : QString::number(random.bounded(1000000000)) + QString::number(random.bounded(10));
        default: {
            QString text;
            const int parts = 1 + int(random.bounded(3));
            for (int i = 0; i < parts; ++i) text += pieces[int(random.bounded(pieces.size()))];
            return text;
        }
    }
}

TEST(TextOrder, IsTheStableOrderOfTheSortKeys) {
    const CodePage codePage(1252);
    for (const QLocale& locale : {QLocale(QLocale::German, QLocale::Germany), QLocale(QLocale::English),
                                  QLocale::c()}) {
        SCOPED_TRACE(locale.name().toStdString());
        testsupport::ScopedLocale scoped(locale);
        QCollator collator{QLocale()};
        collator.setNumericMode(false);
        collator.setCaseSensitivity(Qt::CaseInsensitive);
        QRandomGenerator random(17);
        for (int round = 0; round < 20; ++round) {
            const int count = 1 + int(random.bounded(round < 10 ? 40 : 3000));
            std::vector<QByteArray> stored;
            for (int i = 0; i < count; ++i) stored.push_back(codePage.encode(randomText(random)).trimmed());
            std::vector<int> rows(stored.size());
            std::vector<TextOrder::Text> texts;
            for (size_t i = 0; i < stored.size(); ++i) {
                rows[i] = int(i) * 3;  // row numbers need not be positions
                texts.push_back({stored[i].constData(), int(stored[i].size())});
            }
            std::vector<std::pair<QCollatorSortKey, int>> keyed;
            for (size_t i = 0; i < stored.size(); ++i)
                keyed.emplace_back(collator.sortKey(codePage.decode(stored[i].constData(), int(stored[i].size()))),
                                   rows[i]);
            std::stable_sort(keyed.begin(), keyed.end(),
                             [](const auto& a, const auto& b) { return a.first.compare(b.first) < 0; });
            std::vector<int> expected;
            for (const auto& k : keyed) expected.push_back(k.second);

            TextOrder::sortStable(rows, texts, codePage, collator);
            ASSERT_EQ(rows, expected) << "round " << round;
        }
    }
}

}  // namespace
