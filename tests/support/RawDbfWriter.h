// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

namespace testsupport {

// Writes dBase files byte by byte, independent of the program's own writer, to stand in for files
// made by other software (old layouts, comma decimals, foreign code pages, an .mdx flag, damage).
struct RawField {
    QByteArray name;  // stored name, at most 10 characters
    char type = 'C';
    int width = 1;
    int decimals = 0;
};

struct RawDbf {
    std::vector<RawField> fields;
    std::vector<QByteArray> records;  // each: deletion flag + field bytes, exactly recordLength() long
    quint8 version = 0x03;
    quint8 languageDriver = 0x03;
    quint8 mdxFlag = 0;
    bool endMarker = true;

    int headerLength() const { return 32 + 32 * int(fields.size()) + 1; }
    int recordLength() const;

    // Appends a live record from already encoded field values, each padded or cut to its width
    // (C left-aligned, N right-aligned, D as given).
    void addRecord(const std::vector<QByteArray>& values, bool deleted = false);
    QByteArray bytes() const;
    void write(const QString& fileName) const;
};

}  // namespace testsupport
