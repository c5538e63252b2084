// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>
#include <vector>

#include "storage/DbfFieldLayout.h"
#include "storage/FieldDef.h"

// The header of a dBase IV table file: the 32-byte file header, one 32-byte descriptor per field
// and the terminating 0x0D. Parsing validates everything a reader would otherwise trust blindly.
struct DbfHeader {
    quint8 version = 0x03;
    QDate lastUpdate;
    qint64 recordCount = 0;
    int headerLength = 0;
    int recordLength = 0;
    bool mdxFlag = false;
    quint8 languageDriver = 0x03;
    std::vector<DbfFieldLayout> fields;

    // Checks the bytes at the start of a file of `fileSize` bytes. On failure returns false and sets
    // `reason` to a short German description of what is wrong. `bytes` holds at least the header.
    static bool parse(const QByteArray& bytes, qint64 fileSize, DbfHeader* header, QString* reason);
    // Bytes needed to parse: the 32-byte file header first, then headerLength from it.
    static constexpr int fixedLength = 32;

    // Field layout of a table to be created; throws StorageError with a German message for
    // definitions that cannot be stored (no fields, sizes out of range, names too long or empty).
    static DbfHeader fromDefinitions(const std::vector<FieldDef>& defs, const QString& fileName);

    QByteArray bytes() const;                                         // header + descriptors + 0x0D
    static QByteArray dateAndCount(const QDate& date, qint64 count);  // bytes 1..7
};
