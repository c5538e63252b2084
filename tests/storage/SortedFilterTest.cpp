// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QCollator>
#include <QRandomGenerator>
#include <algorithm>

#include "StorageTestUtil.h"
#include "storage/DbfTable.h"
#include "support/TestSupport.h"

using namespace storagetest;

namespace {

// A filter applied while an index is active keeps the index order, also after posts, edits and
// deletions changed the table since the order was first built (the order is kept rather than rebuilt).
TEST(SortedFilter, KeepsTheIndexOrderThroughChanges) {
    testsupport::TempFolder folder;
    DbfTable table;
    createAndOpen(table, folder.path(), QStringLiteral("a.dbf"), accountSchema());
    QRandomGenerator random(7);
    auto randomName = [&] {
        static const QStringList words{"Miete", "Äpfel", "büro", "Zinsen", "apfel", "Auto", "Öl", "miete"};
        return words[int(random.bounded(words.size()))] + QString::number(random.bounded(5));
    };
    for (int i = 0; i < 60; ++i) {
        table.Insert();
        table.Fields(0).setAsInteger(int(random.bounded(20)));
        table.Fields(1).setAsString(randomName());
        table.Post();
    }
    table.AddIndex(QStringLiteral("BEZ"), QStringLiteral("Bezeichnun"));
    table.AddIndex(QStringLiteral("NR"), QStringLiteral("Nr"));
    QString needle = QStringLiteral("1");
    table.setOnFilterRecord([&needle](const DbfTable& t) { return t.Fields(1).AsString().contains(needle); });

    // The reference: the records the filter accepts, read in physical order, sorted stably by the key.
    auto expected = [&](int keyField) {
        DbfTable plain;
        plain.setFilePath(folder.path());
        plain.setTableName(QStringLiteral("a.dbf"));
        plain.Open();
        std::vector<std::pair<QString, int>> rows;
        for (plain.First(); !plain.Eof(); plain.Next())
            if (plain.Fields(1).AsString().contains(needle))
                rows.emplace_back(plain.Fields(1).AsString(), plain.Fields(0).AsInteger());
        if (keyField == 0)
            std::stable_sort(rows.begin(), rows.end(), [](auto& a, auto& b) { return a.second < b.second; });
        QStringList keys;
        for (auto& r : rows) keys << (keyField == 0 ? QString::number(r.second) : r.first);
        return keys;
    };
    for (const QString& index : {QStringLiteral("NR"), QStringLiteral("BEZ")}) {
        SCOPED_TRACE(index.toStdString());
        const int keyField = index == QLatin1String("NR") ? 0 : 1;
        table.setIndexName(index);
        for (int round = 0; round < 8; ++round) {
            needle = QString::number(round % 5);
            table.setFiltered(false);
            table.setFiltered(true);
            const QStringList seen = walk(table, keyField);
            if (keyField == 0) {
                EXPECT_EQ(seen, expected(0));
            } else {
                // Text order: equal keys may come in any order; compare as sorted-ness and content.
                QStringList sortedSeen = seen;
                QStringList want = expected(1);
                std::sort(sortedSeen.begin(), sortedSeen.end());
                std::sort(want.begin(), want.end());
                EXPECT_EQ(sortedSeen, want);
                QCollator collator{QLocale()};
                collator.setCaseSensitivity(Qt::CaseInsensitive);
                for (int i = 1; i < seen.size(); ++i)
                    EXPECT_LE(collator.compare(seen[i - 1], seen[i]), 0)
                        << seen[i - 1].toStdString() << " / " << seen[i].toStdString();
            }
            // Change the table between filters: a new record, an edited key, a deletion.
            table.setFiltered(false);
            table.Insert();
            table.Fields(0).setAsInteger(int(random.bounded(20)));
            table.Fields(1).setAsString(randomName());
            table.Post();
            table.setRecNo(int(random.bounded(table.RecordCount())));
            table.Edit();
            table.Fields(0).setAsInteger(int(random.bounded(20)));
            table.Fields(1).setAsString(randomName());
            table.Post();
            table.setRecNo(int(random.bounded(table.RecordCount())));
            table.Delete();
        }
    }
}

}  // namespace
