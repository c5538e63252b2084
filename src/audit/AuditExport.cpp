// SPDX-License-Identifier: GPL-3.0-or-later
#include "audit/AuditExport.h"

#include <quazip/quazip.h>
#include <quazip/quazipfile.h>
#include <quazip/quazipnewinfo.h>

#include <QBuffer>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cerrno>
#include <memory>

#include "audit/AuditExportCsv.h"
#include "audit/AuditExportTables.h"
#include "audit/GdpduIndex.h"
#include "startup/AddressFile.h"
#include "startup/ClientNaming.h"
#include "storage/DbfTable.h"
#include "storage/FileIo.h"
#include "storage/SafeFile.h"
#include "storage/StorageError.h"

namespace AuditExport {

namespace {

constexpr int kRowsPerStep = 8192;
constexpr qsizetype kPieceBytes = 1 << 20;
constexpr qint64 kZipChunk = 4 << 20;

const QString kNothingLeft =
    QStringLiteral("Der Datenexport wurde nicht erstellt; es ist nichts Halbfertiges zurückgeblieben.");

// Where the files of the export go while they are written; only commit() makes them visible under the
// target's name. Destroyed without commit(), a target removes what it wrote.
class Target {
public:
    virtual ~Target() = default;
    virtual void begin(const QString& name) = 0;
    virtual void write(const QByteArray& bytes) = 0;
    virtual void end() = 0;
    // Returns false when the progress callback cancelled.
    virtual bool commit(const std::function<bool(qint64, qint64)>& step) = 0;
};

class FolderTarget : public Target {
public:
    explicit FolderTarget(const QString& target) : m_target(QDir::cleanPath(target)) {
        const QFileInfo info(m_target);
        if (info.exists() && (!info.isDir() || !QDir(m_target).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot |
                                                                       QDir::Hidden | QDir::System)))
            throw QuorvelError(QStringLiteral("Der Ordner „%1“ ist nicht leer. Bitte wählen Sie einen neuen oder "
                                              "leeren Ordner für den Datenexport.")
                                   .arg(QDir::toNativeSeparators(m_target)));
        const QString parent = info.absolutePath();
        if (!QFileInfo(parent).isDir())
            throw QuorvelError(
                QStringLiteral("Der Ordner „%1“ existiert nicht.").arg(QDir::toNativeSeparators(parent)));
        m_temp = std::make_unique<QTemporaryDir>(parent + QStringLiteral("/.") + info.fileName() +
                                                 QStringLiteral("-XXXXXX"));
        if (!m_temp->isValid())
            throw QuorvelError(QStringLiteral("Im Ordner „%1“ lässt sich nichts anlegen (%2).")
                                   .arg(QDir::toNativeSeparators(parent), m_temp->errorString()));
    }

    void begin(const QString& name) override {
        m_file = std::make_unique<SafeFile::Writer>(m_temp->filePath(name),
                                                    QStringLiteral("Die Datei %1 des Datenexports").arg(name));
    }
    void write(const QByteArray& bytes) override { m_file->write(bytes); }
    void end() override {
        m_file->commit();
        m_file.reset();
    }
    bool commit(const std::function<bool(qint64, qint64)>&) override {
        // QTemporaryDir makes the folder for its owner only; the export is a folder like any other.
        QFile::setPermissions(m_temp->path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                                                  QFileDevice::ReadGroup | QFileDevice::ExeGroup |
                                                  QFileDevice::ReadOther | QFileDevice::ExeOther);
        if (QFileInfo(m_target).isDir()) QDir().rmdir(m_target);  // empty, checked above
        const QByteArray from = QFile::encodeName(m_temp->path());
        const QByteArray to = QFile::encodeName(m_target);
        if (FileIo::current().rename(from.constData(), to.constData()) != 0)
            throw FileIoError(QStringLiteral("Der Ordner „%1“ ließ sich nicht anlegen: %2")
                                  .arg(QDir::toNativeSeparators(m_target), SafeFile::reason(errno)));
        m_temp->setAutoRemove(false);
        return true;
    }

private:
    QString m_target;
    std::unique_ptr<QTemporaryDir> m_temp;
    std::unique_ptr<SafeFile::Writer> m_file;
};

// The archive is built in memory (the CSV files pack to a fraction of their size) and written to the disk
// in one checked pass through SafeFile.
class ZipTarget : public Target {
public:
    explicit ZipTarget(const QString& target) : m_target(target), m_zip(&m_buffer) {
        if (!QFileInfo(QFileInfo(target).absolutePath()).isDir())
            throw QuorvelError(QStringLiteral("Der Ordner „%1“ existiert nicht.")
                                   .arg(QDir::toNativeSeparators(QFileInfo(target).absolutePath())));
        if (!m_zip.open(QuaZip::mdCreate)) fail();
    }
    ~ZipTarget() override {
        m_file.reset();
        if (m_zip.isOpen()) m_zip.close();
    }

    void begin(const QString& name) override {
        m_file = std::make_unique<QuaZipFile>(&m_zip);
        QuaZipNewInfo info(name);
        info.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                            QFileDevice::ReadOther);
        if (!m_file->open(QIODevice::WriteOnly, info, nullptr, 0, Z_DEFLATED, 1)) fail();
    }
    void write(const QByteArray& bytes) override {
        if (m_file->write(bytes) != bytes.size()) fail();
    }
    void end() override {
        m_file->close();
        if (m_file->getZipError() != ZIP_OK) fail();
        m_file.reset();
    }
    bool commit(const std::function<bool(qint64, qint64)>& step) override {
        m_zip.close();
        if (m_zip.getZipError() != ZIP_OK) fail();
        const QByteArray& bytes = m_buffer.data();
        SafeFile::Writer file(m_target, QStringLiteral("Die ZIP-Datei des Datenexports"));
        for (qint64 at = 0; at < bytes.size(); at += kZipChunk) {
            const qint64 length = std::min<qint64>(kZipChunk, bytes.size() - at);
            file.write(bytes.constData() + at, length);
            if (step && !step(at + length, bytes.size())) return false;
        }
        file.commit();
        return true;
    }

private:
    [[noreturn]] void fail() {
        throw QuorvelError(QStringLiteral("Die ZIP-Datei ließ sich nicht zusammenstellen (Fehler %1 der "
                                          "ZIP-Bibliothek).")
                               .arg(m_zip.getZipError()));
    }

    QString m_target;
    QBuffer m_buffer;
    QuaZip m_zip;
    std::unique_ptr<QuaZipFile> m_file;
};

struct OpenTable {
    const AuditExportTables::Known* known;
    std::unique_ptr<DbfTable> table;
};

std::vector<OpenTable> openTables(const Request& request, QStringList& notes) {
    std::vector<OpenTable> tables;
    for (const AuditExportTables::Known& known : AuditExportTables::all()) {
        const QString fileName = ClientNaming::tableFileName(known.baseName, request.mandant, request.year);
        if (!QFileInfo::exists(QDir(request.dataFolder).filePath(fileName))) {
            if (known.mayBeAbsent) continue;
            if (known.required)
                throw QuorvelError(QStringLiteral("Die Tabelle %1 (%2) fehlt im Datenordner „%3“; ohne sie gibt es "
                                                  "keinen Datenexport.")
                                       .arg(known.name, fileName, QDir::toNativeSeparators(request.dataFolder)));
            notes
                << QStringLiteral("Die Tabelle %1 (%2) gibt es nicht; sie fehlt im Export.").arg(known.name, fileName);
            continue;
        }
        auto table = std::make_unique<DbfTable>();
        table->setFilePath(request.dataFolder);
        table->setTableName(fileName);
        table->setReadOnlyMode(true, QStringLiteral("Der Datenexport liest die Tabellen nur."));
        try {
            table->Open();
        } catch (const StorageError& e) {
            if (known.required) throw;
            notes << QStringLiteral("Die Datei %1 (%2) ließ sich nicht als dBase-Tabelle lesen und fehlt im Export: %3")
                         .arg(fileName, known.name, e.message());
            continue;
        }
        tables.push_back({&known, std::move(table)});
    }
    return tables;
}

void describeSupplier(const Request& request, GdpduIndex::DataSet& data, const QStringList& notes) {
    QStringList lines;
    if (const auto address =
            AddressFile::load(QDir(request.dataFolder).filePath(ClientNaming::addressFileName(request.mandant))))
        lines = *address;
    lines.removeAll(QString());
    data.supplierName = lines.isEmpty() ? QStringLiteral("Mandant %1").arg(request.mandant) : lines.takeFirst();
    data.supplierLocation = lines.join(QStringLiteral(", "));
    QStringList comment{
        QStringLiteral("Datenexport für die Betriebsprüfung, Mandant %1, Buchungsjahr %2, erstellt am %3.")
            .arg(QString::number(request.mandant), QString::number(request.year),
                 QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy")))};
    comment += notes;
    data.supplierComment = comment.join(QLatin1Char(' '));
}

Result runInto(Target& target, const Request& request, const Progress& progress) {
    Result result;
    std::vector<OpenTable> tables = openTables(request, result.notes);
    qint64 total = 0;
    for (const OpenTable& t : tables) total += t.table->RecordCount();
    const qint64 packing = request.zip ? std::max<qint64>(1, total / 8) : 0;  // the last step of a ZIP
    total += packing;
    qint64 done = 0;

    GdpduIndex::DataSet data;
    data.mediaName = QStringLiteral("Datenexport Mandant %1, Buchungsjahr %2").arg(request.mandant).arg(request.year);
    QStringList skippedTables = result.notes;
    for (const OpenTable& t : tables) {
        DbfTable& table = *t.table;
        AuditExportCsv csv(table, *t.known);
        target.begin(t.known->csvName);
        QByteArray piece;
        piece.reserve(kPieceBytes + 4096);
        csv.appendHeading(piece);
        const int rows = table.RecordCount();
        for (int row = 0; row < rows; ++row) {
            table.setRecNo(row);
            csv.appendRecord(piece, table.physicalRecNo() + 1, table.rowBytes(row));
            if (piece.size() >= kPieceBytes) {
                target.write(piece);
                piece.clear();
            }
            if ((row + 1) % kRowsPerStep == 0 && progress && !progress(done + row + 1, total)) {
                result.cancelled = true;
                return result;
            }
        }
        target.write(piece);
        target.end();
        done += rows;

        GdpduIndex::Table described;
        described.url = t.known->csvName;
        described.name = t.known->name;
        described.description = t.known->description;
        described.validFrom = QDate(request.year, 1, 1);
        described.validTo = QDate(request.year, 12, 31);
        described.columns = csv.columns();
        described.primaryKeys = 1;
        data.tables.push_back(std::move(described));
        result.tables.push_back({t.known->name, t.known->csvName, rows});
        result.notes += csv.problems();
        if (csv.problemCount() > csv.problems().size())
            result.notes << QStringLiteral("%1: %2 weitere Werte konnten nicht wie gespeichert ausgegeben werden.")
                                .arg(t.known->name)
                                .arg(csv.problemCount() - csv.problems().size());
    }
    if (progress && !progress(done, total)) {
        result.cancelled = true;
        return result;
    }
    describeSupplier(request, data, skippedTables);
    target.begin(GdpduIndex::indexFileName);
    target.write(GdpduIndex::toXml(data));
    target.end();
    target.begin(GdpduIndex::dtdFileName);
    target.write(GdpduIndex::dtd());
    target.end();
    const bool complete = target.commit(
        [&](qint64 at, qint64 all) { return !progress || progress(done + (all > 0 ? packing * at / all : 0), total); });
    if (!complete) {
        result.cancelled = true;
        return result;
    }
    if (progress) progress(total, total);
    return result;
}

}  // namespace

Result run(const Request& request, const Progress& progress) {
    if (request.target.isEmpty()) throw QuorvelError(QStringLiteral("Es ist kein Ziel für den Datenexport gewählt."));
    try {
        std::unique_ptr<Target> target;
        if (request.zip)
            target = std::make_unique<ZipTarget>(request.target);
        else
            target = std::make_unique<FolderTarget>(request.target);
        return runInto(*target, request, progress);
    } catch (const FileIoError& e) {
        throw QuorvelError(kNothingLeft + QStringLiteral("\n\n") + e.message());
    }
}

QString proposedName(int mandant, int year) {
    return QStringLiteral("Betriebspruefung_Mandant%1_%2").arg(mandant).arg(year);
}

}  // namespace AuditExport
