// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <csignal>
#include <cstdio>

#include "StorageTestUtil.h"
#include "startup/BookingSchema.h"
#include "storage/DbfTable.h"
#include "support/RawDbfWriter.h"
#include "support/TestSupport.h"
#include "support/WithoutRoot.h"

using namespace storagetest;
using testsupport::RawDbf;
using testsupport::readFile;
using testsupport::TempFolder;
using testsupport::writeFile;

namespace {

RawDbf twoFieldTable(int records) {
    RawDbf raw;
    raw.fields = {{"NR", 'N', 9, 0}, {"TEXT", 'C', 10, 0}};
    for (int i = 0; i < records; ++i) raw.addRecord({QByteArray::number(i), "Zeile " + QByteArray::number(i)});
    return raw;
}

void openTable(DbfTable& table, const TempFolder& folder, const QString& name) {
    table.setFilePath(folder.path());
    table.setTableName(name);
    table.Open();
}

}  // namespace

TEST(DamagedFiles, AreRefusedAndLeftUnchanged) {
    struct Case {
        const char* label;
        QByteArray (*make)();
    };
    const Case cases[] = {
        {"empty file", [] { return QByteArray(); }},
        {"shorter than a header", [] { return twoFieldTable(0).bytes().left(20); }},
        {"garbage",
         [] {
             QByteArray b(600, '\0');
             for (int i = 0; i < b.size(); ++i) b[i] = char((i * 7919) % 251);
             return b;
         }},
        {"truncated records", [] { return twoFieldTable(3).bytes().left(97 + 2 * 20 + 7); }},
        {"header cut after descriptors", [] { return twoFieldTable(0).bytes().left(60); }},
        {"wrong header length",
         [] {
             QByteArray b = twoFieldTable(2).bytes();
             b[8] = char(b[8] + 5);
             return b;
         }},
        {"missing descriptor terminator",
         [] {
             QByteArray b = twoFieldTable(2).bytes();
             b[96] = ' ';
             return b;
         }},
        {"record length contradicts fields",
         [] {
             QByteArray b = twoFieldTable(2).bytes();
             b[10] = char(b[10] + 1);
             return b;
         }},
        {"field width zero",
         [] {
             RawDbf raw = twoFieldTable(0);
             raw.fields[1].width = 0;
             return raw.bytes();
         }},
        {"unknown version",
         [] {
             RawDbf raw = twoFieldTable(1);
             raw.version = 0x00;
             return raw.bytes();
         }},
        {"record count far beyond file",
         [] {
             QByteArray b = twoFieldTable(1).bytes();
             b[7] = char(0x40);
             return b;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        TempFolder folder;
        const QString file = folder.file(QStringLiteral("bad.dbf"));
        const QByteArray bytes = c.make();
        writeFile(file, bytes);
        DbfTable table;
        table.setFilePath(folder.path());
        table.setTableName(QStringLiteral("bad.dbf"));
        try {
            table.Open();
            ADD_FAILURE() << "opened";
        } catch (const DamagedTableError& e) {
            EXPECT_TRUE(e.message().startsWith(QStringLiteral("Die Tabelle \"%1\" ist beschädigt").arg(file)))
                << e.message().toStdString();
            EXPECT_TRUE(e.message().endsWith(QStringLiteral("Die Datei wurde nicht verändert.")));
        }
        EXPECT_FALSE(table.Active());
        EXPECT_EQ(readFile(file), bytes);
        EXPECT_FALSE(QFile::exists(folder.file(QStringLiteral("bad.mdx.bak"))));
    }
}

TEST(DamagedFiles, TrailingBytesAndMissingEndMarkerAreFine) {
    TempFolder folder;
    RawDbf raw = twoFieldTable(2);
    raw.endMarker = false;
    writeFile(folder.file(QStringLiteral("a.dbf")), raw.bytes());
    writeFile(folder.file(QStringLiteral("b.dbf")), twoFieldTable(2).bytes() + QByteArray(50, 'J'));
    for (const char* name : {"a.dbf", "b.dbf"}) {
        SCOPED_TRACE(name);
        DbfTable table;
        openTable(table, folder, QLatin1String(name));
        EXPECT_EQ(walk(table, 1), (QStringList{"Zeile 0", "Zeile 1"}));
        table.Insert();
        table.Fields(1).setAsString(QStringLiteral("neu"));
        table.Post();
        table.Close();
        table.Open();
        EXPECT_EQ(walk(table, 1), (QStringList{"Zeile 0", "Zeile 1", "neu"}));
        const QByteArray bytes = readFile(folder.file(QLatin1String(name)));
        EXPECT_EQ(bytes.at(table.headerLength() + 3 * table.recordLength()), char(0x1a));
    }
}

TEST(DamagedFiles, MissingAndUnreadableFiles) {
    TempFolder folder;
    DbfTable table;
    table.setFilePath(folder.path());
    table.setTableName(QStringLiteral("fehlt.dbf"));
    EXPECT_THROW(table.Open(), FileMissingError);
    EXPECT_FALSE(QFile::exists(folder.file(QStringLiteral("fehlt.dbf"))));

    // A folder in place of the file cannot be read, even by a privileged user.
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("ordner.dbf")));
    table.setTableName(QStringLiteral("ordner.dbf"));
    try {
        table.Open();
        FAIL();
    } catch (const DamagedTableError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("kann nicht gelesen werden"))) << e.message().toStdString();
    }
    // A file its owner may not read: without root, which reads it all the same.
    testsupport::runWithoutRoot([] {
        TempFolder own;
        const QString file = own.file(QStringLiteral("gesperrt.dbf"));
        twoFieldTable(1).write(file);
        ASSERT_EQ(::chmod(QFile::encodeName(file).constData(), 0), 0);
        DbfTable locked;
        locked.setFilePath(own.path());
        locked.setTableName(QStringLiteral("gesperrt.dbf"));
        EXPECT_THROW(locked.Open(), DamagedTableError);
    });
}

TEST(ReadOnlyFiles, OpenForReadingAndRefuseEveryWrite) {
    TempFolder folder;
    const QString file = folder.file(QStringLiteral("ro.dbf"));
    twoFieldTable(2).write(file);
    ASSERT_EQ(::chmod(QFile::encodeName(file).constData(), 0444), 0);
    const QByteArray before = readFile(file);
    DbfTable table;
    openTable(table, folder, QStringLiteral("ro.dbf"));
    EXPECT_TRUE(table.isReadOnly());
    EXPECT_EQ(walk(table, 1), (QStringList{"Zeile 0", "Zeile 1"}));
    table.First();
    const std::function<void()> writes[] = {[&] { table.Insert(); }, [&] { table.Edit(); }, [&] { table.Delete(); },
                                            [&] { table.AppendRecord(); }};
    for (const auto& write : writes) {
        try {
            write();
            ADD_FAILURE();
        } catch (const StorageError& e) {
            EXPECT_EQ(e.message(), QStringLiteral("Die Tabelle \"%1\" ist schreibgeschützt; Änderungen können nicht "
                                                  "gespeichert werden. Heben Sie den Schreibschutz der Datei auf und "
                                                  "starten Sie das Programm neu.")
                                       .arg(file));
        }
        EXPECT_EQ(table.state(), DbfTable::State::Browse);
    }
    EXPECT_EQ(readFile(file), before);
    ::chmod(QFile::encodeName(file).constData(), 0644);
}

TEST(StaleIndex, FirstWriteClearsFlagAndMovesIndexAside) {
    TempFolder folder;
    RawDbf raw = twoFieldTable(2);
    raw.mdxFlag = 1;
    raw.write(folder.file(QStringLiteral("records.dbf")));
    writeFile(folder.file(QStringLiteral("records.mdx")), "neues mdx");
    writeFile(folder.file(QStringLiteral("records.mdx.bak")), "altes");
    const QByteArray before = readFile(folder.file(QStringLiteral("records.dbf")));

    DbfTable table;
    openTable(table, folder, QStringLiteral("records.dbf"));
    EXPECT_TRUE(table.hasMdxFlag());
    EXPECT_EQ(walk(table, 1).size(), 2);
    table.Close();
    table.Open();
    EXPECT_EQ(readFile(folder.file(QStringLiteral("records.dbf"))), before);  // reading changes nothing
    EXPECT_TRUE(QFile::exists(folder.file(QStringLiteral("records.mdx"))));

    table.First();
    table.Edit();
    table.Fields(1).setAsString(QStringLiteral("geändert"));
    table.Post();
    EXPECT_FALSE(table.hasMdxFlag());
    const QByteArray after = readFile(folder.file(QStringLiteral("records.dbf")));
    EXPECT_EQ(after.at(28), char(0));
    EXPECT_FALSE(QFile::exists(folder.file(QStringLiteral("records.mdx"))));
    EXPECT_EQ(readFile(folder.file(QStringLiteral("records.mdx.bak"))), QByteArray("neues mdx"));
    table.Close();
    table.Open();
    EXPECT_FALSE(table.hasMdxFlag());
    EXPECT_EQ(walk(table, 1).first(), QStringLiteral("geändert"));
}

TEST(WriteFailures, ARefusedWriteKeepsThePendingRecordAndTheFile) {
    TempFolder folder;
    DbfTable table;
    createAndOpen(table, folder.path(), QStringLiteral("w.dbf"), textSchema());
    appendTexts(table, {QStringLiteral("eins")});
    const QString file = folder.file(QStringLiteral("w.dbf"));
    const QByteArray before = readFile(file);

    // The file may not grow: the append fails with EFBIG instead of a signal.
    struct sigaction ignore {
    }, previousAction{};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGXFSZ, &ignore, &previousAction);
    rlimit previous{};
    getrlimit(RLIMIT_FSIZE, &previous);
    rlimit limited = previous;
    limited.rlim_cur = rlim_t(before.size());
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    table.Insert();
    table.Fields(0).setAsString(QStringLiteral("zwei"));
    try {
        table.Post();
        ADD_FAILURE();
    } catch (const FileIoError& e) {
        EXPECT_TRUE(e.message().contains(file)) << e.message().toStdString();
    }
    setrlimit(RLIMIT_FSIZE, &previous);
    sigaction(SIGXFSZ, &previousAction, nullptr);

    EXPECT_EQ(table.state(), DbfTable::State::Insert);
    EXPECT_EQ(readFile(file).left(8), before.left(8));  // the count in the header is untouched
    table.Post();                                       // works once the file may grow again
    table.Close();
    table.Open();
    EXPECT_EQ(walk(table), (QStringList{"eins", "zwei"}));
}

// --- a writer killed at random moments ---

namespace {
const char* const kChildVariable = "QUORVEL_STORAGE_APPEND_CHILD";
}

// Runs only as the child of CrashSafety.KilledWriterLeavesAConsistentFile: appends numbered records
// to the table named in the environment and prints each number once its Post has returned.
TEST(CrashSafety, ChildAppender) {
    const QByteArray path = qgetenv(kChildVariable);
    if (path.isEmpty()) GTEST_SKIP() << "runs only as a child process";
    const QFileInfo info(QFile::decodeName(path));
    DbfTable table;
    table.setFilePath(info.absolutePath());
    table.setTableName(info.fileName());
    table.Open();
    for (int n = table.physicalRecordCount();; ++n) {
        table.Insert();
        table.Fields(Booking::Datum).setAsDateTime(40000 + n % 1000);
        table.Fields(Booking::Text).setAsString(QStringLiteral("Satz %1 äöü €").arg(n));
        table.Fields(Booking::Brutto).setAsFloat(n + 0.25);
        table.Fields(Booking::Konto).setAsInteger(n);
        table.Post();
        std::printf("%d\n", n + 1);
        std::fflush(stdout);
    }
}

TEST(CrashSafety, KilledWriterLeavesAConsistentFile) {
    TempFolder folder;
    {
        DbfTable table;
        table.setFilePath(folder.path());
        table.setTableName(QStringLiteral("records.dbf"));
        table.setFieldDefs(bookingsSchema());
        table.CreateTable();
    }
    const QString file = folder.file(QStringLiteral("records.dbf"));
    int confirmed = 0;
    QRandomGenerator random(20240517);
    for (int round = 0; round < 30; ++round) {
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QString::fromLatin1(kChildVariable), file);
        child.setProcessEnvironment(env);
        child.setProcessChannelMode(QProcess::SeparateChannels);
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--gtest_filter=CrashSafety.ChildAppender")});
        ASSERT_TRUE(child.waitForStarted(10000));
        // Wait for the first confirmed record, then let it run a little and kill it mid-flight.
        QByteArray out;
        while (!out.contains('\n') && child.waitForReadyRead(10000)) out += child.readAllStandardOutput();
        ASSERT_TRUE(out.contains('\n')) << child.readAllStandardError().toStdString();
        ::usleep(useconds_t(random.bounded(1000, 30000)));
        ::kill(pid_t(child.processId()), SIGKILL);
        ASSERT_TRUE(child.waitForFinished(10000));
        out += child.readAllStandardOutput();
        const QList<QByteArray> lines = out.split('\n');
        for (const QByteArray& line : lines)
            if (!line.isEmpty()) confirmed = std::max(confirmed, line.toInt());

        DbfTable check;
        check.setFilePath(folder.path());
        check.setTableName(QStringLiteral("records.dbf"));
        ASSERT_NO_THROW(check.Open()) << "round " << round;
        ASSERT_GE(check.physicalRecordCount(), confirmed) << "round " << round;
    }
    DbfTable table;
    table.setFilePath(folder.path());
    table.setTableName(QStringLiteral("records.dbf"));
    table.Open();
    EXPECT_GE(table.RecordCount(), confirmed);
    EXPECT_GT(confirmed, 30);
    int n = 0;
    for (table.First(); !table.Eof(); table.Next(), ++n) {
        ASSERT_EQ(table.Fields(Booking::Konto).AsInteger(), n);
        ASSERT_EQ(table.Fields(Booking::Text).AsString(), QStringLiteral("Satz %1 äöü €").arg(n));
        ASSERT_DOUBLE_EQ(table.Fields(Booking::Brutto).AsFloat(), n + 0.25);
        ASSERT_DOUBLE_EQ(table.Fields(Booking::Datum).AsDateTime(), 40000 + n % 1000);
    }
    EXPECT_EQ(n, table.RecordCount());
}

// Some writers (dBase III PLUS among them) put padding after the descriptors' terminator and count
// it in the header length. The records start at the header length; the file is sound and must open.
TEST(ForeignHeaders, PaddingAfterTheDescriptorTerminatorIsAccepted) {
    for (int padding : {1, 2, 31, 263}) {
        SCOPED_TRACE(padding);
        TempFolder folder;
        const QByteArray plain = twoFieldTable(2).bytes();
        const int header = 32 + 2 * 32 + 1;
        QByteArray padded = plain.left(header) + QByteArray(padding, '\0') + plain.mid(header);
        padded[8] = char((header + padding) & 0xff);
        padded[9] = char((header + padding) >> 8);
        const QString file = folder.file(QStringLiteral("p.dbf"));
        writeFile(file, padded);

        DbfTable table;
        openTable(table, folder, QStringLiteral("p.dbf"));
        EXPECT_EQ(table.FieldCount(), 2);
        EXPECT_EQ(table.headerLength(), header + padding);
        EXPECT_EQ(walk(table, 1), (QStringList{"Zeile 0", "Zeile 1"}));
        table.Insert();
        table.Fields(0).setAsInteger(7);
        table.Fields(1).setAsString(QStringLiteral("neu"));
        table.Post();
        table.Close();
        const QByteArray after = readFile(file);
        EXPECT_EQ(after.left(header + padding).mid(12), padded.left(header + padding).mid(12));
        table.Open();
        EXPECT_EQ(walk(table, 1), (QStringList{"Zeile 0", "Zeile 1", "neu"}));
    }
}

TEST(ForeignHeaders, AHeaderEndingBeforeItsDescriptorsIsStillDamaged) {
    TempFolder folder;
    QByteArray b = twoFieldTable(1).bytes();
    b[32 + 32] = char(0x0D);  // terminator where the second descriptor should start
    const QString file = folder.file(QStringLiteral("d.dbf"));
    writeFile(file, b);
    DbfTable table;
    EXPECT_THROW(openTable(table, folder, QStringLiteral("d.dbf")), DamagedTableError);
    EXPECT_EQ(readFile(file), b);
}
