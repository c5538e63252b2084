// SPDX-License-Identifier: GPL-3.0-or-later
#include "audit/ChangeLog.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <array>
#include <optional>

#include "audit/TableImage.h"
#include "startup/ClientNaming.h"
#include "storage/CodePage.h"
#include "storage/DbfHeader.h"
#include "storage/DbfTable.h"
#include "storage/StorageError.h"

namespace audit {

namespace {

constexpr char endMark = 0x1A;

QString programVersion() {
    const QString v = QCoreApplication::applicationVersion();
    return v.isEmpty() ? QStringLiteral(QUORVEL_VERSION) : v;
}

QString actionOf(LogEntry::Kind kind) {
    switch (kind) {
        case LogEntry::Kind::Insert:
            return QStringLiteral("Erfassung");
        case LogEntry::Kind::Edit:
            return QStringLiteral("Änderung");
        case LogEntry::Kind::Delete:
            return QStringLiteral("Löschung");
        case LogEntry::Kind::Start:
            return QStringLiteral("Protokollbeginn");
        case LogEntry::Kind::Note:
            break;
    }
    return QStringLiteral("Hinweis");
}

// True while the bookings table shows the state before `e`: its change never reached the table.
bool notInTable(const LogEntry& e, const TableImage& bookings) {
    const int record = e.record();
    switch (e.kind) {
        case LogEntry::Kind::Insert:
            return record >= bookings.recordCount();
        case LogEntry::Kind::Edit:
        case LogEntry::Kind::Delete:
            return record >= 0 && record < bookings.recordCount() && e.before != e.after &&
                   LogFormat::trimmed(bookings.record(record), bookings.recordLength()) == e.before;
        default:
            return false;
    }
}

}  // namespace

ChangeLog::ChangeLog(const QString& folder, int mandant, int year)
    : m_fileName(fileNameFor(folder, mandant, year)), m_lastHash(LogFormat::zeroHash()), m_version(programVersion()) {}

ChangeLog::~ChangeLog() {
    detach();
}

QString ChangeLog::fileNameFor(const QString& folder, int mandant, int year) {
    return QDir::cleanPath(QDir(folder).filePath(ClientNaming::tableFileName(LogFormat::baseName, mandant, year)));
}

QString ChangeLog::attach(DbfTable& bookings) {
    detach();
    m_table = &bookings;
    bookings.addWitness(this);
    m_problem.clear();
    if (!bookings.Active() || bookings.isReadOnly()) return QString();
    try {
        if (bookings.recordLength() - 1 > LogFormat::valueWidth)
            throw StorageError(QStringLiteral("Die Datensätze der Buchungstabelle sind länger als %1 Zeichen.")
                                   .arg(LogFormat::valueWidth));
        openOrCreate(bookings);
    } catch (const QuorvelError& e) {
        m_file.close();
        m_problem = QStringLiteral("Das Änderungsprotokoll \"%1\" kann nicht geführt werden: %2 Änderungen der "
                                   "Buchungen sind deshalb gesperrt.")
                        .arg(m_fileName, e.message());
    }
    return m_problem;
}

void ChangeLog::detach() {
    if (m_table) m_table->removeWitness(this);
    m_table = nullptr;
    m_file.close();
    m_undo = {};
}

qint64 ChangeLog::endOf(qint64 count) const {
    return m_headerLength + count * LogFormat::recordLength();
}

void ChangeLog::openOrCreate(DbfTable& bookings) {
    if (!QFileInfo::exists(m_fileName)) {
        DbfTable created;
        const QFileInfo info(m_fileName);
        created.setFilePath(info.absolutePath());
        created.setTableName(info.fileName());
        created.setFieldDefs(LogFormat::schema());
        created.CreateTable();  // atomic: a killed creation leaves no half file
    }
    QString why;
    if (m_file.open(m_fileName, &why) != TableFile::OpenResult::Ok)
        throw StorageError(QStringLiteral("Die Datei kann nicht geöffnet werden (%1).").arg(why));
    if (m_file.isReadOnly()) throw StorageError(QStringLiteral("Die Datei ist schreibgeschützt."));
    recover(bookings.absoluteFileName());
    if (m_count > 0) return;
    // A new log: its first entry fixes the bookings as found.
    const TableImage table(bookings.absoluteFileName());
    QCryptographicHash sha(QCryptographicHash::Sha256);
    sha.addData(QByteArrayView(table.record(0), qsizetype(table.recordCount()) * table.recordLength()));
    std::vector<LogEntry> start{stamped(LogEntry::Kind::Start, actionOf(LogEntry::Kind::Start))};
    start[0].satz = table.recordCount();
    start[0].after = sha.result().toHex();
    append(start);
}

void ChangeLog::recover(const QString& bookingsFile) {
    m_recovered = 0;
    qint64 count = 0;
    qint64 keep = 0;
    bool tidyEnd = false;
    {
        const TableImage log(m_fileName);
        if (!LogFormat::hasLayout(log.header()))
            throw StorageError(QStringLiteral("Die Datei hat nicht den Aufbau eines Änderungsprotokolls."));
        m_headerLength = log.header().headerLength;
        count = log.recordCount();
        keep = count;
        if (count > 0) {
            const TableImage bookings(bookingsFile);
            while (keep > 1 && notInTable(LogFormat::decode(log.record(int(keep - 1))), bookings)) --keep;
            m_lastHash = LogFormat::decode(log.record(int(keep - 1))).hash;
        }
        const qint64 size = QFileInfo(m_fileName).size();
        tidyEnd = size != endOf(keep) + 1 || log.record(int(keep))[0] != endMark;
    }
    m_count = count;
    if (keep < count || tidyEnd) cutBack(keep);
    m_count = keep;
    m_recovered = int(count - keep);
}

LogEntry ChangeLog::stamped(LogEntry::Kind kind, const QString& action) const {
    LogEntry e;
    const QDateTime utc = QDateTime::currentDateTimeUtc();
    if (utc.toMSecsSinceEpoch() != m_stampMs) {
        const QDateTime local = utc.toLocalTime();
        m_stampMs = utc.toMSecsSinceEpoch();
        m_stampUtc = utc.toString(Qt::ISODateWithMs);
        m_stampLocal = local.toOffsetFromUtc(local.offsetFromUtc()).toString(Qt::ISODateWithMs);
    }
    e.utc = m_stampUtc;
    e.local = m_stampLocal;
    e.kind = kind;
    e.action = action;
    e.version = m_version;
    return e;
}

void ChangeLog::append(std::vector<LogEntry>& entries) {
    const qsizetype length = LogFormat::recordLength();
    QByteArray out(qsizetype(entries.size()) * length + 1, Qt::Uninitialized);
    QByteArrayView hash = m_lastHash;
    qint64 number = m_count;
    char* at = out.data();
    for (LogEntry& e : entries) {
        e.number = ++number;
        LogFormat::encodeInto(e, hash, at);
        hash = e.hash;
        at += length;
    }
    write(out, number);
}

// `out`: the entries after the last one (their last byte left for the end mark), then the count: the
// count makes them part of the log.
void ChangeLog::write(QByteArray& out, qint64 count) {
    out.back() = endMark;
    const QByteArray lastHash =
        count > m_count ? out.sliced(out.size() - 1 - LogFormat::hashWidth, LogFormat::hashWidth) : m_lastHash;
    try {
        m_file.writeAt(endOf(m_count), out);
        m_file.writeAt(1, DbfHeader::dateAndCount(QDate::currentDate(), count));
        m_file.checkInPlace();
    } catch (const FileIoError& e) {
        try {
            cutBack(m_count);
        } catch (const FileIoError&) {
        }
        throw FileIoError(QStringLiteral("Das Änderungsprotokoll \"%1\" konnte nicht geschrieben werden: %2 "
                                         "Die Änderung der Buchungen wurde deshalb nicht ausgeführt; eine neue oder "
                                         "geänderte Buchung steht weiter zur Korrektur bereit.")
                              .arg(m_fileName, e.message()));
    }
    m_undo = {true, m_count, m_lastHash};
    m_count = count;
    m_lastHash = lastHash;
}

// Makes the first `count` entries the whole log: the count first, so that a crash in between leaves a
// log that counts only whole entries; then the end mark and the length.
void ChangeLog::cutBack(qint64 count) {
    if (count < m_count) m_file.writeAt(1, DbfHeader::dateAndCount(QDate::currentDate(), count));
    const char mark = endMark;
    m_file.writeAt(endOf(count), &mark, 1);
    m_file.truncate(endOf(count) + 1);
}

void ChangeLog::checkUsable() const {
    if (!m_problem.isEmpty()) throw StorageError(m_problem);
    if (!m_file.isOpen())
        throw StorageError(QStringLiteral("Das Änderungsprotokoll \"%1\" ist nicht geöffnet; die Änderung wurde nicht "
                                          "ausgeführt.")
                               .arg(m_fileName));
}

void ChangeLog::check(const DbfTable& table, const std::vector<TableChange>& changes) {
    (void)table;
    (void)changes;
    checkUsable();
}

// The entries of one write go to the log straight from the changes, with one time stamp: they reach the
// file together.
void ChangeLog::writing(const DbfTable& table, const std::vector<TableChange>& changes) {
    (void)table;
    checkUsable();
    const LogEntry stamp = stamped(LogEntry::Kind::Note, QString());
    const QByteArray utc = stamp.utc.toLatin1();
    const QByteArray local = stamp.local.toLatin1();
    const QByteArray version = stamp.version.toLatin1();
    // By TableChange::Kind: Insert, Edit, Delete.
    static constexpr std::array<LogEntry::Kind, 3> kinds{LogEntry::Kind::Insert, LogEntry::Kind::Edit,
                                                         LogEntry::Kind::Delete};
    static const CodePage page = CodePage::forLanguageDriver(CodePage::defaultLanguageDriver);
    static const std::array<QByteArray, 3> actions{page.encode(actionOf(kinds[0])), page.encode(actionOf(kinds[1])),
                                                   page.encode(actionOf(kinds[2]))};
    const qsizetype length = LogFormat::recordLength();
    QByteArray out(qsizetype(changes.size()) * length + 1, Qt::Uninitialized);
    QByteArrayView hash = m_lastHash;
    qint64 number = m_count;
    char* at = out.data();
    for (const TableChange& c : changes) {
        const size_t k = size_t(c.kind);
        LogFormat::encodeInto(LogFormat::EntryBytes{++number, kinds[k], utc, local, actions[k], c.physical + 1,
                                                    c.before, c.after, version},
                              hash, at);
        hash = QByteArrayView(at + LogFormat::fieldOffset(LogFormat::Hash), LogFormat::hashWidth);
        at += length;
    }
    write(out, number);
}

void ChangeLog::undone(const DbfTable& table, const std::vector<TableChange>& changes) {
    (void)table;
    (void)changes;
    if (!m_undo.valid) return;
    const Undo undo = m_undo;
    m_undo = {};
    cutBack(undo.count);
    m_count = undo.count;
    m_lastHash = undo.hash;
}

void ChangeLog::note(const LogNote& note) {
    checkUsable();
    static const CodePage page = CodePage::forLanguageDriver(CodePage::defaultLanguageDriver);
    const QByteArray action = page.encode(note.action);
    const QByteArray text = page.encode(note.text);
    if (!page.canEncode(note.action) || !page.canEncode(note.text) || action.size() > LogFormat::actionWidth ||
        text.size() > LogFormat::valueWidth)
        throw QuorvelError(QStringLiteral("Der Hinweis „%1“ passt nicht in das Änderungsprotokoll (höchstens %2 "
                                          "Zeichen für die Aktion und %3 für den Text, nur Zeichen der westeuropäischen "
                                          "Codepage); die Aktion wurde nicht ausgeführt.")
                               .arg(note.action)
                               .arg(LogFormat::actionWidth)
                               .arg(LogFormat::valueWidth));
    std::vector<LogEntry> entries{stamped(LogEntry::Kind::Note, note.action)};
    entries[0].satz = note.record >= 0 ? note.record + 1 : 0;
    entries[0].after = LogFormat::trimmed(text);
    append(entries);
}

}  // namespace audit
