// SPDX-License-Identifier: GPL-3.0-or-later
#include "audit/TableImage.h"

#include "storage/StorageError.h"

namespace audit {

TableImage::TableImage(const QString& fileName) : m_fileName(fileName), m_file(fileName) {
    if (!m_file.exists()) throw FileMissingError(QStringLiteral("Die Tabelle \"%1\" existiert nicht.").arg(fileName));
    if (!m_file.open(QIODevice::ReadOnly))
        throw DamagedTableError(
            QStringLiteral("Die Tabelle \"%1\" kann nicht gelesen werden (%2).").arg(fileName, m_file.errorString()));
    const qint64 size = m_file.size();
    uchar* map = size > 0 ? m_file.map(0, size) : nullptr;
    if (!map)
        throw DamagedTableError(
            QStringLiteral("Die Tabelle \"%1\" kann nicht gelesen werden (%2).").arg(fileName, m_file.errorString()));
    m_data = reinterpret_cast<const char*>(map);
    QString why;
    // The header is short; parse gets no more than it can hold, the size check uses the real size.
    const qint64 headerBytes = std::min<qint64>(size, 65536);
    if (!DbfHeader::parse(QByteArray::fromRawData(m_data, qsizetype(headerBytes)), size, &m_header, &why))
        throw DamagedTableError(
            QStringLiteral("Die Tabelle \"%1\" ist beschädigt (%2).").arg(fileName, why));
}

}  // namespace audit
