// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/RawDbfWriter.h"

#include "support/TestSupport.h"

namespace testsupport {

static void putLe16(QByteArray& b, int at, int v) {
    b[at] = char(v & 0xff);
    b[at + 1] = char((v >> 8) & 0xff);
}

int RawDbf::recordLength() const {
    int n = 1;
    for (const RawField& f : fields) n += f.width;
    return n;
}

void RawDbf::addRecord(const std::vector<QByteArray>& values, bool deleted) {
    QByteArray rec(1, deleted ? '*' : ' ');
    for (size_t i = 0; i < fields.size(); ++i) {
        const RawField& f = fields[i];
        QByteArray v = i < values.size() ? values[i] : QByteArray();
        v = v.left(f.width);
        const QByteArray pad(f.width - v.size(), ' ');
        rec += (f.type == 'N' || f.type == 'F') ? pad + v : v + pad;
    }
    records.push_back(rec);
}

QByteArray RawDbf::bytes() const {
    QByteArray b(32, '\0');
    b[0] = char(version);
    b[1] = char(124);  // 2024-05-17
    b[2] = char(5);
    b[3] = char(17);
    const quint32 n = quint32(records.size());
    for (int i = 0; i < 4; ++i) b[4 + i] = char((n >> (8 * i)) & 0xff);
    putLe16(b, 8, headerLength());
    putLe16(b, 10, recordLength());
    b[28] = char(mdxFlag);
    b[29] = char(languageDriver);
    for (const RawField& f : fields) {
        QByteArray d(32, '\0');
        for (int i = 0; i < f.name.size() && i < 11; ++i) d[i] = f.name[i];
        d[11] = f.type;
        d[16] = char(f.width);
        d[17] = char(f.decimals);
        b += d;
    }
    b += char(0x0d);
    for (const QByteArray& r : records) b += r;
    if (endMarker) b += char(0x1a);
    return b;
}

void RawDbf::write(const QString& fileName) const {
    writeFile(fileName, bytes());
}

}  // namespace testsupport
