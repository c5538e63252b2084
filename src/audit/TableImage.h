// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFile>
#include <QString>

#include "storage/DbfHeader.h"

namespace audit {

// A dBase file mapped for reading, for walks over a million records without copying them into memory:
// the header as validated by DbfHeader and the records the header counts (deleted ones included).
class TableImage {
public:
    // Throws FileMissingError or DamagedTableError (German) when the file is missing, cannot be mapped or
    // has an impossible header.
    explicit TableImage(const QString& fileName);
    TableImage(const TableImage&) = delete;
    TableImage& operator=(const TableImage&) = delete;

    const DbfHeader& header() const { return m_header; }
    int recordCount() const { return int(m_header.recordCount); }
    int recordLength() const { return m_header.recordLength; }
    const char* record(int index) const {
        return m_data + m_header.headerLength + qint64(index) * m_header.recordLength;
    }
    const QString& fileName() const { return m_fileName; }

private:
    QString m_fileName;
    QFile m_file;
    DbfHeader m_header;
    const char* m_data = nullptr;
};

}  // namespace audit
