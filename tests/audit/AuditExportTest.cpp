// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <quazip/quazip.h>
#include <quazip/quazipfile.h>

#include <QDate>
#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QXmlStreamReader>
#include <map>

#include "audit/AuditExport.h"
#include "startup/ClientNaming.h"
#include "startup/TableSet.h"
#include "storage/DayNumber.h"
#include "storage/StorageError.h"
#include "support/FailingFileIo.h"
#include "support/TestSupport.h"

using testsupport::TempFolder;

namespace {

constexpr int kYear = 2026;

// What index.xml declares for one table, read back with a plain XML reader.
struct Declared {
    QString url;
    bool utf8 = false;
    QString decimal, grouping, columnDelimiter, recordDelimiter, encapsulator, from;
    QStringList names, types, descriptions;
    std::vector<int> accuracy;
};

std::map<QString, Declared> readIndex(const QByteArray& xml) {
    std::map<QString, Declared> tables;
    QXmlStreamReader r(xml);
    Declared t;
    QString type;
    bool inTable = false;
    bool inValidity = false;
    while (!r.atEnd()) {
        r.readNext();
        const QString n = r.name().toString();
        if (r.isStartElement()) {
            if (n == u"Table")
                t = Declared{}, inTable = true;
            else if (n == u"Validity")
                inValidity = true;
            else if (!inTable)
                continue;
            else if (n == u"URL")
                t.url = r.readElementText();
            else if (n == u"UTF8")
                t.utf8 = true;
            else if (n == u"DecimalSymbol")
                t.decimal = r.readElementText();
            else if (n == u"DigitGroupingSymbol")
                t.grouping = r.readElementText();
            else if (n == u"ColumnDelimiter")
                t.columnDelimiter = r.readElementText();
            else if (n == u"RecordDelimiter")
                t.recordDelimiter = r.readElementText();
            else if (n == u"TextEncapsulator")
                t.encapsulator = r.readElementText();
            else if (n == u"From" && !inValidity)
                t.from = r.readElementText();
            else if (n == u"VariableColumn" || n == u"VariablePrimaryKey")
                t.accuracy.push_back(-1), t.descriptions << QString();
            else if (n == u"Name" && !t.accuracy.empty() && t.names.size() < int(t.accuracy.size()))
                t.names << r.readElementText();
            else if (n == u"Description" && !t.accuracy.empty())
                t.descriptions.last() = r.readElementText();
            else if (n == u"AlphaNumeric" || n == u"Numeric" || n == u"Date")
                t.types << n;
            else if (n == u"Accuracy")
                t.accuracy.back() = r.readElementText().toInt();
        } else if (r.isEndElement()) {
            if (n == u"Validity") inValidity = false;
            if (n == u"Table") tables[t.url] = t, inTable = false;
        }
    }
    EXPECT_FALSE(r.hasError()) << r.errorString().toStdString();
    return tables;
}

// Splits a CSV file by the declared delimiters, honouring the encapsulator (a doubled one is one
// character) and dropping the lines before the declared first line.
std::vector<QStringList> readCsv(const QByteArray& bytes, const Declared& d) {
    const QString text = QString::fromUtf8(bytes);
    EXPECT_EQ(text.toUtf8(), bytes) << "not UTF-8";
    std::vector<QStringList> records;
    QStringList fields;
    QString field;
    bool quoted = false;
    const QChar enc = d.encapsulator.at(0);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == enc && i + 1 < text.size() && text[i + 1] == enc)
                field += c, ++i;
            else if (c == enc)
                quoted = false;
            else
                field += c;
        } else if (c == enc) {
            quoted = true;
        } else if (text.mid(i, d.columnDelimiter.size()) == d.columnDelimiter) {
            fields << field, field.clear();
        } else if (text.mid(i, d.recordDelimiter.size()) == d.recordDelimiter) {
            fields << field, field.clear();
            records.push_back(fields), fields.clear();
            i += d.recordDelimiter.size() - 1;
        } else {
            field += c;
        }
    }
    EXPECT_TRUE(fields.isEmpty() && field.isEmpty()) << "last record without delimiter";
    records.erase(records.begin(), records.begin() + (d.from.toInt() - 1));
    return records;
}

struct BookingCase {
    QDate date;
    const char* art;
    QString beleg, text;
    double brutto, rate;
    int konto;
    QStringList expected;  // SATZNR .. KOSTENSTEL, USTBETRAG, NETTOBETRAG as the auditor reads them
};

QString longText() {
    return QStringLiteral("Sehr langer Buchungstext mit Überlänge, der genau sechzig Zeich");
}

std::vector<BookingCase> bookingCases() {
    const QString e;
    return {
        {QDate(2026, 1, 2),
         "E",
         "1",
         "Miete; Büro \"Nord\"",
         119,
         19,
         1,
         {"1", "02.01.2026", "E", "1", "Miete; Büro \"Nord\"", "119,00000000", "19,00000000", "1", e, e, "0", "0",
          "19,00", "100,00"}},
        {QDate(2026, 2, 28),
         "A",
         "R-7/26",
         "Gutschrift Großhändler Äöü ß €",
         -7.5,
         7,
         0,
         {"2", "28.02.2026", "A", "R-7/26", "Gutschrift Großhändler Äöü ß €", "-7,50000000", "7,00000000", "0", e, e,
          "0", "0", "-0,49", "-7,01"}},
        {QDate(2026, 12, 31),
         "S",
         "",
         longText(),
         1234567.89,
         0,
         3,
         {"3", "31.12.2026", "S", "", longText().left(60), "1234567,89000000", "0,00000000", "3", e, e, "0", "0",
          "0,00", "1234567,89"}},
        {QDate(2026, 6, 1),
         "N",
         "\"\"",
         "Einlage \"\"x\"\";;",
         0.01,
         19,
         2,
         {"4", "01.06.2026", "N", "\"\"", "Einlage \"\"x\"\";;", "0,01000000", "19,00000000", "2", e, e, "0", "0",
          "0,00", "0,01"}},
    };
}

// A year of client 1 in a fresh data folder: the eight tables with their default rows, the account
// assignment, the bookings above plus one deleted booking, and a change log of fields this export
// does not know.
class AuditExportTest : public ::testing::Test {
protected:
    void SetUp() override {
        set.setNames(1, kYear);
        ASSERT_TRUE(set.InitDB(data.path()).isEmpty());
        DbfTable& b = set.Dbf1;
        for (const BookingCase& c : bookingCases()) {
            b.Insert();
            b.Fields(0).setAsDateTime(DayNumber::fromDate(c.date));
            b.Fields(1).setAsString(QString::fromLatin1(c.art));
            b.Fields(2).setAsString(c.beleg);
            b.Fields(3).setAsString(c.text.left(60));
            b.Fields(4).setAsFloat(c.brutto);
            b.Fields(5).setAsFloat(c.rate);
            b.Fields(6).setAsInteger(c.konto);
            b.Fields(9).setAsInteger(0);
            b.Fields(10).setAsInteger(0);
            b.Post();
        }
        b.Insert();
        b.Fields(3).setAsString(QStringLiteral("gelöscht"));
        b.Post();
        b.Last();
        b.Delete();
        // The journal's filter must not narrow the export.
        b.setOnFilterRecord([](const DbfTable& t) { return t.Fields(1).AsString() == u"E"; });
        b.setFiltered(true);

        DbfTable log;
        log.setFilePath(data.path());
        log.setTableName(ClientNaming::tableFileName(QStringLiteral("protokoll"), 1, kYear));
        log.setFieldDefs({{QStringLiteral("Zeitpunkt"), FieldType::Date, 0},
                          {QStringLiteral("Aktion"), FieldType::String, 20},
                          {QStringLiteral("Satz"), FieldType::Integer, 0}});
        log.CreateTable();
        log.Open();
        log.Insert();
        log.Fields(0).setAsDateTime(DayNumber::fromDate(QDate(2026, 3, 4)));
        log.Fields(1).setAsString(QStringLiteral("Änderung"));
        log.Fields(2).setAsInteger(-3);
        log.Post();
        log.Close();
    }

    AuditExport::Request request(const QString& target, bool zip) const { return {data.path(), 1, kYear, target, zip}; }

    static QStringList entries(const QString& folder) {
        return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    }

    TempFolder data;
    TempFolder out;
    TableSet set;
};

QString xmllintErrors(const QString& folder) {
    QProcess p;
    p.setWorkingDirectory(folder);
    p.start(QStringLiteral("xmllint"),
            {QStringLiteral("--valid"), QStringLiteral("--noout"), QStringLiteral("index.xml")});
    p.waitForFinished();
    QStringList errors;
    for (const QString& line : QString::fromUtf8(p.readAllStandardError()).split(u'\n')) {
        // The published DTD's own content model of Media is ambiguous; libxml2 says so for every file.
        if (line.contains(QStringLiteral("error")) &&
            !line.contains(QStringLiteral("Content model of Media is not determinist")))
            errors << line;
    }
    if (p.exitCode() != 0) errors << QStringLiteral("exit code %1").arg(p.exitCode());
    return errors.join(u'\n');
}

TEST_F(AuditExportTest, FolderHoldsEveryTableInTheDeclaredFormat) {
    const QString target = out.file(QStringLiteral("export"));
    const AuditExport::Result result = AuditExport::run(request(target, false));
    ASSERT_FALSE(result.cancelled);
    EXPECT_EQ(entries(out.path()), QStringList{QStringLiteral("export")});  // no temporary folder left

    const auto declared = readIndex(testsupport::readFile(target + QStringLiteral("/index.xml")));
    const QStringList csvFiles{"buchungen.csv",     "einnahmekonten.csv", "ausgabekonten.csv",   "sammelkonten.csv",
                               "kostenstellen.csv", "mwstsaetze.csv",     "kontenzuordnung.csv", "protokoll.csv"};
    ASSERT_EQ(declared.size(), size_t(csvFiles.size()));
    std::map<QString, std::vector<QStringList>> read;
    for (const QString& file : csvFiles) {
        SCOPED_TRACE(file.toStdString());
        ASSERT_EQ(declared.count(file), 1u);
        const Declared& d = declared.at(file);
        EXPECT_TRUE(d.utf8);
        EXPECT_EQ(d.decimal, u",");
        EXPECT_EQ(d.grouping, u".");
        EXPECT_EQ(d.columnDelimiter, u";");
        EXPECT_EQ(d.recordDelimiter, u"\r\n");
        EXPECT_EQ(d.encapsulator, u"\"");
        EXPECT_EQ(d.from, u"2");
        const QByteArray bytes = testsupport::readFile(target + u'/' + file);
        EXPECT_EQ(bytes.left(d.names.join(u';').size() + 2), (d.names.join(u';') + QStringLiteral("\r\n")).toUtf8());
        read[file] = readCsv(bytes, d);
        // Every value in the form its column declares.
        for (const QStringList& record : read[file]) {
            ASSERT_EQ(record.size(), d.types.size());
            for (int c = 0; c < record.size(); ++c) {
                if (record[c].isEmpty()) continue;
                QString pattern = QStringLiteral("^.*$");
                if (d.types[c] == u"Date") pattern = QStringLiteral("^\\d\\d\\.\\d\\d\\.\\d{4}$");
                if (d.types[c] == u"Numeric")
                    pattern = d.accuracy[size_t(c)] == 0
                                  ? QStringLiteral("^-?\\d+$")
                                  : QStringLiteral("^-?\\d+,\\d{%1}$").arg(d.accuracy[size_t(c)]);
                EXPECT_TRUE(QRegularExpression(pattern).match(record[c]).hasMatch())
                    << d.names[c].toStdString() << " = " << record[c].toStdString();
            }
        }
    }
    // The bookings field by field, the deleted one left out, whatever the journal's filter.
    const std::vector<QStringList>& bookings = read["buchungen.csv"];
    const auto cases = bookingCases();
    ASSERT_EQ(bookings.size(), cases.size());
    for (size_t i = 0; i < cases.size(); ++i) EXPECT_EQ(bookings[i], cases[i].expected);
    EXPECT_EQ(declared.at("buchungen.csv").names.last(), u"NETTOBETRAG");
    EXPECT_EQ(read["mwstsaetze.csv"],
              (std::vector<QStringList>{{"1", "19,00000000"}, {"2", "7,00000000"}, {"3", "0,00000000"}}));
    EXPECT_EQ(read["einnahmekonten.csv"][0], (QStringList{"1", "0", "Einnahmen 19% Umsatzsteuer"}));
    // Fields are typed by their layout; a field of the log's own layout has its description, another one
    // the fallback.
    const Declared& log = declared.at("protokoll.csv");
    EXPECT_EQ(log.types, (QStringList{"Numeric", "Date", "AlphaNumeric", "Numeric"}));
    EXPECT_TRUE(log.descriptions[1].contains(QStringLiteral("noch ohne Beschreibung")));
    EXPECT_TRUE(log.descriptions[2].contains(QStringLiteral("Erfassung")));
    EXPECT_EQ(read["protokoll.csv"], (std::vector<QStringList>{{"1", "04.03.2026", "Änderung", "-3"}}));
    EXPECT_TRUE(result.notes.isEmpty()) << result.notes.join(u'\n').toStdString();
}

TEST_F(AuditExportTest, IndexIsValidAgainstTheDtd) {
    if (QStandardPaths::findExecutable(QStringLiteral("xmllint")).isEmpty())
        GTEST_SKIP()
            << "xmllint (Debian package libxml2-utils) is missing: index.xml cannot be checked against the DTD";
    const QString target = out.file(QStringLiteral("export"));
    AuditExport::run(request(target, false));
    EXPECT_EQ(xmllintErrors(target), QString());
    // A broken description is noticed: a column without its type.
    QByteArray xml = testsupport::readFile(target + QStringLiteral("/index.xml"));
    xml.replace("<AlphaNumeric/>", "");
    testsupport::writeFile(target + QStringLiteral("/index.xml"), xml);
    EXPECT_TRUE(xmllintErrors(target).contains(QStringLiteral("VariableColumn")));
}

TEST_F(AuditExportTest, ZipHoldsTheSameFilesAsTheFolder) {
    const QString folder = out.file(QStringLiteral("ordner"));
    const QString zipName = out.file(QStringLiteral("export.zip"));
    AuditExport::run(request(folder, false));
    AuditExport::run(request(zipName, true));
    EXPECT_EQ(entries(out.path()), (QStringList{"export.zip", "ordner"}));

    QuaZip zip(zipName);
    ASSERT_TRUE(zip.open(QuaZip::mdUnzip));
    QStringList names;
    for (bool more = zip.goToFirstFile(); more; more = zip.goToNextFile()) {
        QuaZipFile entry(&zip);
        ASSERT_TRUE(entry.open(QIODevice::ReadOnly));
        names << entry.getActualFileName();
        EXPECT_EQ(entry.readAll(), testsupport::readFile(folder + u'/' + names.last())) << names.last().toStdString();
    }
    names.sort();
    EXPECT_EQ(names, entries(folder));
    EXPECT_TRUE(names.contains(QStringLiteral("gdpdu-01-09-2004.dtd")));
}

// A disk that fills up at different points, and a cancel: never a half export, and a German message.
TEST_F(AuditExportTest, FullDiskOrCancelLeavesNothingBehind) {
    set.closeAll();
    struct Case {
        bool zip;
        qint64 room;  // -1: the disk has room, the user cancels
    };
    for (const Case c : {Case{false, 0}, Case{false, 300}, Case{false, 3000}, Case{true, 0}, Case{true, 2000},
                         Case{false, -1}, Case{true, -1}}) {
        SCOPED_TRACE(testing::Message() << "zip " << c.zip << ", room " << c.room);
        const QString target = out.file(c.zip ? QStringLiteral("export.zip") : QStringLiteral("export"));
        if (c.room < 0) {
            const auto result =
                AuditExport::run(request(target, c.zip), [](qint64 done, qint64 total) { return done < total; });
            EXPECT_TRUE(result.cancelled);
        } else {
            testsupport::FailingFileIo io(testsupport::IoFaults{.room = c.room});
            try {
                AuditExport::run(request(target, c.zip));
                ADD_FAILURE() << "no error";
            } catch (const QuorvelError& e) {
                EXPECT_TRUE(e.message().startsWith(QStringLiteral("Der Datenexport wurde nicht erstellt"))) << e.what();
                EXPECT_TRUE(e.message().contains(QStringLiteral("Der Datenträger ist voll"))) << e.what();
            }
            EXPECT_GT(io.strikes(), 0);
        }
        EXPECT_EQ(entries(out.path()), QStringList());
    }
    // A folder that holds something already is refused before anything is written.
    QDir(out.path()).mkdir(QStringLiteral("voll"));
    testsupport::writeFile(out.file(QStringLiteral("voll/alt.txt")), "alt");
    EXPECT_THROW(AuditExport::run(request(out.file(QStringLiteral("voll")), false)), QuorvelError);
    EXPECT_EQ(entries(out.file(QStringLiteral("voll"))), QStringList{QStringLiteral("alt.txt")});
}

// Stored values as other programs write them: copied by value where they are numbers or dates, written empty
// and reported where they are not; never turned into something else.
TEST_F(AuditExportTest, StoredValuesOfOtherWritersAreCopiedOrReported) {
    set.closeAll();
    const QString records = data.file(ClientNaming::tableFileName(QStringLiteral("records"), 1, kYear));
    struct Case {
        int offset, width;  // of the field in the first record's bytes (DATUM 1, BRUTTO 90)
        QByteArray stored;
        int column;  // in the CSV record
        QString written;
        bool reported;
    };
    const std::vector<Case> cases{
        {90, 18, "1.5", 5, "1,50000000", false},
        {90, 18, ".5", 5, "0,50000000", false},
        {90, 18, "-0,25", 5, "-0,25000000", false},
        {90, 18, "1E2", 5, "100,00000000", false},
        {90, 18, "12a,50", 5, "", true},
        {90, 18, "", 5, "", false},
        {1, 8, "20261341", 1, "", true},
        {1, 8, "", 1, "", false},
    };
    const QByteArray original = testsupport::readFile(records);
    const int first = 385;  // header length of the bookings table
    int round = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored.toStdString());
        QByteArray bytes = original;
        bytes.replace(first + c.offset, c.width, c.stored.rightJustified(c.width, ' '));
        testsupport::writeFile(records, bytes);
        const QString target = out.file(QStringLiteral("e%1").arg(++round));
        const AuditExport::Result result = AuditExport::run(request(target, false));
        Declared d;
        d.columnDelimiter = QStringLiteral(";"), d.recordDelimiter = QStringLiteral("\r\n");
        d.encapsulator = QStringLiteral("\""), d.from = QStringLiteral("2");
        const auto csv = readCsv(testsupport::readFile(target + QStringLiteral("/buchungen.csv")), d);
        EXPECT_EQ(csv.at(0).at(c.column), c.written);
        EXPECT_EQ(result.notes.size(), c.reported ? 1 : 0) << result.notes.join(u'\n').toStdString();
        if (c.reported) {
            EXPECT_TRUE(result.notes.value(0).contains(QString::fromLatin1(c.stored)));
        }
    }
}

// A change log that is no dBase table is left out with a note; the rest of the export is made.
TEST_F(AuditExportTest, ChangeLogThatIsNoTableIsLeftOutWithANote) {
    const QString log = ClientNaming::tableFileName(QStringLiteral("protokoll"), 1, kYear);
    testsupport::writeFile(data.file(log), "kein dBase");
    const QString target = out.file(QStringLiteral("export"));
    const AuditExport::Result result = AuditExport::run(request(target, false));
    ASSERT_EQ(result.notes.size(), 1);
    EXPECT_TRUE(result.notes[0].startsWith(QStringLiteral("Die Datei %1 (Aenderungsprotokoll)").arg(log)))
        << result.notes[0].toStdString();
    EXPECT_FALSE(QFileInfo::exists(target + QStringLiteral("/protokoll.csv")));
    QXmlStreamReader xml(testsupport::readFile(target + QStringLiteral("/index.xml")));
    while (xml.readNextStartElement() && xml.name() != u"Comment") {
        if (xml.name() != u"DataSet" && xml.name() != u"DataSupplier") xml.skipCurrentElement();
    }
    EXPECT_TRUE(xml.readElementText().contains(result.notes[0]));  // the auditor reads it too
    EXPECT_EQ(result.tables.size(), 7u);
}

}  // namespace
