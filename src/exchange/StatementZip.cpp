// SPDX-License-Identifier: GPL-3.0-or-later
#include "exchange/StatementZip.h"

#include <quazip/quazip.h>
#include <quazip/quazipfile.h>
#include <quazip/quazipfileinfo.h>

#include <QBuffer>
#include <QFileInfo>

#include "exchange/Camt053Reader.h"

namespace StatementZip {

bool safeEntryName(const QString& name) {
    if (name.isEmpty() || name.startsWith(u'/') || name.contains(u'\\')) return false;
    if (name.size() >= 2 && name[1] == u':') return false;
    for (QChar c : name) {
        if (c.unicode() < 0x20) return false;
    }
    const QStringList parts = name.split(u'/');
    for (const QString& part : parts) {
        if (part == u"..") return false;
    }
    return true;
}

void read(const QString& zipFile, Statement& out, const Limits& limits) {
    const QString zipName = QFileInfo(zipFile).fileName();
    // Problems of the archive itself are filed under a file entry of its own; when one occurs, every
    // statement read from the archive counts as not read whole.
    const int archive = out.addFile(zipName);
    const int firstEntry = int(out.files.size());
    auto refuseAll = [&](const QString& where, const QString& why) {
        out.addProblem(archive, where, {}, why);
        for (int i = firstEntry; i < int(out.files.size()); ++i) out.files[size_t(i)].complete = false;
    };

    QuaZip zip(zipFile);
    if (!zip.open(QuaZip::mdUnzip)) {
        refuseAll({}, QStringLiteral("Die Datei ist kein lesbares ZIP-Archiv (Fehler %1).").arg(zip.getZipError()));
        return;
    }
    if (zip.getEntriesCount() > limits.maxEntries) {
        refuseAll({}, QStringLiteral("Das Archiv enthält %1 Einträge; mehr als %2 werden nicht gelesen.")
                          .arg(zip.getEntriesCount())
                          .arg(limits.maxEntries));
        return;
    }
    qint64 total = 0;
    for (bool more = zip.goToFirstFile(); more; more = zip.goToNextFile()) {
        QuaZipFileInfo64 info;
        if (!zip.getCurrentFileInfo(&info)) {
            refuseAll({}, QStringLiteral("Ein Eintrag des Archivs ist nicht lesbar."));
            return;
        }
        const QString where = QStringLiteral("Eintrag „%1“").arg(info.name);
        if (!safeEntryName(info.name)) {
            refuseAll(where, QStringLiteral("Der Name zeigt aus dem Archiv hinaus oder ist ein absoluter Pfad; das "
                                            "Archiv wird nicht gelesen."));
            return;
        }
        if (info.name.endsWith(u'/')) continue;                                          // a folder
        if (!info.name.endsWith(QStringLiteral(".xml"), Qt::CaseInsensitive)) continue;  // not a statement
        const auto size = qint64(info.uncompressedSize);
        const auto packed = std::max<qint64>(qint64(info.compressedSize), 1);
        if (size > limits.maxEntryBytes || total + size > limits.maxTotalBytes ||
            (size > limits.ratioFromBytes && size / packed > limits.maxRatio)) {
            refuseAll(where, QStringLiteral("Der Eintrag würde sich auf %1 MB entpacken (aus %2 KB); so stark "
                                            "gepackte Archive werden nicht gelesen.")
                                 .arg(size / (1024 * 1024))
                                 .arg(packed / 1024));
            return;
        }
        QuaZipFile entry(&zip);
        if (!entry.open(QIODevice::ReadOnly)) {
            refuseAll(where, QStringLiteral("Der Eintrag lässt sich nicht entpacken (verschlüsselt oder beschädigt)."));
            return;
        }
        // The stated size may lie: reading stops at it, and more bytes than stated refuse the archive.
        QByteArray bytes;
        bytes.reserve(qsizetype(std::min<qint64>(size, limits.maxEntryBytes)));
        char chunk[64 * 1024];
        bool tooLarge = false;
        for (;;) {
            const qint64 n = entry.read(chunk, sizeof chunk);
            if (n <= 0) break;
            if (bytes.size() + n > size || bytes.size() + n > limits.maxEntryBytes) {
                tooLarge = true;
                break;
            }
            bytes.append(chunk, qsizetype(n));
        }
        entry.close();
        if (tooLarge) {
            refuseAll(where, QStringLiteral("Der Eintrag ist größer, als das Archiv angibt; das Archiv wird nicht "
                                            "gelesen."));
            return;
        }
        if (entry.getZipError() != UNZ_OK || bytes.size() != size) {
            refuseAll(where, QStringLiteral("Der Eintrag ist beschädigt (Prüfsumme oder Länge stimmt nicht)."));
            return;
        }
        total += size;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        Camt053Reader::read(buffer, zipName + QStringLiteral(": ") + info.name, out);
    }
    if (zip.getZipError() != UNZ_OK) refuseAll({}, QStringLiteral("Das Archiv ist beschädigt."));
    if (int(out.files.size()) == firstEntry)
        out.addProblem(archive, {}, {}, QStringLiteral("Das Archiv enthält keinen Kontoauszug (keine .xml-Datei)."));
}

}  // namespace StatementZip
