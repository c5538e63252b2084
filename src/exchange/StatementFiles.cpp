// SPDX-License-Identifier: GPL-3.0-or-later
#include "exchange/StatementFiles.h"

#include <QFile>
#include <QFileInfo>

#include "exchange/Camt053Reader.h"
#include "exchange/StatementZip.h"

namespace StatementFiles {

Kind kindOf(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) return Kind::Camt;  // reading it will name the failure
    const QByteArray head = file.read(512);
    if (head.startsWith("PK\x03\x04") || head.startsWith("PK\x05\x06")) return Kind::Zip;
    QByteArray start = head.startsWith("\xEF\xBB\xBF") ? head.mid(3) : head;
    start = start.trimmed();
    return start.startsWith('<') ? Kind::Camt : Kind::Csv;
}

void readCamtOrZip(const QString& fileName, Statement& out) {
    if (kindOf(fileName) == Kind::Zip) {
        StatementZip::read(fileName, out);
        return;
    }
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        const int index = out.addFile(QFileInfo(fileName).fileName());
        out.addProblem(index, {}, {}, QStringLiteral("Die Datei lässt sich nicht öffnen: %1").arg(file.errorString()));
        return;
    }
    Camt053Reader::read(file, QFileInfo(fileName).fileName(), out);
}

}  // namespace StatementFiles
