// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

#include "storage/CodePage.h"
#include "storage/DbfField.h"
#include "storage/FieldDef.h"
#include "storage/StorageError.h"

class QCollator;
class TableObserver;
class TableWitness;
struct TableChange;

// The table object: one dBase IV file with a cursor, an edit buffer, an optional record filter and
// an optional sort order. Every table access of the program goes through it.
//
// Records live in memory as the file's raw bytes; writes go straight to the file (no user-space
// buffering) in a crash-safe order: a new record and the end-of-file byte first, the header's record
// count last. Sort orders ("indexes") are kept in memory; no .mdx is written. A table whose header
// flags an .mdx opens normally; the first write clears the flag and moves the stale .mdx aside
// (name.mdx.bak).
//
// Visible order: the live records that pass the filter (while Filtered is on), in physical order or
// ascending by the active index key. While a record is being inserted it is an extra visible row at
// the end and the cursor stands on it. Rows are 0-based positions in the visible order.
class DbfTable {
    friend class DbfAppendBatch;

public:
    enum class State { Closed, Browse, Insert, Edit };
    using FilterCallback = std::function<bool(const DbfTable&)>;  // true = accept the current record
    using RecordCheck = std::function<void(const DbfTable&)>;     // throws to refuse the current record

    DbfTable();
    ~DbfTable();
    DbfTable(const DbfTable&) = delete;
    DbfTable& operator=(const DbfTable&) = delete;

    // --- file and schema (only while closed) ---
    void setFilePath(const QString& folder);  // a relative or empty folder is taken from the program folder
    const QString& FilePath() const { return m_filePath; }
    void setTableName(const QString& fileName);
    const QString& TableName() const { return m_tableName; }
    QString absoluteFileName() const;
    int TableLevel() const { return 4; }

    void clearFieldDefs();
    void addFieldDef(const QString& name, FieldType type, int size = 0);
    void setFieldDefs(const std::vector<FieldDef>& defs);
    const std::vector<FieldDef>& fieldDefs() const { return m_defs; }

    // Writes a new empty file from the field definitions, replacing an existing one atomically (a full
    // disk leaves the previous state and a German FileIoError). The language driver is the one set
    // below, 0x03 (code page 1252) unless set otherwise. The table stays closed.
    void CreateTable();
    // The language driver byte (and so the code page) that CreateTable writes; only while closed.
    void setCreateLanguageDriver(int ldid);
    int createLanguageDriver() const { return m_createLdid; }

    // Opens the file for reading only from the next Open on, whatever its permissions; every write is
    // refused with a German message that ends in `reason` (what happened and what to do).
    void setReadOnlyMode(bool on, const QString& reason = QString());
    bool readOnlyMode() const { return m_readOnlyMode; }

    // Opens the file: FileMissingError when it does not exist, DamagedTableError when it cannot be
    // read or its header is impossible (the file is left untouched). A file without write permission
    // opens read-only: reading works, every write throws StorageError.
    void Open();
    void Close();  // drops a pending insert or edit; callers post first
    bool Active() const { return m_state != State::Closed; }
    State state() const { return m_state; }
    bool isReadOnly() const { return m_readOnly; }

    // --- navigation over the visible records; in insert or edit state they post first ---
    void First();
    void Next();
    void Prior();
    void Last();
    bool Eof() const { return m_eof; }
    bool Bof() const { return m_bof; }
    bool IsEmpty() const { return RecordCount() == 0; }
    int RecordCount() const;  // visible rows, the pending insert row included
    // The visible rows the observers have been told of: RecordCount less a pending new record that an
    // append batch keeps from them (see DbfAppendBatch).
    int announcedRowCount() const;
    int RecNo() const;          // row of the cursor, -1 when there is none
    void setRecNo(int row);     // move the cursor to a visible row
    int physicalRecNo() const;  // record number in the file (0-based) of the cursor, -1 for none/pending insert
    int physicalOf(int row) const;  // record number in the file of a visible row, -1 for the pending insert
    // Lets `reader` read the fields of visible row `row` (the pending row included) without moving the
    // cursor and without notifications, as the filter callback does. For views serving rows on demand.
    void readRow(int row, const std::function<void(const DbfTable&)>& reader) const;
    // The stored bytes of visible row `row` (the pending row included) as laid out in the file, for
    // walks over many rows that decode the fields themselves; valid until the table next changes.
    const char* rowBytes(int row) const;
    // The same for a row whose record number in the file the caller knows (physicalOf), without the look-up
    // that costs a walk through all rows in the order of the file most of its time.
    const char* rowBytes(int row, int physical) const;
    int fieldOffset(int index) const;  // where field `index` starts within a record's bytes
    // The stored bytes of the record the fields read now: the filter's candidate during a filter call or
    // readRow, the pending record while editing, else the cursor's record (blanks when there is none).
    const char* recordBytes() const;
    // Sets every field of the pending record at once from `record`, the bytes of a whole record as the table
    // stores them (its deletion mark is left as it is), for a caller that encoded the values itself as the
    // field setters would; the state checks are theirs.
    void setPendingFields(const char* record);
    // Changes with every opening and refresh of the file, and differs between tables: whoever keeps facts
    // about the field layout (types, offsets, code page) keeps them while this stays the same.
    quint64 layoutStamp() const { return m_layoutStamp; }
    void Refresh();  // re-read the file; the cursor stays on its record where it still exists

    // --- editing ---
    void Insert();        // pending new record, all fields empty
    void AppendRecord();  // an empty record at the end, posted at once
    void Edit();
    void Post();  // TableStateError "Dataset not in edit or insert mode" when nothing is pending
    // Runs at the start of every Post of a new record, before anything is written; what it throws ends the
    // Post and leaves the record pending for correction.
    void setNewRecordCheck(RecordCheck check) { m_newRecordCheck = std::move(check); }
    // Witnesses see every insert, edit and delete before it is written (see TableWitness). The table does
    // not own them; a witness removes itself before it goes.
    void addWitness(TableWitness* witness);
    void removeWitness(TableWitness* witness);
    void Cancel();
    void Delete();  // deletion flag on the current record; in insert state the same as Cancel

    // --- fields ---
    int FieldCount() const { return int(m_fields.size()); }
    DbfField& Fields(int index);
    const DbfField& Fields(int index) const;
    DbfField& FieldByName(const QString& name);  // case-insensitive; FieldNotFoundError
    const DbfField& FieldByName(const QString& name) const;
    DbfField* FindField(const QString& name);  // nullptr when missing

    // --- filter ---
    void setOnFilterRecord(FilterCallback callback);  // takes effect at the next filter switch or Refresh
    void setFiltered(bool on);  // a change re-evaluates the visible records; the same value does nothing
    bool Filtered() const { return m_filtered; }

    // --- sort order ---
    QStringList indexNames() const;
    void AddIndex(const QString& name, const QString& keyField);  // key: one field name; kept in memory
    void setIndexName(const QString& name);                       // "" = physical order
    const QString& IndexName() const { return m_indexName; }

    // --- views ---
    void attach(TableObserver* observer);
    void detach(TableObserver* observer);

    // --- file facts (for tests, the upgrade and diagnostics) ---
    int languageDriver() const { return m_ldid; }
    const CodePage& codePage() const { return m_codePage; }
    bool hasMdxFlag() const { return m_mdxFlag; }
    int headerLength() const { return m_headerLength; }
    int recordLength() const { return m_recordLength; }
    int physicalRecordCount() const { return m_recordCount; }  // deleted records included

private:
    friend class DbfField;
    struct Impl;
    std::unique_ptr<Impl> d;

    QString m_filePath;
    QString m_tableName;
    std::vector<FieldDef> m_defs;
    std::vector<std::unique_ptr<DbfField>> m_fields;
    State m_state = State::Closed;
    bool m_readOnly = false;
    bool m_eof = true;
    bool m_bof = true;
    bool m_filtered = false;
    bool m_mdxFlag = false;
    int m_ldid = 0x03;
    CodePage m_codePage;
    int m_headerLength = 0;
    int m_recordLength = 0;
    int m_recordCount = 0;
    QString m_indexName;
    int m_createLdid = CodePage::defaultLanguageDriver;
    bool m_readOnlyMode = false;
    QString m_readOnlyReason;
    quint64 m_layoutStamp = 0;
    RecordCheck m_newRecordCheck;
    std::vector<TableWitness*> m_witnesses;

    // Field access for DbfField: the bytes of the record the fields currently read, and the edit
    // buffer a setter writes to (after the state checks).
    const char* fieldBytes(int index) const;
    void storeFieldBytes(int index, const char* bytes);
    void checkActive() const;
    void checkEditing() const;
    const QString& layoutName(int index) const;
    char layoutType(int index) const;
    int layoutWidth(int index) const;
    int layoutDecimals(int index) const;
    FieldType layoutLogical(int index) const;

    const char* recordAt(int physical) const;
    // Tells the witnesses of the changes (a refusal throws before anything is written), then readies the
    // file; a failure there withdraws the changes from the witnesses again.
    void prepareWitnessedWrite(const std::vector<TableChange>& changes);
    void witnessBefore(const std::vector<TableChange>& changes);
    void writeAppended(int first, int count, const QByteArray& records, const std::vector<TableChange>& changes);
    void witnessUndone(const std::vector<TableChange>& changes);
    const char* currentRecord() const;
    int currentPhysical() const;
    bool accepts(int physical) const;
    int keyFieldIndex() const;
    std::vector<int> computeVisible() const;
    const std::vector<int>& sortedOrder() const;
    void orderInserted(int physical);
    void orderRemoved(int physical);
    void dropOrder();
    void sortRows(std::vector<int>& rows) const;
    bool keyLess(int physicalA, int physicalB) const;
    const QCollator& textCollator() const;
    int sortedPosition(int physical) const;
    void rebuildKeepingCursor(bool reread, bool keepToFirst);
    void loadFile(bool initial);
    void postIfEditing();
    bool undoAppend(qint64 at, qint64 length, bool stamped);
    void collectForBatch();
    void appendRecords(const QByteArray& records, int count);
    void checkWritable() const;
    void prepareWrite();
    void setCursorRow(int row);
    template <typename F>
    void notify(F&& call);
};
