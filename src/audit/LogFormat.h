// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

#include "storage/DbfHeader.h"
#include "storage/FieldDef.h"

namespace audit {

// One entry of the change log of the bookings, as stored.
//
// The log is a dBase IV table (code page 1252) per client and booking year, "protokoll_<client>_<year>.dbf"
// beside the bookings, with these fields (width in bytes):
//   LFDNR    N  9  entry number, 1, 2, 3, ... without gaps
//   UTC      C 24  time of the entry in UTC, "2026-12-10T03:01:17.123Z"
//   ORTSZEIT C 29  the same moment in local time with its offset, "2026-12-10T04:01:17.123+01:00"
//   ART      C  1  N new booking, E edit, L deletion, A start of the log, H note
//   AKTION   C 20  the German word for it ("Erfassung", "Änderung", "Löschung", "Protokollbeginn", a note's word)
//   SATZ     N  9  record number in the bookings table counted from 1 (0: none); for A the number of records
//                  the table held when the log began
//   VORHER   C 254 the record's bytes as stored in the bookings table before the change (its deletion flag
//                  first, in the bookings table's code page); blank for N
//   NACHHER  C 254 the record's bytes after the change (for L with the deletion flag "*"); for A the SHA-256
//                  (hex) of the bookings table's records as found; for H the note's text
//   VERSION  C 16  program version that wrote the entry
//   HASH     C 64  SHA-256 (lower-case hex) of: the previous entry's HASH (64 times "0" before the first
//                  entry), then every field above in this order as stored with its trailing blanks removed,
//                  each followed by the byte 0x1F
// Record bytes and texts are compared without trailing blanks, as the fixed-width fields keep them.
struct LogEntry {
    enum class Kind : char { Insert = 'N', Edit = 'E', Delete = 'L', Start = 'A', Note = 'H' };
    qint64 number = 0;
    QString utc;
    QString local;
    Kind kind = Kind::Note;
    QString action;
    qint64 satz = 0;    // as stored: record number + 1, 0 for none (A: the record count)
    QByteArray before;  // trailing blanks removed
    QByteArray after;   // trailing blanks removed (H: the note's text in code page 1252)
    QString version;
    QByteArray hash;  // 64 hex characters

    int record() const { return kind == Kind::Start || satz <= 0 ? -1 : int(satz - 1); }
    QString noteText() const;  // `after` decoded, for notes
};

namespace LogFormat {

inline const QString baseName = QStringLiteral("protokoll");
constexpr int valueWidth = 254;  // VORHER and NACHHER: the longest record the log can hold
constexpr int hashWidth = 64;
constexpr int actionWidth = 20;

std::vector<FieldDef> schema();
int recordLength();  // 1 + the widths above
int fieldCount();
int fieldOffset(int field);  // within a record, the deletion flag at 0
int fieldWidth(int field);
enum Field { Lfdnr, Utc, Ortszeit, Art, Aktion, Satz, Vorher, Nachher, Version, Hash };

QByteArray zeroHash();                    // the "previous hash" of the first entry
bool hasLayout(const DbfHeader& header);  // the fields above, in this order and width

// The record bytes of `entry` with its HASH computed from `previousHash` into `record`, recordLength()
// bytes that the caller provides; sets entry.hash.
void encodeInto(LogEntry& entry, QByteArrayView previousHash, char* record);

// An entry as the bytes of its fields, for writing many without a LogEntry each: the texts in the log's
// code page (utc, local and version are ASCII), before and after with or without their trailing blanks.
struct EntryBytes {
    qint64 number = 0;
    LogEntry::Kind kind = LogEntry::Kind::Note;
    QByteArrayView utc, local, action;
    qint64 satz = 0;
    QByteArrayView before, after;
    QByteArrayView version;
};
// Writes `entry` into `record` (recordLength() bytes) with its HASH after `previousHash`; the hash is then
// the record's last hashWidth bytes.
void encodeInto(const EntryBytes& entry, QByteArrayView previousHash, char* record);
// The entry stored in `record` (recordLength() bytes), without any check.
LogEntry decode(const char* record);
// The hash the entry stored in `record` should carry after `previousHash`, as hashWidth hex digits into
// `hex`.
void hashInto(const char* record, QByteArrayView previousHash, char* hex);

// Text without trailing blanks.
QByteArray trimmed(const char* bytes, int length);
QByteArray trimmed(const QByteArray& bytes);

}  // namespace LogFormat
}  // namespace audit
