// SPDX-License-Identifier: GPL-3.0-or-later
#include "storage/DbfHeader.h"

#include <QSet>

#include "storage/StorageError.h"

FieldType DbfFieldLayout::logicalTypeOf(char type, int width, int decimals) {
    switch (type) {
        case 'D':
            return FieldType::Date;
        case 'N':
        case 'F':
            if (decimals > 0 || width > 9) return FieldType::Float;
            return FieldType::Integer;
        default:
            return FieldType::String;
    }
}

namespace {

int le16(const QByteArray& b, int at) {
    return quint8(b[at]) | (quint8(b[at + 1]) << 8);
}

quint32 le32(const QByteArray& b, int at) {
    return quint32(quint8(b[at])) | (quint32(quint8(b[at + 1])) << 8) | (quint32(quint8(b[at + 2])) << 16) |
           (quint32(quint8(b[at + 3])) << 24);
}

bool knownVersion(quint8 v) {
    // dBase III/IV/5 and FoxPro variants; the memo bits do not matter since no memo file is read.
    switch (v) {
        case 0x03:
        case 0x05:
        case 0x30:
        case 0x31:
        case 0x43:
        case 0x63:
        case 0x83:
        case 0x8B:
        case 0xCB:
        case 0xF5:
        case 0xFB:
            return true;
        default:
            return false;
    }
}

}  // namespace

bool DbfHeader::parse(const QByteArray& bytes, qint64 fileSize, DbfHeader* h, QString* reason) {
    if (fileSize < fixedLength || bytes.size() < fixedLength) {
        *reason = QStringLiteral("Dateikopf unvollständig");
        return false;
    }
    h->version = quint8(bytes[0]);
    if (!knownVersion(h->version)) {
        *reason = QStringLiteral("unbekannte Versionskennung 0x%1").arg(h->version, 2, 16, QLatin1Char('0'));
        return false;
    }
    h->lastUpdate = QDate(1900 + quint8(bytes[1]), quint8(bytes[2]), quint8(bytes[3]));
    h->recordCount = le32(bytes, 4);
    h->headerLength = le16(bytes, 8);
    h->recordLength = le16(bytes, 10);
    h->mdxFlag = bytes[28] != 0;
    h->languageDriver = quint8(bytes[29]);

    if (h->headerLength < fixedLength + 32 + 1) {
        *reason = QStringLiteral("ungültige Kopflänge %1").arg(h->headerLength);
        return false;
    }
    if (fileSize < h->headerLength || bytes.size() < h->headerLength) {
        *reason = QStringLiteral("Dateikopf unvollständig");
        return false;
    }
    // The descriptors end at the first 0x0D in a descriptor's place. Writers may put more after it and
    // count it in the header length (a padding byte of dBase III PLUS, the 263-byte backlink of Visual
    // FoxPro); the records start at the header length.
    int fieldCount = 0;
    for (;;) {
        const int at = fixedLength + 32 * fieldCount;
        if (at < h->headerLength && bytes[at] == char(0x0D)) break;
        // Another descriptor needs its 32 bytes and a terminator after it inside the header.
        if (at + 32 >= h->headerLength) {
            *reason = QStringLiteral("Ende der Feldbeschreibungen fehlt");
            return false;
        }
        ++fieldCount;
    }
    if (fieldCount == 0) {
        *reason = QStringLiteral("keine Felder");
        return false;
    }
    h->fields.clear();
    h->fields.reserve(size_t(fieldCount));
    int offset = 1;
    QSet<QString> names;
    for (int i = 0; i < fieldCount; ++i) {
        const int at = fixedLength + 32 * i;
        DbfFieldLayout f;
        int len = 0;
        while (len < 11 && bytes[at + len] != '\0') ++len;
        f.name = QString::fromLatin1(bytes.constData() + at, len).trimmed().toUpper();
        f.type = char(QChar::fromLatin1(bytes[at + 11]).toUpper().toLatin1());
        f.width = quint8(bytes[at + 16]);
        f.decimals = quint8(bytes[at + 17]);
        if (f.type == 'C' && f.decimals > 0) {
            // Clipper and FoxPro keep the high byte of long character widths in the decimals byte.
            f.width += f.decimals * 256;
            f.decimals = 0;
        }
        if (f.name.isEmpty()) {
            *reason = QStringLiteral("Feld %1 ohne Namen").arg(i + 1);
            return false;
        }
        if (f.width <= 0) {
            *reason = QStringLiteral("Feld %1 mit Breite 0").arg(f.name);
            return false;
        }
        if (f.type == 'D' && f.width != 8) {
            *reason = QStringLiteral("Datumsfeld %1 mit Breite %2").arg(f.name, QString::number(f.width));
            return false;
        }
        if ((f.type == 'N' || f.type == 'F') && (f.width > 20 || f.decimals >= f.width)) {
            *reason = QStringLiteral("Zahlenfeld %1 mit Breite %2,%3")
                          .arg(f.name, QString::number(f.width), QString::number(f.decimals));
            return false;
        }
        if (names.contains(f.name)) {
            *reason = QStringLiteral("Feldname %1 doppelt").arg(f.name);
            return false;
        }
        names.insert(f.name);
        f.offset = offset;
        f.logical = DbfFieldLayout::logicalTypeOf(f.type, f.width, f.decimals);
        offset += f.width;
        h->fields.push_back(std::move(f));
    }
    if (h->recordLength != offset) {
        *reason = QStringLiteral("Satzlänge %1 statt %2").arg(h->recordLength).arg(offset);
        return false;
    }
    const qint64 needed = qint64(h->headerLength) + h->recordCount * qint64(h->recordLength);
    if (fileSize < needed) {
        *reason = QStringLiteral("Datei zu kurz für %1 Datensätze").arg(h->recordCount);
        return false;
    }
    return true;
}

DbfHeader DbfHeader::fromDefinitions(const std::vector<FieldDef>& defs, const QString& fileName) {
    auto fail = [&](const QString& why) {
        throw StorageError(QStringLiteral("Die Tabelle \"%1\" kann nicht angelegt werden: %2.").arg(fileName, why));
    };
    if (defs.empty()) fail(QStringLiteral("keine Felder definiert"));
    if (defs.size() > 255) fail(QStringLiteral("mehr als 255 Felder"));
    DbfHeader h;
    int offset = 1;
    QSet<QString> names;
    for (const FieldDef& def : defs) {
        DbfFieldLayout f;
        f.name = def.name.trimmed().toUpper().left(10);
        if (f.name.isEmpty()) fail(QStringLiteral("ein Feld hat keinen Namen"));
        for (const QChar c : f.name)
            if (c.unicode() > 127 || c.unicode() <= 32)
                fail(QStringLiteral("ungültiger Feldname \"%1\"").arg(def.name));
        if (names.contains(f.name)) fail(QStringLiteral("Feldname \"%1\" doppelt").arg(f.name));
        names.insert(f.name);
        switch (def.type) {
            case FieldType::Date:
                f.type = 'D';
                f.width = 8;
                break;
            case FieldType::String:
                if (def.size < 1 || def.size > 255)
                    fail(
                        QStringLiteral("Textfeld \"%1\" mit Größe %2 (erlaubt 1 bis 255)").arg(def.name, QString::number(def.size)));
                f.type = 'C';
                f.width = def.size;
                break;
            case FieldType::Float:
                if (def.size != 0 && (def.size < 3 || def.size > 20))
                    fail(QStringLiteral("Zahlenfeld \"%1\" mit Größe %2").arg(def.name, QString::number(def.size)));
                f.type = 'N';
                f.width = def.size == 0 ? 18 : def.size;
                f.decimals = def.size == 0 ? 8 : std::min(8, def.size - 2);
                break;
            case FieldType::Integer:
                if (def.size < 0 || def.size > 9)
                    fail(QStringLiteral("Zahlenfeld \"%1\" mit Größe %2").arg(def.name, QString::number(def.size)));
                f.type = 'N';
                f.width = def.size == 0 ? 9 : def.size;
                f.decimals = 0;
                break;
        }
        f.offset = offset;
        f.logical = DbfFieldLayout::logicalTypeOf(f.type, f.width, f.decimals);
        offset += f.width;
        h.fields.push_back(f);
    }
    if (offset > 65535) fail(QStringLiteral("Datensatz länger als 65535 Bytes"));
    h.headerLength = fixedLength + 32 * int(defs.size()) + 1;
    h.recordLength = offset;
    h.lastUpdate = QDate::currentDate();
    return h;
}

QByteArray DbfHeader::dateAndCount(const QDate& date, qint64 count) {
    QByteArray b(7, '\0');
    const int year = date.year() - 1900;
    b[0] = char(std::clamp(year, 0, 255));
    b[1] = char(date.month());
    b[2] = char(date.day());
    for (int i = 0; i < 4; ++i) b[3 + i] = char((quint64(count) >> (8 * i)) & 0xff);
    return b;
}

QByteArray DbfHeader::bytes() const {
    QByteArray b(fixedLength, '\0');
    b[0] = char(version);
    b.replace(1, 7, dateAndCount(lastUpdate, recordCount));
    b[8] = char(headerLength & 0xff);
    b[9] = char((headerLength >> 8) & 0xff);
    b[10] = char(recordLength & 0xff);
    b[11] = char((recordLength >> 8) & 0xff);
    b[28] = char(mdxFlag ? 1 : 0);
    b[29] = char(languageDriver);
    for (const DbfFieldLayout& f : fields) {
        QByteArray d(32, '\0');
        const QByteArray name = f.name.toLatin1();
        for (int i = 0; i < name.size() && i < 10; ++i) d[i] = name[i];
        d[11] = f.type;
        d[16] = char(f.width);
        d[17] = char(f.decimals);
        b += d;
    }
    b += char(0x0D);
    return b;
}
