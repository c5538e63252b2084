// SPDX-License-Identifier: GPL-3.0-or-later
#include "storage/TableRewrite.h"

#include <QFile>
#include <QFileInfo>

#include "storage/DbfTable.h"
#include "storage/SafeFile.h"

void rewriteTable(const QString& target, const std::vector<FieldDef>& schema, const QString& what,
                  const std::function<void(DbfTable&)>& fill) {
    const QString partName = SafeFile::temporaryName(target);
    DbfTable part;
    part.setFilePath(QFileInfo(partName).absolutePath());
    part.setTableName(QFileInfo(partName).fileName());
    part.setFieldDefs(schema);
    try {
        part.CreateTable();
        part.Open();
        fill(part);
        const qint64 size = qint64(part.headerLength()) + qint64(part.physicalRecordCount()) * part.recordLength() + 1;
        part.Close();
        SafeFile::commit(partName, target, size, what);
    } catch (...) {
        if (part.Active() && part.state() == DbfTable::State::Insert) part.Cancel();
        part.Close();
        QFile::remove(partName);
        throw;
    }
}
