// SPDX-License-Identifier: GPL-3.0-or-later
#include <QCollator>
#include <QLocale>
#include <algorithm>

#include "storage/DbfTable.h"
#include "storage/DbfTableImpl.h"
#include "storage/FieldCodec.h"
#include "storage/StorageError.h"
#include "storage/TextOrder.h"

// The sort orders ("indexes") of DbfTable: kept in memory, the sorted record list cached.

int DbfTable::keyFieldIndex() const {
    if (m_indexName.isEmpty()) return -1;
    for (const Impl::Index& index : d->indexes) {
        if (index.name.compare(m_indexName, Qt::CaseInsensitive) != 0) continue;
        for (size_t i = 0; i < d->layout.size(); ++i)
            if (d->layout[i].name.compare(index.field, Qt::CaseInsensitive) == 0) return int(i);
        return -1;
    }
    return -1;
}

std::vector<int> DbfTable::computeVisible() const {
    std::vector<int> rows;
    if (keyFieldIndex() >= 0) {
        // Filtering keeps the order: the sorted records are picked rather than the accepted ones sorted.
        // The filter runs in physical order, which reads the records front to back (in sorted order
        // every record would be a cache miss).
        const std::vector<int>& order = sortedOrder();
        if (!m_filtered || !d->filter) return order;
        std::vector<char> accepted(size_t(m_recordCount), 0);
        const char* base = d->records.constData() + m_headerLength;
        for (int i = 0; i < m_recordCount; ++i)
            if (base[qsizetype(i) * m_recordLength] != '*') accepted[size_t(i)] = accepts(i);
        rows.reserve(order.size());
        for (int i : order)
            if (accepted[size_t(i)]) rows.push_back(i);
        return rows;
    }
    rows.reserve(size_t(m_recordCount));
    const char* base = d->records.constData() + m_headerLength;
    for (int i = 0; i < m_recordCount; ++i) {
        if (base[qsizetype(i) * m_recordLength] == '*') continue;
        if (accepts(i)) rows.push_back(i);
    }
    return rows;
}

const std::vector<int>& DbfTable::sortedOrder() const {
    if (!d->orderValid) {
        std::vector<int> all;
        all.reserve(size_t(m_recordCount));
        const char* base = d->records.constData() + m_headerLength;
        for (int i = 0; i < m_recordCount; ++i)
            if (base[qsizetype(i) * m_recordLength] != '*') all.push_back(i);
        sortRows(all);
        d->order = std::move(all);
        d->orderValid = true;
    }
    return d->order;
}

void DbfTable::orderInserted(int physical) {
    if (!d->orderValid || keyFieldIndex() < 0) return dropOrder();
    const auto it =
        std::upper_bound(d->order.begin(), d->order.end(), physical, [this](int a, int b) { return keyLess(a, b); });
    d->order.insert(it, physical);
}

void DbfTable::orderRemoved(int physical) {
    if (!d->orderValid) return;
    const auto it = std::find(d->order.begin(), d->order.end(), physical);
    if (it != d->order.end()) d->order.erase(it);
}

void DbfTable::dropOrder() {
    d->orderValid = false;
    d->order.clear();
}

namespace {

double numericKey(const DbfFieldLayout& f, const char* record) {
    if (f.logical == FieldType::Date) return FieldCodec::dayNumber(record + f.offset);
    double v = 0;
    FieldCodec::readNumber(record + f.offset, f.width, &v);
    return v;
}

QString textKey(const DbfFieldLayout& f, const CodePage& cp, const char* record) {
    int w = f.width;
    const char* p = record + f.offset;
    while (w > 0 && (p[w - 1] == ' ' || p[w - 1] == '\0')) --w;
    return cp.decode(p, w);
}

TextOrder::Text storedText(const DbfFieldLayout& f, const char* record) {
    int w = f.width;
    const char* p = record + f.offset;
    while (w > 0 && (p[w - 1] == ' ' || p[w - 1] == '\0')) --w;
    return {p, w};
}

}  // namespace

const QCollator& DbfTable::textCollator() const {
    const QLocale current;
    if (!d->collator || d->collatorLocale != current) {
        d->collator.emplace(current);
        d->collator->setNumericMode(false);
        d->collator->setCaseSensitivity(Qt::CaseInsensitive);
        d->collatorLocale = current;
    }
    return *d->collator;
}

void DbfTable::sortRows(std::vector<int>& rows) const {
    const int key = keyFieldIndex();
    if (key < 0) return;
    const DbfFieldLayout& f = d->layout[size_t(key)];
    if (f.logical == FieldType::String) {
        std::vector<TextOrder::Text> texts;
        texts.reserve(rows.size());
        for (int r : rows) texts.push_back(storedText(f, recordAt(r)));
        TextOrder::sortStable(rows, texts, m_codePage, textCollator());
    } else {
        std::vector<std::pair<double, int>> keyed;
        keyed.reserve(rows.size());
        for (int r : rows) keyed.emplace_back(numericKey(f, recordAt(r)), r);
        std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
        for (size_t i = 0; i < rows.size(); ++i) rows[i] = keyed[i].second;
    }
}

bool DbfTable::keyLess(int a, int b) const {
    const DbfFieldLayout& f = d->layout[size_t(keyFieldIndex())];
    if (f.logical == FieldType::String)
        return textCollator().compare(textKey(f, m_codePage, recordAt(a)), textKey(f, m_codePage, recordAt(b))) < 0;
    return numericKey(f, recordAt(a)) < numericKey(f, recordAt(b));
}

// Position of a record among the visible rows by its key, after the rows with an equal key.
int DbfTable::sortedPosition(int physical) const {
    const auto it =
        std::upper_bound(d->rows.begin(), d->rows.end(), physical, [this](int a, int b) { return keyLess(a, b); });
    return int(it - d->rows.begin());
}

// --- sort order ---

QStringList DbfTable::indexNames() const {
    QStringList names;
    for (const Impl::Index& index : d->indexes) names << index.name;
    return names;
}

void DbfTable::AddIndex(const QString& name, const QString& keyField) {
    for (const Impl::Index& index : d->indexes)
        if (index.name.compare(name, Qt::CaseInsensitive) == 0) return;
    if (name.trimmed().isEmpty()) throw StorageError(QStringLiteral("Ein Index braucht einen Namen."));
    if (Active() && !FindField(keyField))
        throw FieldNotFoundError(QStringLiteral("Field '%1' not found").arg(keyField));
    d->indexes.push_back({name, keyField.trimmed()});
}

void DbfTable::setIndexName(const QString& name) {
    if (name.compare(m_indexName, Qt::CaseInsensitive) == 0 && name.size() == m_indexName.size()) return;
    QString canonical;
    if (!name.isEmpty()) {
        const auto it = std::find_if(d->indexes.begin(), d->indexes.end(), [&](const Impl::Index& index) {
            return index.name.compare(name, Qt::CaseInsensitive) == 0;
        });
        if (it == d->indexes.end())
            throw StorageError(QStringLiteral("Der Index \"%1\" ist für diese Tabelle nicht angelegt.").arg(name));
        if (Active() && !FindField(it->field))
            throw FieldNotFoundError(QStringLiteral("Field '%1' not found").arg(it->field));
        canonical = it->name;
    }
    if (Active()) postIfEditing();
    m_indexName = canonical;
    dropOrder();
    if (Active()) rebuildKeepingCursor(false, false);
}
