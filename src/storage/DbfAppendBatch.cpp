// SPDX-License-Identifier: GPL-3.0-or-later
#include "storage/DbfAppendBatch.h"

#include <QDate>
#include <QtDebug>
#include <algorithm>
#include <climits>
#include <cstring>

#include "storage/DbfHeader.h"
#include "storage/DbfTable.h"
#include "storage/DbfTableImpl.h"
#include "storage/LargeBlock.h"
#include "storage/StorageError.h"
#include "storage/TableObserver.h"
#include "storage/TableWitness.h"

DbfAppendBatch::DbfAppendBatch(DbfTable& table) : m_table(table) {
    if (table.d->batch) throw TableStateError(QStringLiteral("The table already collects new records"));
    table.d->batch = this;
}

DbfAppendBatch::~DbfAppendBatch() {
    try {
        write();
    } catch (const std::exception& e) {
        qWarning("Collected records of a table could not be written: %s", e.what());
    } catch (...) {
        qWarning("Collected records of a table could not be written");
    }
    DbfTable::Impl& d = *m_table.d;
    d.batch = nullptr;
    if (d.quiet) {
        // A new record still pending goes on as an ordinary one: the observers hear of it now.
        d.quiet = false;
        const int row = d.row;
        m_table.notify([row](TableObserver* o) { o->pendingRowAboutToAppear(row); });
        m_table.notify([row](TableObserver* o) { o->pendingRowAppeared(row); });
        m_table.notify([](TableObserver* o) { o->cursorChanged(); });
    }
}

void DbfAppendBatch::reserve(int records) {
    if (!m_table.Active() || records <= 0) return;
    const qint64 needed = qint64(m_table.d->records.size()) + qint64(records) * m_table.m_recordLength;
    QByteArray& memory = m_table.d->records;
    if (needed >= qint64(INT_MAX) || needed <= memory.capacity()) return;
    memory.reserve(needed);
    // The room is filled anyway; the kernel maps its pages in one go, where a first touch of each page costs
    // a trap of its own (on virtual machines a large part of a long import).
    LargeBlock::populate(memory.data() + memory.size(), std::size_t(memory.capacity() - memory.size()));
}

void DbfAppendBatch::write() {
    m_stored = false;
    if (m_count == 0) return;
    const QByteArray records = std::move(m_records);
    const int count = m_count;
    m_records = QByteArray();
    m_count = 0;
    if (!m_table.Active() || m_table.layoutStamp() != m_layout)
        throw TableStateError(QStringLiteral("The table was closed or reopened before its new records were written"));
    m_table.appendRecords(records, count);
}

void DbfTable::setPendingFields(const char* record) {
    checkEditing();
    std::memcpy(d->buffer.data() + 1, record + 1, size_t(m_recordLength - 1));
    const int row = d->row;
    notify([row](TableObserver* o) { o->rowChanged(row); });
}

// Post of a new record while a batch is open: the checks have passed; the record joins the batch and the
// table returns to browsing as if the record had never been pending.
void DbfTable::collectForBatch() {
    DbfAppendBatch& batch = *d->batch;
    if (batch.m_count == 0) batch.m_layout = m_layoutStamp;
    batch.m_records.append(d->buffer);
    ++batch.m_count;
    // A record begun before the batch was opened had been announced: its row goes until the batch writes.
    const bool announced = !d->quiet;
    const int pendingRow = int(d->rows.size());
    if (announced) notify([&](TableObserver* o) { o->pendingRowAboutToGo(pendingRow); });
    m_state = State::Browse;
    d->buffer.clear();
    d->row = d->rows.empty() ? -1 : std::clamp(d->rowBeforeInsert, 0, int(d->rows.size()) - 1);
    m_eof = d->rows.empty();
    d->quiet = false;
    if (announced) {
        notify([&](TableObserver* o) { o->pendingRowGone(pendingRow); });
        notify([](TableObserver* o) { o->editEnded(-1); });
        notify([](TableObserver* o) { o->cursorChanged(); });
    }
}

void DbfTable::appendRecords(const QByteArray& records, int count) {
    postIfEditing();
    checkWritable();
    const int first = m_recordCount;
    std::vector<TableChange> changes;
    if (!m_witnesses.empty()) {
        changes.reserve(size_t(count));
        for (int i = 0; i < count; ++i) {
            TableChange change;
            change.kind = TableChange::Kind::Insert;
            change.physical = first + i;
            // The witnesses see the records only during this call: no copy of each.
            change.after = QByteArray::fromRawData(records.constData() + qsizetype(i) * m_recordLength, m_recordLength);
            changes.push_back(std::move(change));
        }
    }
    prepareWitnessedWrite(changes);
    writeAppended(first, count, records, changes);
    d->batch->m_stored = true;

    notify([](TableObserver* o) { o->tableAboutToReset(); });
    d->records.append(records);
    m_recordCount += count;
    // The rows and the cursor end up as after one Post per record.
    std::exception_ptr filterError;
    const bool sorted = keyFieldIndex() >= 0;
    for (int physical = first; physical < first + count; ++physical) {
        orderInserted(physical);
        bool visible = true;
        try {
            visible = accepts(physical);
        } catch (...) {
            if (!filterError) filterError = std::current_exception();  // stored; shown, and reported afterwards
        }
        if (visible) {
            const int to = sorted ? sortedPosition(physical) : int(d->rows.size());
            d->rows.insert(d->rows.begin() + to, physical);
            d->row = to;
            m_eof = false;
        } else {
            d->row = int(d->rows.size()) - 1;
            m_eof = d->rows.empty();
        }
    }
    m_bof = false;
    notify([](TableObserver* o) { o->tableReset(); });
    notify([](TableObserver* o) { o->cursorChanged(); });
    if (filterError) std::rethrow_exception(filterError);
}
