// SPDX-License-Identifier: GPL-3.0-or-later
#include "BenchYear.h"

#include <QFile>
#include <cstring>

#include "startup/ClientNaming.h"
#include "startup/TableSet.h"

namespace bench {

void writeYear(const QString& folder, int year, int count, const RecordFill& fill) {
    {
        TableSet set;
        set.setNames(1, year);
        set.InitDB(folder);
        set.closeAll();
    }
    QFile file(folder + ClientNaming::tableFileName(QStringLiteral("records"), 1, year));
    file.open(QIODevice::ReadOnly);
    QByteArray header = file.readAll();
    file.close();
    header.chop(1);  // end-of-file byte
    const int recordLength = 189;
    QByteArray records(qsizetype(count) * recordLength, ' ');
    QRandomGenerator rng(2026);
    for (int i = 0; i < count; ++i) fill(i, count, records.data() + qsizetype(i) * recordLength, rng);
    const quint32 n = quint32(count);
    std::memcpy(header.data() + 4, &n, 4);
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(header);
    file.write(records);
    file.write("\x1a", 1);
    file.close();
}

}  // namespace bench
