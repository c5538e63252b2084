// SPDX-License-Identifier: GPL-3.0-or-later
#include "storage/DbfTable.h"

#include <QCollator>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <atomic>
#include <climits>
#include <cstring>
#include <ctime>

#include "storage/DbfHeader.h"
#include "storage/DbfTableImpl.h"
#include "storage/FieldCodec.h"
#include "storage/SafeFile.h"
#include "storage/StorageError.h"
#include "storage/TableFile.h"
#include "storage/TableObserver.h"
#include "storage/TableWitness.h"

namespace {

// Today's date for the header of every posted record. QDate::currentDate() consults the time zone
// files on each call, which a bulk append of 100,000 records notices; the date is taken again once the
// second has moved on.
QDate todayForHeader() {
    static std::time_t second = 0;
    static QDate today;
    const std::time_t now = std::time(nullptr);
    if (now != second || !today.isValid()) {
        second = now;
        today = QDate::currentDate();
    }
    return today;
}

const QString closedText() {
    return QStringLiteral("Cannot perform this operation on a closed dataset");
}
const QString notEditingText() {
    return QStringLiteral("Dataset not in edit or insert mode");
}
const QString openText() {
    return QStringLiteral("Cannot perform this operation on an open dataset");
}

constexpr char endMark = dbfEndMark;

}  // namespace

DbfTable::DbfTable() : d(std::make_unique<Impl>()) {}

DbfTable::~DbfTable() = default;

// --- file and schema ---

void DbfTable::setFilePath(const QString& folder) {
    if (Active()) throw TableStateError(openText());
    m_filePath = folder;
}

void DbfTable::setTableName(const QString& fileName) {
    if (Active()) throw TableStateError(openText());
    m_tableName = fileName;
}

QString DbfTable::absoluteFileName() const {
    QString folder = m_filePath;
    if (folder.isEmpty() || QDir::isRelativePath(folder))
        folder = QDir(QCoreApplication::applicationDirPath()).filePath(folder);
    return QDir::cleanPath(QDir(folder).filePath(m_tableName));
}

void DbfTable::clearFieldDefs() {
    m_defs.clear();
}

void DbfTable::addFieldDef(const QString& name, FieldType type, int size) {
    m_defs.push_back({name, type, size});
}

void DbfTable::setFieldDefs(const std::vector<FieldDef>& defs) {
    m_defs = defs;
}

void DbfTable::CreateTable() {
    if (Active()) throw TableStateError(openText());
    const QString fileName = absoluteFileName();
    DbfHeader header = DbfHeader::fromDefinitions(m_defs, fileName);
    header.languageDriver = quint8(m_createLdid);
    QByteArray bytes = header.bytes();
    bytes += char(0x1A);
    SafeFile::replace(fileName, bytes, QStringLiteral("Die neue Tabelle"));
}

void DbfTable::setCreateLanguageDriver(int ldid) {
    if (Active()) throw TableStateError(openText());
    m_createLdid = ldid & 0xFF;
}

void DbfTable::setReadOnlyMode(bool on, const QString& reason) {
    if (Active()) throw TableStateError(openText());
    m_readOnlyMode = on;
    m_readOnlyReason = on ? reason : QString();
}

// --- open and close ---

void DbfTable::loadFile(bool initial) {
    const QString fileName = absoluteFileName();
    if (initial) {
        QString why;
        switch (d->file.open(fileName, &why, m_readOnlyMode)) {
            case TableFile::OpenResult::Ok:
                break;
            case TableFile::OpenResult::Missing:
                throw FileMissingError(QStringLiteral("Die Tabelle \"%1\" existiert nicht.").arg(fileName));
            case TableFile::OpenResult::Unreadable:
                throw DamagedTableError(
                    QStringLiteral(
                        "Die Tabelle \"%1\" kann nicht gelesen werden (%2). Die Datei wurde nicht verändert.")
                        .arg(fileName, why));
        }
    }
    QByteArray bytes;
    QString why;
    auto fail = [&](const QString& reason, bool damaged) {
        if (initial) d->file.close();
        if (damaged)
            throw DamagedTableError(QStringLiteral("Die Tabelle \"%1\" ist beschädigt und kann nicht geöffnet werden "
                                                   "(%2). Die Datei wurde nicht verändert.")
                                        .arg(fileName, reason));
        throw DamagedTableError(
            QStringLiteral("Die Tabelle \"%1\" kann nicht gelesen werden (%2). Die Datei wurde nicht verändert.")
                .arg(fileName, reason));
    };
    if (!d->file.readAll(&bytes, &why)) fail(why, false);
    DbfHeader header;
    if (!DbfHeader::parse(bytes, bytes.size(), &header, &why)) fail(why, true);
    const qint64 needed = qint64(header.recordLength) * header.recordCount;
    if (header.recordCount > INT_MAX || needed > qint64(INT_MAX) - header.headerLength)
        fail(QStringLiteral("zu viele Datensätze"), true);

    if (!initial) {
        // A refresh keeps the field objects; a file whose layout changed underneath is not the same table.
        bool same = header.fields.size() == d->layout.size();
        for (size_t i = 0; same && i < header.fields.size(); ++i)
            same = header.fields[i].name == d->layout[i].name && header.fields[i].type == d->layout[i].type &&
                   header.fields[i].width == d->layout[i].width && header.fields[i].offset == d->layout[i].offset;
        if (!same) fail(QStringLiteral("der Aufbau der Felder hat sich geändert"), true);
    }

    d->orderValid = false;
    d->order.clear();
    d->tail = bytes.mid(qsizetype(header.headerLength + needed));
    bytes.truncate(qsizetype(header.headerLength + needed));  // trailing bytes after the records are no records
    d->records = std::move(bytes);
    d->layout = std::move(header.fields);
    m_headerLength = header.headerLength;
    m_recordLength = header.recordLength;
    m_recordCount = int(header.recordCount);
    m_mdxFlag = header.mdxFlag;
    m_ldid = header.languageDriver;
    m_codePage = CodePage::forLanguageDriver(m_ldid);
    m_readOnly = d->file.isReadOnly();
    d->blank = QByteArray(m_recordLength, ' ');
    static std::atomic<quint64> loads{0};
    m_layoutStamp = ++loads;

    // Field objects are reused across reopenings, so references held by callers stay valid.
    const size_t count = d->layout.size();
    while (m_fields.size() < count) m_fields.push_back(std::make_unique<DbfField>(*this, int(m_fields.size())));
    m_fields.resize(count);
}

void DbfTable::Open() {
    if (Active()) return;
    notify([](TableObserver* o) { o->tableAboutToReset(); });
    try {
        loadFile(true);
        if (!m_indexName.isEmpty() && keyFieldIndex() < 0) m_indexName.clear();
        m_state = State::Browse;
        d->rows = computeVisible();
    } catch (...) {
        d->file.close();
        m_state = State::Closed;
        d->rows.clear();
        d->records.clear();
        m_fields.clear();
        notify([](TableObserver* o) { o->tableReset(); });
        throw;
    }
    d->row = d->rows.empty() ? -1 : 0;
    m_eof = d->rows.empty();
    m_bof = true;
    notify([](TableObserver* o) { o->tableReset(); });
    notify([](TableObserver* o) { o->cursorChanged(); });
}

void DbfTable::Close() {
    if (!Active()) return;
    d->quiet = false;
    notify([](TableObserver* o) { o->tableAboutToReset(); });
    d->file.close();
    m_state = State::Closed;
    d->records.clear();
    d->records.squeeze();
    d->rows.clear();
    d->rows.shrink_to_fit();
    dropOrder();
    d->buffer.clear();
    d->row = -1;
    m_eof = true;
    m_bof = true;
    m_readOnly = false;
    m_recordCount = 0;
    m_fields.clear();
    notify([](TableObserver* o) { o->tableReset(); });
    notify([](TableObserver* o) { o->cursorChanged(); });
}

// --- visible order ---

const char* DbfTable::recordAt(int physical) const {
    return d->records.constData() + m_headerLength + qsizetype(physical) * m_recordLength;
}

bool DbfTable::accepts(int physical) const {
    if (!m_filtered || !d->filter) return true;
    CandidateScope scope(d->candidate, recordAt(physical));
    return d->filter(*this);
}

void DbfTable::rebuildKeepingCursor(bool reread, bool keepToFirst) {
    const int physical = currentPhysical();
    const int oldRow = d->row;
    notify([](TableObserver* o) { o->tableAboutToReset(); });
    try {
        if (reread) loadFile(false);
        d->rows = computeVisible();
    } catch (...) {
        if (d->row >= int(d->rows.size())) d->row = int(d->rows.size()) - 1;
        notify([](TableObserver* o) { o->tableReset(); });
        throw;
    }
    int row = -1;
    if (physical >= 0) {
        const auto it = std::find(d->rows.begin(), d->rows.end(), physical);
        if (it != d->rows.end()) row = int(it - d->rows.begin());
    }
    if (row < 0 && !d->rows.empty()) row = keepToFirst ? 0 : std::clamp(oldRow, 0, int(d->rows.size()) - 1);
    d->row = row;
    m_eof = d->rows.empty();
    m_bof = d->rows.empty();
    notify([](TableObserver* o) { o->tableReset(); });
    notify([](TableObserver* o) { o->cursorChanged(); });
}

// --- navigation ---

void DbfTable::checkActive() const {
    if (!Active()) throw TableStateError(closedText());
}

void DbfTable::postIfEditing() {
    if (m_state == State::Insert || m_state == State::Edit) Post();
}

void DbfTable::setCursorRow(int row) {
    d->row = row;
    notify([](TableObserver* o) { o->cursorChanged(); });
}

void DbfTable::First() {
    checkActive();
    postIfEditing();
    m_bof = true;
    m_eof = d->rows.empty();
    setCursorRow(d->rows.empty() ? -1 : 0);
}

void DbfTable::Next() {
    checkActive();
    postIfEditing();
    m_bof = false;
    if (d->row + 1 < int(d->rows.size())) {
        m_eof = false;
        setCursorRow(d->row + 1);
    } else {
        m_eof = true;
    }
}

void DbfTable::Prior() {
    checkActive();
    postIfEditing();
    m_eof = false;
    if (d->row > 0) {
        m_bof = false;
        setCursorRow(d->row - 1);
    } else {
        m_bof = true;
    }
}

void DbfTable::Last() {
    checkActive();
    postIfEditing();
    m_eof = true;
    m_bof = d->rows.empty();
    setCursorRow(int(d->rows.size()) - 1);
}

int DbfTable::RecordCount() const {
    if (!Active()) return 0;
    return int(d->rows.size()) + (m_state == State::Insert ? 1 : 0);
}

int DbfTable::announcedRowCount() const {
    return RecordCount() - (d->quiet && m_state == State::Insert ? 1 : 0);
}

int DbfTable::RecNo() const {
    if (!Active()) return -1;
    return d->row;
}

void DbfTable::setRecNo(int row) {
    checkActive();
    if (row == d->row && m_state == State::Browse) return;
    postIfEditing();
    if (d->rows.empty()) return;
    m_eof = false;
    m_bof = false;
    setCursorRow(std::clamp(row, 0, int(d->rows.size()) - 1));
}

int DbfTable::currentPhysical() const {
    if (!Active() || m_state == State::Insert) return -1;
    if (d->row < 0 || d->row >= int(d->rows.size())) return -1;
    return d->rows[size_t(d->row)];
}

int DbfTable::physicalRecNo() const {
    return currentPhysical();
}

void DbfTable::readRow(int row, const std::function<void(const DbfTable&)>& reader) const {
    checkActive();
    const int count = RecordCount();
    if (row < 0 || row >= count) throw StorageError(QStringLiteral("List index out of bounds (%1)").arg(row));
    const char* record = nullptr;
    if (row == d->row && (m_state == State::Insert || m_state == State::Edit))
        record = d->buffer.constData();
    else
        record = recordAt(d->rows[size_t(row)]);
    CandidateScope scope(d->candidate, record);
    reader(*this);
}

int DbfTable::physicalOf(int row) const {
    checkActive();
    if (row < 0 || row >= RecordCount()) throw StorageError(QStringLiteral("List index out of bounds (%1)").arg(row));
    return row < int(d->rows.size()) ? d->rows[size_t(row)] : -1;
}

const char* DbfTable::rowBytes(int row) const {
    checkActive();
    if (row < 0 || row >= RecordCount()) throw StorageError(QStringLiteral("List index out of bounds (%1)").arg(row));
    if (row == d->row && (m_state == State::Insert || m_state == State::Edit)) return d->buffer.constData();
    return recordAt(d->rows[size_t(row)]);
}

const char* DbfTable::rowBytes(int row, int physical) const {
    if (physical < 0 || row == d->row || physical >= physicalRecordCount()) return rowBytes(row);
    return recordAt(physical);
}

const char* DbfTable::recordBytes() const {
    checkActive();
    return currentRecord();
}

int DbfTable::fieldOffset(int index) const {
    checkActive();
    if (index < 0 || index >= FieldCount())
        throw StorageError(QStringLiteral("List index out of bounds (%1)").arg(index));
    return d->layout[size_t(index)].offset;
}

void DbfTable::Refresh() {
    checkActive();
    postIfEditing();
    rebuildKeepingCursor(true, false);
}

// --- editing ---

void DbfTable::checkWritable() const {
    if (!m_readOnly) return;
    const QString reason = !m_readOnlyReason.isEmpty()
                               ? m_readOnlyReason
                               : QStringLiteral(
                                     "Heben Sie den Schreibschutz der Datei auf und starten Sie das Programm "
                                     "neu.");
    throw StorageError(QStringLiteral("Die Tabelle \"%1\" ist schreibgeschützt; Änderungen können nicht "
                                      "gespeichert werden. %2")
                           .arg(absoluteFileName(), reason));
}

void DbfTable::prepareWitnessedWrite(const std::vector<TableChange>& changes) {
    if (!changes.empty()) witnessBefore(changes);
    try {
        prepareWrite();
    } catch (...) {
        witnessUndone(changes);
        throw;
    }
}

// Before the first write: a production index flagged in the header no longer matches once a record
// changes, so it is moved aside and the flag cleared, and no other program sorts by a stale index.
void DbfTable::prepareWrite() {
    checkWritable();
    if (!m_mdxFlag) return;
    const QFileInfo info(absoluteFileName());
    const QString base = info.absolutePath() + QLatin1Char('/') + info.completeBaseName();
    for (const QString& ext : {QStringLiteral(".mdx"), QStringLiteral(".MDX"), QStringLiteral(".Mdx")}) {
        const QString mdx = base + ext;
        if (!QFileInfo::exists(mdx)) continue;
        const QString bak = mdx + QStringLiteral(".bak");
        if (QFileInfo::exists(bak) && !QFile::remove(bak))
            throw FileIoError(QStringLiteral("Die alte Sicherung \"%1\" kann nicht ersetzt werden.").arg(bak));
        if (!QFile::rename(mdx, bak))
            throw FileIoError(QStringLiteral("Die veraltete Indexdatei \"%1\" kann nicht umbenannt werden.").arg(mdx));
    }
    const char zero = 0;
    d->file.writeAt(28, &zero, 1);
    m_mdxFlag = false;
}

void DbfTable::Insert() {
    checkActive();
    postIfEditing();
    checkWritable();
    const int row = int(d->rows.size());
    d->rowBeforeInsert = d->row;
    d->quiet = d->batch != nullptr;
    notify([row](TableObserver* o) { o->pendingRowAboutToAppear(row); });
    d->buffer = d->blank;
    m_state = State::Insert;
    d->row = row;
    m_eof = false;
    m_bof = false;
    notify([row](TableObserver* o) { o->pendingRowAppeared(row); });
    notify([](TableObserver* o) { o->cursorChanged(); });
}

void DbfTable::AppendRecord() {
    Insert();
    Post();
}

void DbfTable::Edit() {
    checkActive();
    if (m_state == State::Insert || m_state == State::Edit) return;
    checkWritable();
    if (d->rows.empty() || d->row < 0) {
        Insert();  // as a dataset does: editing an empty table starts a new record
        return;
    }
    d->buffer = QByteArray(recordAt(d->rows[size_t(d->row)]), m_recordLength);
    m_state = State::Edit;
    notify([](TableObserver* o) { o->cursorChanged(); });
}

void DbfTable::Post() {
    checkActive();
    if (m_state != State::Insert && m_state != State::Edit) throw TableStateError(notEditingText());
    if (m_state == State::Insert && m_newRecordCheck) m_newRecordCheck(*this);
    checkWritable();
    if (m_state == State::Insert && d->batch) return collectForBatch();
    std::vector<TableChange> changes;
    if (!m_witnesses.empty()) {
        TableChange change;
        change.kind = m_state == State::Insert ? TableChange::Kind::Insert : TableChange::Kind::Edit;
        change.physical = m_state == State::Insert ? m_recordCount : d->rows[size_t(d->row)];
        if (m_state == State::Edit) change.before = QByteArray(recordAt(change.physical), m_recordLength);
        change.after = d->buffer;
        changes.push_back(std::move(change));
    }
    prepareWitnessedWrite(changes);
    if (m_state == State::Insert) {
        const int physical = m_recordCount;
        writeAppended(physical, 1, d->buffer, changes);
        d->records.append(d->buffer);
        ++m_recordCount;
        orderInserted(physical);

        const int pendingRow = int(d->rows.size());
        bool visible = true;
        std::exception_ptr filterError;
        try {
            visible = accepts(physical);
        } catch (...) {
            filterError = std::current_exception();  // the record is stored; show it and report afterwards
        }
        if (visible) {
            const int to = keyFieldIndex() >= 0 ? sortedPosition(physical) : pendingRow;
            if (to != pendingRow) notify([&](TableObserver* o) { o->rowAboutToMove(pendingRow, to); });
            d->rows.insert(d->rows.begin() + to, physical);
            m_state = State::Browse;
            d->row = to;
            if (to != pendingRow) notify([&](TableObserver* o) { o->rowMoved(pendingRow, to); });
        } else {
            notify([&](TableObserver* o) { o->pendingRowAboutToGo(pendingRow); });
            m_state = State::Browse;
            d->row = d->rows.empty() ? -1 : pendingRow - 1;
            m_eof = d->rows.empty();
            notify([&](TableObserver* o) { o->pendingRowGone(pendingRow); });
        }
        d->buffer.clear();
        const int shownAt = visible ? d->row : -1;
        notify([shownAt](TableObserver* o) { o->editEnded(shownAt); });
        notify([](TableObserver* o) { o->cursorChanged(); });
        if (filterError) std::rethrow_exception(filterError);
        return;
    }

    const int physical = d->rows[size_t(d->row)];
    const qint64 at = qint64(m_headerLength) + qint64(physical) * m_recordLength;
    try {
        d->file.writeAt(at, d->buffer);
        d->file.checkInPlace();
    } catch (const FileIoError& e) {
        // A write that stopped half-way would leave a record that is half old, half new.
        try {
            d->file.writeAt(at, recordAt(physical), m_recordLength);
        } catch (const FileIoError&) {
            throw FileIoError(e.message() + QLatin1Char(' ') + notRestoredText(absoluteFileName()));
        }
        witnessUndone(changes);
        throw;
    }
    std::memcpy(d->records.data() + m_headerLength + qsizetype(physical) * m_recordLength, d->buffer.constData(),
                size_t(m_recordLength));
    orderRemoved(physical);
    orderInserted(physical);
    m_state = State::Browse;
    d->buffer.clear();
    const int row = d->row;
    bool visible = true;
    std::exception_ptr filterError;
    try {
        visible = accepts(physical);
    } catch (...) {
        filterError = std::current_exception();
    }
    if (!visible) {
        notify([&](TableObserver* o) { o->rowAboutToBeRemoved(row); });
        d->rows.erase(d->rows.begin() + row);
        d->row = d->rows.empty() ? -1 : std::min(row, int(d->rows.size()) - 1);
        m_eof = d->rows.empty();
        notify([&](TableObserver* o) { o->rowRemoved(row); });
    } else if (keyFieldIndex() >= 0 &&
               ((row > 0 && keyLess(physical, d->rows[size_t(row - 1)])) ||
                (row + 1 < int(d->rows.size()) && keyLess(d->rows[size_t(row + 1)], physical)))) {
        d->rows.erase(d->rows.begin() + row);
        const int to = sortedPosition(physical);
        d->rows.insert(d->rows.begin() + row, physical);  // back until the observers were told
        notify([&](TableObserver* o) { o->rowAboutToMove(row, to); });
        d->rows.erase(d->rows.begin() + row);
        d->rows.insert(d->rows.begin() + to, physical);
        d->row = to;
        notify([&](TableObserver* o) { o->rowMoved(row, to); });
        notify([&](TableObserver* o) { o->rowChanged(to); });
    } else {
        notify([&](TableObserver* o) { o->rowChanged(row); });
    }
    const int shownAt = visible ? d->row : -1;
    notify([shownAt](TableObserver* o) { o->editEnded(shownAt); });
    notify([](TableObserver* o) { o->cursorChanged(); });
    if (filterError) std::rethrow_exception(filterError);
}

// Puts the file back as it was before an append of `length` bytes at `at` failed: its previous length, the
// bytes the records were written over (normally the end-of-file mark) and, when it was written, the
// header's previous date and count. False when the file could not be restored.
bool DbfTable::undoAppend(qint64 at, qint64 length, bool stamped) {
    bool restored = true;
    try {
        d->file.truncate(at + d->tail.size());
    } catch (const FileIoError&) {
        restored = false;
    }
    try {
        const QByteArray overwritten = d->tail.left(length);
        if (!overwritten.isEmpty()) d->file.writeAt(at, overwritten);
    } catch (const FileIoError&) {
        restored = false;
    }
    if (stamped) {
        try {
            d->file.writeAt(1, d->records.constData() + 1, 7);
        } catch (const FileIoError&) {
            restored = false;
        }
    }
    return restored;
}

// Writes `count` whole records after the last one: records and end mark first, the header's date and count
// last, so that a process killed in between leaves a file whose header still describes only complete
// records. A write that fails (a full disk takes part of a record) is undone, so that no reader finds more
// rows than the header counts, and the witnesses withdraw what they recorded. Keeps the in-memory header
// and the bytes after the records in step; the records themselves are the caller's to add.
void DbfTable::writeAppended(int first, int count, const QByteArray& records, const std::vector<TableChange>& changes) {
    const qint64 at = qint64(m_headerLength) + qint64(first) * m_recordLength;
    QByteArray out;
    out.reserve(records.size() + 1);
    out += records;
    out += endMark;
    const QByteArray stamp = DbfHeader::dateAndCount(todayForHeader(), qint64(first) + count);
    bool stamped = false;
    try {
        d->file.writeAt(at, out);
        stamped = true;
        d->file.writeAt(1, stamp);
        d->file.checkInPlace();
    } catch (const FileIoError& e) {
        if (!undoAppend(at, out.size(), stamped))
            throw FileIoError(e.message() + QLatin1Char(' ') + notRestoredText(absoluteFileName()));
        witnessUndone(changes);
        throw;
    }
    std::memcpy(d->records.data() + 1, stamp.constData(), size_t(stamp.size()));
    if (d->tail.size() > out.size())
        d->tail = QByteArray(1, endMark) + d->tail.mid(out.size());
    else if (d->tail.size() != 1 || d->tail[0] != endMark)
        d->tail = QByteArray(1, endMark);
}

void DbfTable::addWitness(TableWitness* witness) {
    if (witness && std::find(m_witnesses.begin(), m_witnesses.end(), witness) == m_witnesses.end())
        m_witnesses.push_back(witness);
}

void DbfTable::removeWitness(TableWitness* witness) {
    m_witnesses.erase(std::remove(m_witnesses.begin(), m_witnesses.end(), witness), m_witnesses.end());
}

// Every witness checks first, then every witness records; a witness that throws while recording has the
// ones before it withdraw their record again, so that nothing stays recorded for a change never written.
void DbfTable::witnessBefore(const std::vector<TableChange>& changes) {
    for (TableWitness* w : m_witnesses) w->check(*this, changes);
    size_t recorded = 0;
    try {
        for (; recorded < m_witnesses.size(); ++recorded) m_witnesses[recorded]->writing(*this, changes);
    } catch (...) {
        for (size_t i = 0; i < recorded; ++i) {
            try {
                m_witnesses[i]->undone(*this, changes);
            } catch (...) {
            }
        }
        throw;
    }
}

void DbfTable::witnessUndone(const std::vector<TableChange>& changes) {
    if (changes.empty()) return;
    for (TableWitness* w : m_witnesses) {
        try {
            w->undone(*this, changes);
        } catch (...) {
        }
    }
}

void DbfTable::Cancel() {
    checkActive();
    if (m_state == State::Insert) {
        const int pendingRow = int(d->rows.size());
        notify([&](TableObserver* o) { o->pendingRowAboutToGo(pendingRow); });
        m_state = State::Browse;
        d->buffer.clear();
        d->row = d->rows.empty() ? -1 : std::clamp(d->rowBeforeInsert, 0, int(d->rows.size()) - 1);
        m_eof = d->rows.empty();
        notify([&](TableObserver* o) { o->pendingRowGone(pendingRow); });
        notify([](TableObserver* o) { o->editEnded(-1); });
        notify([](TableObserver* o) { o->cursorChanged(); });
        d->quiet = false;
    } else if (m_state == State::Edit) {
        m_state = State::Browse;
        d->buffer.clear();
        const int row = d->row;
        notify([&](TableObserver* o) { o->rowChanged(row); });
        notify([&](TableObserver* o) { o->editEnded(row); });
        notify([](TableObserver* o) { o->cursorChanged(); });
    }
}

void DbfTable::Delete() {
    checkActive();
    if (m_state == State::Insert) {
        Cancel();
        return;
    }
    if (d->row < 0 || d->row >= int(d->rows.size()))
        throw TableStateError(QStringLiteral("Cannot perform this operation on an empty dataset"));
    checkWritable();
    const int row = d->row;
    const int physical = d->rows[size_t(row)];
    const char flag = '*';
    std::vector<TableChange> changes;
    if (!m_witnesses.empty()) {
        TableChange change;
        change.kind = TableChange::Kind::Delete;
        change.physical = physical;
        change.before = QByteArray(recordAt(physical), m_recordLength);
        change.after = change.before;
        change.after[0] = flag;
        changes.push_back(std::move(change));
        witnessBefore(changes);
    }
    bool written = false;  // a one-byte write either happened or did not
    try {
        prepareWrite();
        d->file.writeAt(qint64(m_headerLength) + qint64(physical) * m_recordLength, &flag, 1);
        written = true;
        d->file.checkInPlace();
    } catch (...) {
        if (!written) witnessUndone(changes);
        throw;
    }
    d->records[m_headerLength + qsizetype(physical) * m_recordLength] = flag;
    orderRemoved(physical);
    const bool wasEditing = m_state == State::Edit;
    m_state = State::Browse;
    d->buffer.clear();
    notify([&](TableObserver* o) { o->rowAboutToBeRemoved(row); });
    d->rows.erase(d->rows.begin() + row);
    d->row = d->rows.empty() ? -1 : std::min(row, int(d->rows.size()) - 1);
    m_eof = d->rows.empty();
    notify([&](TableObserver* o) { o->rowRemoved(row); });
    if (wasEditing) notify([](TableObserver* o) { o->editEnded(-1); });
    notify([](TableObserver* o) { o->cursorChanged(); });
}

void DbfTable::checkEditing() const {
    checkActive();
    if (d->candidate || (m_state != State::Insert && m_state != State::Edit)) throw TableStateError(notEditingText());
}

// --- filter ---

void DbfTable::setOnFilterRecord(FilterCallback callback) {
    d->filter = std::move(callback);
}

void DbfTable::setFiltered(bool on) {
    if (on == m_filtered) return;
    if (Active()) postIfEditing();
    m_filtered = on;
    if (!Active()) return;
    try {
        rebuildKeepingCursor(false, true);
    } catch (...) {
        // A callback that failed left the rows as they were; the switch says so, and switching again
        // applies the filter for real.
        m_filtered = !on;
        throw;
    }
}

// --- views ---

void DbfTable::attach(TableObserver* observer) {
    if (observer && std::find(d->observers.begin(), d->observers.end(), observer) == d->observers.end())
        d->observers.push_back(observer);
}

void DbfTable::detach(TableObserver* observer) {
    std::erase(d->observers, observer);
}
