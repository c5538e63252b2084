// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QDate>

#include "startup/BookingSchema.h"
#include "ExchangeTestUtil.h"
#include "exchange/CsvExport.h"
#include "exchange/CsvImport.h"
#include "exchange/RecordText.h"
#include "storage/DayNumber.h"
#include "support/RawDbfWriter.h"

using exchangetest::createBookings;
using exchangetest::recordBytes;
using exchangetest::rows;
using testsupport::TempFolder;

namespace {

void addBooking(DbfTable& t, const QDate& date, const char* art, const QString& beleg, const QString& text,
                double brutto, double mwst, int konto, int sammel = 0, int kosten = 0) {
    t.Insert();
    if (date.isValid()) t.Fields(Booking::Datum).setAsDateTime(DayNumber::fromDate(date));
    t.Fields(Booking::Art).setAsString(QString::fromLatin1(art));
    t.Fields(Booking::Beleg).setAsString(beleg);
    t.Fields(Booking::Text).setAsString(text);
    t.Fields(Booking::Brutto).setAsFloat(brutto);
    t.Fields(Booking::MwSt).setAsFloat(mwst);
    t.Fields(Booking::Konto).setAsInteger(konto);
    t.Fields(Booking::Sammelkonto).setAsInteger(sammel);
    t.Fields(Booking::Kostenstelle).setAsInteger(kosten);
    t.Post();
}

// Texts that a CSV file must carry through unchanged.
void fillAwkwardBookings(DbfTable& t) {
    addBooking(t, QDate(2014, 12, 31), "E", QStringLiteral("17"), QStringLiteral("Miete"), 119, 19, 1);
    addBooking(t, QDate(2014, 1, 2), "A", QStringLiteral("R-2014/01"), QStringLiteral("Tank; \"Aral\" Nord"), 50.45, 19,
               0, 1, 1);
    addBooking(t, QDate(2014, 2, 3), "A", QStringLiteral("\\\\server\\n"), QStringLiteral("C:\\new\\temp\\"), -7.5, 7,
               3);
    addBooking(t, QDate(2014, 3, 4), "N", QString(), QStringLiteral("Zeile1\r\nZeile2\nÄÖÜ äöü ß €"), 0.01, 0, 12);
    addBooking(t, QDate(2014, 5, 6), "S", QStringLiteral("\"\""), QStringLiteral(";"), 123456789.25, 16, -4);
    // A booking with MWST2 and NETTO written, as other programs do.
    t.Insert();
    t.Fields(Booking::Datum).setAsDateTime(DayNumber::fromDate(QDate(2014, 6, 30)));
    t.Fields(Booking::Art).setAsString(QStringLiteral("E"));
    t.Fields(Booking::Brutto).setAsFloat(0);
    t.Fields(Booking::MwSt2).setAsFloat(19);
    t.Fields(Booking::Netto).setAsFloat(100);
    t.Post();
}

TEST(CsvRoundTrip, ExportThenImportIntoAnEmptyYearGivesTheSameRecordBytes) {
    TempFolder dir;
    DbfTable source;
    createBookings(source, dir.path());
    fillAwkwardBookings(source);
    const QString csv = dir.file(QStringLiteral("export.csv"));
    EXPECT_EQ(CsvExport::writeFile(source, csv), 6);

    DbfTable target;
    createBookings(target, dir.path(), QStringLiteral("records_1_2015.dbf"));
    CsvImport csvImport(target, 2015);
    const CsvImportResult result = csvImport.importBytes(CsvImport::readFile(csv));
    EXPECT_EQ(result.added, 6);
    EXPECT_TRUE(result.refused.empty());
    EXPECT_TRUE(result.shortened.empty());
    EXPECT_EQ(rows(target), rows(source));
    source.Close();
    target.Close();
    EXPECT_EQ(recordBytes(dir.file(QStringLiteral("records_1_2015.dbf"))),
              recordBytes(dir.file(QStringLiteral("records_1_2014.dbf"))));
}

// Texts a spreadsheet would run as formulas, and texts that look like the protection against it: each
// (as receipt and as text) with the way it is written to the file.
struct TrickyText {
    QString text;
    QByteArray written;  // the text field as it stands in the file
};

TEST(CsvRoundTrip, FormulaTextsAreNeutralisedInTheFileAndComeBackUnchanged) {
    const std::vector<TrickyText> texts = {
        {QStringLiteral("=HYPERLINK(\"http://x\";\"y\")"), "\"'=HYPERLINK(\"\"http://x\"\";\"\"y\"\")\""},
        {QStringLiteral("+49 30 1234"), "\"'+49 30 1234\""},
        {QStringLiteral("-3+4"), "\"'-3+4\""},
        {QStringLiteral("@SUM(A1:A2)"), "\"'@SUM(A1:A2)\""},
        {QStringLiteral("\tTab"), "\"'\tTab\""},
        {QStringLiteral("\rZeile"), "\"'\\rZeile\""},
        {QStringLiteral("'=schon geschützt"), "\"''=schon gesch\xfctzt\""},
        {QStringLiteral("''+zwei"), "\"'''+zwei\""},
        {QStringLiteral("'Zitat"), "\"'Zitat\""},
        {QStringLiteral("'"), "\"'\""},
        {QStringLiteral("-"), "\"'-\""},
        {QStringLiteral("a=b"), "\"a=b\""},
        {QStringLiteral(" =Blank davor"), "\" =Blank davor\""},
    };
    TempFolder dir;
    DbfTable source;
    createBookings(source, dir.path());
    for (const TrickyText& t : texts) addBooking(source, QDate(2014, 1, 1), "E", t.text.left(20), t.text, -1.5, 19, 1);
    const QByteArray bytes = CsvExport::toBytes(source);
    const QList<QByteArray> lines = bytes.split('\n');
    for (size_t i = 0; i < texts.size(); ++i) {
        const QByteArray& line = lines[qsizetype(i)];
        EXPECT_TRUE(line.contains(";" + texts[i].written + ";")) << "text " << i << ": " << line.toStdString();
        EXPECT_TRUE(line.contains(";\"-1,5\";")) << line.toStdString();  // numbers are no texts: no apostrophe
    }

    DbfTable target;
    createBookings(target, dir.path(), QStringLiteral("records_1_2015.dbf"));
    CsvImport csvImport(target, 2015);
    const CsvImportResult result = csvImport.importBytes(bytes);
    EXPECT_EQ(result.added, int(texts.size()));
    EXPECT_TRUE(result.refused.empty());
    EXPECT_EQ(rows(target), rows(source));
}

TEST(CsvRoundTrip, ExportWritesTheFilteredJournalInItsOrderAsCp1252) {
    TempFolder dir;
    DbfTable t;
    createBookings(t, dir.path());
    addBooking(t, QDate(2014, 5, 1), "E", QStringLiteral("2"), QStringLiteral("Größe"), 10, 19, 1);
    addBooking(t, QDate(2014, 4, 1), "A", QStringLiteral("1"), QStringLiteral("Strom"), 20, 19, 0);
    addBooking(t, QDate(2014, 3, 1), "E", QStringLiteral("3"), QStringLiteral("Gebühr"), 30, 19, 1);
    t.setOnFilterRecord([](const DbfTable& r) { return r.Fields(Booking::Art).AsString() == QStringLiteral("E"); });
    t.setFiltered(true);
    t.AddIndex(QStringLiteral("DATUM"), QStringLiteral("DATUM"));
    t.setIndexName(QStringLiteral("DATUM"));
    t.First();
    t.Next();
    int count = 0;
    const QByteArray bytes = CsvExport::toBytes(t, &count);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(bytes, QByteArray("\"01.03.2014\";\"E\";\"3\";\"Geb\xfchr\";\"30\";\"19\";\"1\";\"\";\"\";\"0\";\"0\"\r\n"
                                "\"01.05.2014\";\"E\";\"2\";\"Gr\xf6\xdf"
                                "e\";\"10\";\"19\";\"1\";\"\";\"\";\"0\";\"0\"\r\n"));
    EXPECT_EQ(t.RecNo(), 1);  // the journal's cursor stays where it was
}

TEST(CsvRoundTrip, FailedExportKeepsThePreviousFile) {
    exchangetest::SmallTmpfs disk(16);
    if (!disk.mounted()) GTEST_SKIP() << "needs root and permission to mount a small tmpfs";
    TempFolder dir;
    DbfTable t;
    createBookings(t, dir.path());
    for (int i = 0; i < 400; ++i)
        addBooking(t, QDate(2014, 1, 1), "E", QString::number(i), QStringLiteral("Ein längerer Buchungstext"), i, 19,
                   1);
    const QString csv = disk.path() + QStringLiteral("/export.csv");
    testsupport::writeFile(csv, "alt\r\n");
    EXPECT_THROW(CsvExport::writeFile(t, csv), QuorvelError);
    EXPECT_EQ(testsupport::readFile(csv), QByteArray("alt\r\n"));
    EXPECT_EQ(QDir(disk.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("export.csv")});
}

TEST(CsvRoundTrip, TextsBeyondCodePage1252AreWrittenAsUtf8AndReadBack) {
    TempFolder dir;
    testsupport::RawDbf raw;
    raw.languageDriver = 0xC9;  // Russian Windows, code page 1251
    raw.fields = {{"DATUM", 'D', 8, 0}, {"ART", 'C', 1, 0}, {"TEXT", 'C', 20, 0}};
    raw.addRecord({"20140102", "E", "\xCC\xE8\xF0"});  // "Мир"
    raw.write(dir.file(QStringLiteral("cyr.dbf")));
    DbfTable source;
    source.setFilePath(dir.path());
    source.setTableName(QStringLiteral("cyr.dbf"));
    source.Open();
    const QByteArray bytes = CsvExport::toBytes(source);
    EXPECT_TRUE(bytes.startsWith("\xEF\xBB\xBF"));
    EXPECT_TRUE(bytes.contains(QStringLiteral("Мир").toUtf8()));

    raw.records.clear();
    raw.write(dir.file(QStringLiteral("cyr2.dbf")));
    DbfTable target;
    target.setFilePath(dir.path());
    target.setTableName(QStringLiteral("cyr2.dbf"));
    target.Open();
    CsvImport csvImport(target, 2014);
    EXPECT_EQ(csvImport.importBytes(bytes).added, 1);
    EXPECT_EQ(rows(target), rows(source));
}

TEST(RecordText, BookingOfTheLastDayOf2014) {
    TempFolder dir;
    DbfTable t;
    createBookings(t, dir.path());
    addBooking(t, QDate(2014, 12, 31), "E", QStringLiteral("17"), QStringLiteral("Miete"), 119, 19, 1, 0, 0);
    t.First();
    EXPECT_EQ(RecordText::compose(t), QStringLiteral("DATUM:              \t31.12.2014\n"
                                                     "ART:                \tE\n"
                                                     "BELEG:              \t17\n"
                                                     "TEXT:               \tMiete\n"
                                                     "BRUTTO:             \t119\n"
                                                     "MWST:               \t19\n"
                                                     "KONTO:              \t1\n"
                                                     "MWST2:              \t\n"
                                                     "NETTO:              \t\n"
                                                     "SAMMELKONT:         \t0\n"
                                                     "KOSTENSTEL:         \t0"));
}

}  // namespace
