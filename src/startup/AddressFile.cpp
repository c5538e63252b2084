// SPDX-License-Identifier: GPL-3.0-or-later
#include "startup/AddressFile.h"

#include <QDir>
#include <QFile>

#include "storage/CodePage.h"
#include "storage/SafeFile.h"
#include "storage/StorageError.h"

std::optional<QStringList> AddressFile::load(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) return std::nullopt;

    QString text;
    static const QByteArray utf8Bom("\xEF\xBB\xBF");
    if (bytes.startsWith(utf8Bom))
        text = QString::fromUtf8(bytes.mid(utf8Bom.size()));
    else
        text = CodePage(1252).decode(bytes.constData(), int(bytes.size()));

    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    if (text.isEmpty()) return QStringList();
    QStringList lines = text.split(QLatin1Char('\n'));
    // The break after the last line ends that line; it does not start another one.
    if (text.endsWith(QLatin1Char('\n'))) lines.removeLast();
    return lines;
}

void AddressFile::save(const QString& fileName, const QStringList& lines) {
    const CodePage codePage(1252);
    QByteArray bytes;
    bool representable = true;
    for (const QString& line : lines) {
        bytes += codePage.encode(line);
        bytes += "\r\n";
        representable = representable && codePage.canEncode(line);
    }
    // An address the code page cannot hold would lose characters to '?'; it is kept whole as UTF-8 with
    // a byte order mark instead, which loading recognises.
    if (!representable)
        bytes = "\xEF\xBB\xBF" + lines.join(QStringLiteral("\r\n")).toUtf8() + (lines.isEmpty() ? "" : "\r\n");

    SafeFile::replace(fileName, bytes, QStringLiteral("Die Firmenanschrift"));
}
