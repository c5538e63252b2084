// SPDX-License-Identifier: GPL-3.0-or-later
// The change log over real files: the chain a year's postings, edits, deletions and notes leave; what the
// checker finds after another tool changed either file; a full disk refusing the change.
#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <functional>

#include "AuditTestUtil.h"
#include "audit/LogCheck.h"
#include "audit/LogReader.h"
#include "startup/BookingSchema.h"
#include "storage/StorageError.h"
#include "support/FailingFileIo.h"
#include "support/TestSupport.h"

using namespace audittest;
using audit::LogEntry;
using testsupport::readFile;
using testsupport::TempFolder;
using testsupport::writeFile;

namespace {

QByteArray stored(DbfTable& table, int physical) {
    moveTo(table, physical);
    return audit::LogFormat::trimmed(QByteArray(table.recordBytes(), table.recordLength()));
}

}  // namespace

// Every change leaves one entry with the record's bytes before and after, in one chain from the start
// entry over the bookings as found; the file has the layout other programs read.
TEST(ChangeLog, ChainOverPostEditDeleteAndNote) {
    TempFolder folder;
    Year year(folder.path(), 2);
    const QByteArray legacy = readFile(year.bookingsFile());
    const int h = headerLength(legacy), len = recordLength(legacy);

    struct Step {
        std::function<void()> run;
        LogEntry::Kind kind;
        int record;
    };
    QByteArray lastBytes;
    const std::vector<Step> steps{
        {[&] { post(year.table, QStringLiteral("Büromaterial"), 119.5); }, LogEntry::Kind::Insert, 2},
        {[&] { edit(year.table, 0, QStringLiteral("Porto geändert")); }, LogEntry::Kind::Edit, 0},
        {[&] { remove(year.table, 1); }, LogEntry::Kind::Delete, 1},
        {[&] { year.log->note({QStringLiteral("Storno"), 2, QStringLiteral("Buchung 3 storniert, Grund: Irrtum")}); },
         LogEntry::Kind::Note, 2},
        {[&] { post(year.table, QStringLiteral("Miete Büro"), 800); }, LogEntry::Kind::Insert, 3},
    };
    std::vector<QByteArray> befores, afters;
    for (const Step& s : steps) {
        const QByteArray file = readFile(year.bookingsFile());
        const bool existing = s.kind == LogEntry::Kind::Edit || s.kind == LogEntry::Kind::Delete;
        befores.push_back(existing ? audit::LogFormat::trimmed(file.mid(h + s.record * len, len)) : QByteArray());
        s.run();
        const QByteArray now = readFile(year.bookingsFile());
        afters.push_back(s.kind == LogEntry::Kind::Note ? QByteArray()
                                                         : audit::LogFormat::trimmed(now.mid(h + s.record * len, len)));
    }
    year.close();
    year.open();  // the chain goes on after reopening
    post(year.table, QStringLiteral("Nach dem Öffnen"), 1);

    audit::LogReader reader(year.logFile(), year.bookingsFile());
    ASSERT_EQ(reader.count(), 1 + qint64(steps.size()) + 1);
    const LogEntry start = reader.entry(0);
    EXPECT_EQ(start.kind, LogEntry::Kind::Start);
    EXPECT_EQ(start.satz, 2);
    EXPECT_EQ(start.after, QCryptographicHash::hash(legacy.mid(h, 2 * len), QCryptographicHash::Sha256).toHex());
    QByteArray previous = audit::LogFormat::zeroHash();
    for (qint64 i = 0; i < reader.count(); ++i) {
        const LogEntry e = reader.entry(i);
        EXPECT_EQ(e.number, i + 1);
        EXPECT_EQ(e.version, QStringLiteral("1.0"));
        EXPECT_TRUE(e.utc.endsWith(QLatin1Char('Z'))) << e.utc.toStdString();
        EXPECT_EQ(e.local.left(4), QStringLiteral("2026").left(2) + e.local.mid(2, 2));
        // The hash covers the previous hash and every field, trailing blanks dropped, each ended by 0x1F.
        QByteArray input = previous;
        const QByteArray raw = readFile(year.logFile()).mid(headerLength(readFile(year.logFile())) +
                                                            int(i) * audit::LogFormat::recordLength());
        for (int f = 0; f < audit::LogFormat::Hash; ++f)
            input += audit::LogFormat::trimmed(raw.mid(audit::LogFormat::fieldOffset(f), audit::LogFormat::fieldWidth(f))) + '\x1F';
        EXPECT_EQ(e.hash, QCryptographicHash::hash(input, QCryptographicHash::Sha256).toHex()) << "entry " << i + 1;
        previous = e.hash;
        if (i == 0 || i > qint64(steps.size())) continue;
        const Step& s = steps[size_t(i - 1)];
        EXPECT_EQ(e.kind, s.kind) << "entry " << i + 1;
        EXPECT_EQ(e.record(), s.record) << "entry " << i + 1;
        if (s.kind == LogEntry::Kind::Note) {
            EXPECT_EQ(e.action, QStringLiteral("Storno"));
            EXPECT_EQ(e.noteText(), QStringLiteral("Buchung 3 storniert, Grund: Irrtum"));
            continue;
        }
        EXPECT_EQ(e.before, befores[size_t(i - 1)]) << "entry " << i + 1;
        EXPECT_EQ(e.after, afters[size_t(i - 1)]) << "entry " << i + 1;
    }
    EXPECT_EQ(reader.entry(2).action, QStringLiteral("Änderung"));
    EXPECT_EQ(reader.entry(3).after.left(1), QByteArray("*"));
    EXPECT_TRUE(reader.describe(reader.entry(1).after).contains(QStringLiteral("Text Büromaterial, Brutto 119,50")))
        << reader.describe(reader.entry(1).after).toStdString();
    EXPECT_EQ(reader.select(0, {}, {}), (std::vector<int>{2}));
    EXPECT_EQ(reader.select(2, {}, {}), (std::vector<int>{1, 4}));
    EXPECT_TRUE(reader.select(-1, QDate::currentDate().addDays(1), {}).empty());
    EXPECT_EQ(reader.select(-1, QDate::currentDate(), QDate::currentDate()).size(), size_t(reader.count()));

    const audit::LogCheckResult check = audit::LogCheck::run(year.logFile(), year.bookingsFile());
    EXPECT_TRUE(check.ok()) << check.summary().toStdString();

    // The stored layout, field by field, as another program reads it.
    const QByteArray log = readFile(year.logFile());
    const char* names[] = {"LFDNR", "UTC", "ORTSZEIT", "ART", "AKTION", "SATZ", "VORHER", "NACHHER", "VERSION", "HASH"};
    const char types[] = {'N', 'C', 'C', 'C', 'C', 'N', 'C', 'C', 'C', 'C'};
    const int widths[] = {9, 24, 29, 1, 20, 9, 254, 254, 16, 64};
    for (int f = 0; f < 10; ++f) {
        EXPECT_EQ(log.mid(32 + 32 * f, 11).replace('\0', ""), QByteArray(names[f]));
        EXPECT_EQ(log[32 + 32 * f + 11], types[f]);
        EXPECT_EQ(quint8(log[32 + 32 * f + 16]), widths[f]);
    }
    EXPECT_EQ(recordLength(log), 681);
    EXPECT_EQ(log.size(), headerLength(log) + 7 * 681 + 1);
}

// Another tool changed a file: the checker names the record and the first broken entry.
TEST(ChangeLog, CheckReportsChangesMadeOutside) {
    struct Case {
        const char* name;
        std::function<void(QByteArray& bookings, QByteArray& log)> tamper;
        qint64 entry;  // of the first finding
        int record;
        const char* says;
        bool thenEditInProgram = false;  // record 2 edited through the program after the tampering
    };
    // Entries: 1 start (2 bookings found), 2 new record 2, 3 edit record 0, 4 new record 3, 5 edit record 2.
    const int L = audit::LogFormat::recordLength();
    auto entryAt = [L](QByteArray& log, int number) { return headerLength(log) + (number - 1) * L; };
    auto recordAt = [](QByteArray& dbf, int physical) { return headerLength(dbf) + physical * recordLength(dbf); };
    const int textAt = 1 + 8 + 1 + 20;  // Datum, Art, Beleg before Text
    const std::vector<Case> cases{
        {"nothing", [](QByteArray&, QByteArray&) {}, -1, -1, ""},
        {"value changed in the table",
         [&](QByteArray& b, QByteArray&) { b[recordAt(b, 2) + textAt] = 'X'; }, 5, 2, "Datensatz 3 stimmt nicht mit Eintrag 5"},
        {"record found at the start changed",
         [&](QByteArray& b, QByteArray&) { b[recordAt(b, 1) + textAt] = 'X'; }, 1, -1, "bei Protokollbeginn"},
        {"record appended outside",
         [&](QByteArray& b, QByteArray&) {
             const qint64 n = recordCount(b);
             b.insert(recordAt(b, int(n)), b.mid(recordAt(b, 0), recordLength(b)));
             setRecordCount(b, n + 1);
         },
         0, 4, "Datensatz 5 wurde außerhalb des Programms angefügt"},
        {"entry deleted",
         [&](QByteArray&, QByteArray& l) {
             l.remove(entryAt(l, 3), L);
             setRecordCount(l, recordCount(l) - 1);
         },
         3, -1, "Eintrag 3 des Protokolls fehlt"},
        {"entry changed",
         [&](QByteArray&, QByteArray& l) {
             l[entryAt(l, 4) + audit::LogFormat::fieldOffset(audit::LogFormat::Nachher) + textAt] = 'X';
         },
         4, -1, "Eintrag 4 des Protokolls wurde verändert"},
        {"edited outside, then in the program",
         [&](QByteArray& b, QByteArray&) { b[recordAt(b, 2) + textAt] = 'X'; }, 6, 2,
         "Datensatz 3 wurde vor Eintrag 6 außerhalb des Programms geändert", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder folder;
        {
            Year year(folder.path(), 2);
            post(year.table, QStringLiteral("Neu"), 5);
            edit(year.table, 0, QStringLiteral("Geändert"));
            post(year.table, QStringLiteral("Noch eine"), 6);
            edit(year.table, 2, QStringLiteral("Neu geändert"));
        }
        const QString bookingsFile = folder.file(QStringLiteral("records_1_2026.dbf"));
        const QString logFile = folder.file(QStringLiteral("protokoll_1_2026.dbf"));
        QByteArray b = readFile(bookingsFile), l = readFile(logFile);
        c.tamper(b, l);
        writeFile(bookingsFile, b);
        writeFile(logFile, l);
        if (c.thenEditInProgram) {
            Year year(folder.path());
            EXPECT_EQ(year.log->recoveredEntries(), 0);
            edit(year.table, 2, QStringLiteral("Im Programm"));
        }
        const audit::LogCheckResult r = audit::LogCheck::run(logFile, bookingsFile);
        if (c.entry < 0) {
            EXPECT_TRUE(r.ok()) << r.summary().toStdString();
            continue;
        }
        ASSERT_FALSE(r.findings.empty());
        EXPECT_EQ(r.findings[0].entry, c.entry) << r.summary().toStdString();
        EXPECT_EQ(r.findings[0].record, c.record) << r.summary().toStdString();
        EXPECT_TRUE(r.findings[0].text.contains(QString::fromUtf8(c.says))) << r.summary().toStdString();
    }
}

// A full disk: when the log cannot take the entry the change is refused with a German message and the
// booking stays pending; when the log took it but the table could not, the entry is withdrawn. Both
// files stay in step, and the booking posts once there is room again.
TEST(ChangeLog, FullDiskRefusesTheChange) {
    struct Case {
        qint64 room;
        const char* says;
    };
    const std::vector<Case> cases{{0, "Das Änderungsprotokoll"}, {300, "Das Änderungsprotokoll"}, {700, ""}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.room);
        TempFolder folder;
        Year year(folder.path(), 1);
        const QByteArray logBefore = readFile(year.logFile());
        year.table.Insert();
        fill(year.table, QStringLiteral("Wichtige Buchung"), 42);
        try {
            testsupport::FailingFileIo disk(testsupport::IoFaults{.room = c.room});
            year.table.Post();
            ADD_FAILURE() << "posted on a full disk";
        } catch (const FileIoError& e) {
            EXPECT_TRUE(e.message().contains(QString::fromUtf8(c.says))) << e.message().toStdString();
            if (*c.says) EXPECT_TRUE(e.message().contains(QStringLiteral("nicht ausgeführt"))) << e.message().toStdString();
        }
        EXPECT_EQ(year.table.state(), DbfTable::State::Insert);
        EXPECT_EQ(year.table.Fields(Booking::Text).AsString(), QStringLiteral("Wichtige Buchung"));
        EXPECT_EQ(readFile(year.logFile()), logBefore);
        EXPECT_EQ(year.log->entryCount(), 1);
        year.table.Post();
        EXPECT_EQ(year.log->entryCount(), 2);
        const audit::LogCheckResult r = audit::LogCheck::run(year.logFile(), year.bookingsFile());
        EXPECT_TRUE(r.ok()) << r.summary().toStdString();
    }
}

// A log that cannot be kept (not a change log) leaves the year readable but refuses every change.
TEST(ChangeLog, UnusableLogRefusesChanges) {
    TempFolder folder;
    { Year year(folder.path(), 1, false); }
    writeFile(folder.file(QStringLiteral("protokoll_1_2026.dbf")), readFile(folder.file(QStringLiteral("records_1_2026.dbf"))));
    Year year(folder.path(), 1);
    EXPECT_TRUE(year.log->problem().contains(QStringLiteral("nicht den Aufbau"))) << year.log->problem().toStdString();
    year.table.Insert();
    fill(year.table, QStringLiteral("x"), 1);
    EXPECT_THROW(year.table.Post(), StorageError);
    EXPECT_EQ(year.table.state(), DbfTable::State::Insert);
    EXPECT_THROW(year.log->note({QStringLiteral("Festschreibung"), -1, QStringLiteral("Januar")}), QuorvelError);
}

// Several changes in one call are one append; withdrawn together, and cut together on the next opening
// when the table never wrote them.
TEST(ChangeLog, BatchIsOneAppendWithdrawnAndRecoveredWhole) {
    TempFolder folder;
    Year year(folder.path(), 1);
    const QByteArray before = readFile(year.logFile());
    std::vector<TableChange> changes(3);
    for (int i = 0; i < 3; ++i) {
        changes[size_t(i)].physical = 1 + i;
        changes[size_t(i)].after = QByteArray(" Satz ") + QByteArray::number(i);
    }
    year.log->writing(year.table, changes);
    EXPECT_EQ(year.log->entryCount(), 4);
    EXPECT_EQ(readFile(year.logFile()).size(), before.size() + 3 * audit::LogFormat::recordLength());
    year.log->undone(year.table, changes);
    EXPECT_EQ(readFile(year.logFile()), before);

    year.log->writing(year.table, changes);  // as if the process died before the table wrote them
    year.close();
    year.open();
    EXPECT_EQ(year.log->recoveredEntries(), 3);
    EXPECT_EQ(year.log->entryCount(), 1);
    EXPECT_EQ(readFile(year.logFile()).size(), before.size());
    const audit::LogCheckResult r = audit::LogCheck::run(year.logFile(), year.bookingsFile());
    EXPECT_TRUE(r.ok()) << r.summary().toStdString();
}
