// SPDX-License-Identifier: GPL-3.0-or-later
// The fields of the current record: lookup by position and name, and their bytes in the record.
#include <cstring>

#include "storage/DbfTable.h"
#include "storage/DbfTableImpl.h"
#include "storage/StorageError.h"
#include "storage/TableObserver.h"

DbfField& DbfTable::Fields(int index) {
    checkActive();
    if (index < 0 || index >= FieldCount())
        throw StorageError(QStringLiteral("List index out of bounds (%1)").arg(index));
    return *m_fields[size_t(index)];
}

const DbfField& DbfTable::Fields(int index) const {
    return const_cast<DbfTable*>(this)->Fields(index);
}

DbfField* DbfTable::FindField(const QString& name) {
    if (!Active()) return nullptr;
    for (size_t i = 0; i < d->layout.size(); ++i)
        if (d->layout[i].name.compare(name.trimmed(), Qt::CaseInsensitive) == 0) return m_fields[i].get();
    return nullptr;
}

DbfField& DbfTable::FieldByName(const QString& name) {
    checkActive();
    DbfField* field = FindField(name);
    if (!field) throw FieldNotFoundError(QStringLiteral("Field '%1' not found").arg(name));
    return *field;
}

const DbfField& DbfTable::FieldByName(const QString& name) const {
    return const_cast<DbfTable*>(this)->FieldByName(name);
}

const char* DbfTable::currentRecord() const {
    if (d->candidate) return d->candidate;
    if (m_state == State::Insert || m_state == State::Edit) return d->buffer.constData();
    if (d->row >= 0 && d->row < int(d->rows.size())) return recordAt(d->rows[size_t(d->row)]);
    return d->blank.constData();
}

const char* DbfTable::fieldBytes(int index) const {
    checkActive();
    return currentRecord() + d->layout[size_t(index)].offset;
}

void DbfTable::storeFieldBytes(int index, const char* bytes) {
    checkEditing();
    const DbfFieldLayout& f = d->layout[size_t(index)];
    std::memcpy(d->buffer.data() + f.offset, bytes, size_t(f.width));
    const int row = d->row;
    notify([row](TableObserver* o) { o->rowChanged(row); });
}

const QString& DbfTable::layoutName(int index) const {
    return d->layout[size_t(index)].name;
}
char DbfTable::layoutType(int index) const {
    return d->layout[size_t(index)].type;
}
int DbfTable::layoutWidth(int index) const {
    return d->layout[size_t(index)].width;
}
int DbfTable::layoutDecimals(int index) const {
    return d->layout[size_t(index)].decimals;
}
FieldType DbfTable::layoutLogical(int index) const {
    return d->layout[size_t(index)].logical;
}
