#include <gtest/gtest.h>

#include <QLocale>

#include "ExchangeTestUtil.h"
#include "exchange/CsvFormat.h"
#include "exchange/CsvImport.h"
#include "storage/DayNumber.h"

using exchangetest::createBookings;
using exchangetest::rows;
using testsupport::TempFolder;

namespace {

// Files as other programs write them, and the bookings they must give (the first fields of each row;
// the rest are expected empty).
struct ImportCase {
    const char* name;
    QByteArray file;
    bool skipHeading;
    std::vector<QStringList> expected;
    int rejected = 0;
    int shortened = 0;
    int surplusLines = 0;
};

const QString kEmpty;

QStringList full(QStringList first) {
    while (first.size() < 11) first << kEmpty;
    return first;
}

std::vector<ImportCase> importCases() {
    using L = QStringList;
    return {
        {"PlainLine",
         "31.12.2014;E;17;Miete;119;19;1\r\n",
         false,
         {L{"31.12.2014", "E", "17", "Miete", "119", "19", "1"}}},
        {"LfAndCrLfAndEmptyLines",
         "1.1.2014;E;1\n\r\n2.1.2014;A;2\r\n\n3.1.2014;E;3",
         false,
         {L{"01.01.2014", "E", "1"}, L{"02.01.2014", "A", "2"}, L{"03.01.2014", "E", "3"}}},
        {"QuotedLineSameAsPlain", "\"31.12.2014\";\"E\";\"17\"\r\n", false, {L{"31.12.2014", "E", "17"}}},
        {"BankStyleQuotedTextBareNumbers",
         "\"31.12.2014\";\"E\";\"17\";\"Miete\";119,50;19;1\r\n",
         false,
         {L{"31.12.2014", "E", "17", "Miete", "119,5", "19", "1"}}},
        {"QuotedSemicolonAndDoubledQuotes",
         "\"5.1.2014\";\"A\";\"8\";\"Tank; \"\"Aral\"\" Nord\";50\r\n",
         false,
         {L{"05.01.2014", "A", "8", "Tank; \"Aral\" Nord", "50"}}},
        {"CommaSeparatedQuoted",
         "\"31.12.2014\",\"E\",\"17\",\"Miete\",\"119,00\"\r\n",
         false,
         {L{"31.12.2014", "E", "17", "Miete", "119"}}},
        {"QuotesInPlainLineAreText",
         "1.1.2014;E;1;Er sagte \"ja\"\r\n",
         false,
         {L{"01.01.2014", "E", "1", "Er sagte \"ja\""}}},
        {"LastFieldWithoutSemicolon", "1.2.2015;X;c\r\n", false, {L{"01.02.2015", "X", "c"}}},
        {"TrailingSemicolonGivesNoField", "1.2.2015;X;\r\n", false, {L{"01.02.2015", "X"}}},
        {"Escapes",
         "1.1.2014;E;1;Zeile1\\nZeile2;;;;;;;\r\n2.1.2014;E;2;C:\\\\temp\r\n3.1.2014;E;3;a\\rb\\xc\\\r\n",
         false,
         {L{"01.01.2014", "E", "1", "Zeile1\nZeile2"}, L{"02.01.2014", "E", "2", "C:\\temp"},
          L{"03.01.2014", "E", "3", "a\rb\\xc\\"}}},
        {"Cp1252Umlauts",
         "1.1.2014;A;1;B\xfc"
         "rom\xf6"
         "bel M\xfcller \x80 \xdf\r\n",
         false,
         {L{"01.01.2014", "A", "1", QStringLiteral("Büromöbel Müller € ß")}}},
        {"Utf8WithByteOrderMark",
         "\xEF\xBB\xBF"
         "1.1.2014;A;1;B\xC3\xBCro\r\n",
         false,
         {L{"01.01.2014", "A", "1", QStringLiteral("Büro")}}},
        {"HeadingSkipped",
         "Datum;Art;Beleg;Text;Brutto\r\n1.1.2014;E;1;Miete;10\r\n",
         true,
         {L{"01.01.2014", "E", "1", "Miete", "10"}}},
        {"RowsOfBareSeparatorsCarryNoBooking",
         "1.1.2014;E;1\r\n;;;;\r\n\"\";\"\"\r\n",
         false,
         {L{"01.01.2014", "E", "1"}}},
        {"OnlyHeadingSkipped", "Datum;Art;Beleg;Text;Brutto\r\n", true, {}},
        {"HeadingNotSkipped", "Datum;Art;Beleg;Text;Brutto\r\n", false, {L{"", "A", "Beleg", "Text", ""}}, 2, 1},
        {"PointAmountInCommaLocale",
         "1.1.2014;E;1;Miete;119.50;19;1\r\n",
         false,
         {L{"01.01.2014", "E", "1", "Miete", "119,5", "19", "1"}}},
        {"IsoDate", "2014-03-01;A;5\r\n", false, {L{"01.03.2014", "A", "5"}}},
        {"ValuesThatDoNotConvert",
         "31.13.2014;E;1;Miete;zwölf;19;x\r\n",
         false,
         {L{"", "E", "1", "Miete", "", "19", ""}},
         3},
        {"SurplusFieldsDropped",
         "1.1.2014;E;1;T;1;2;3;4;5;6;7;extra;mehr\r\n",
         false,
         {L{"01.01.2014", "E", "1", "T", "1", "2", "3", "4", "5", "6", "7"}},
         0,
         0,
         1},
        {"EmptySurplusIsNoLoss",
         "1.1.2014;E;1;T;1;2;3;4;5;6;7;;\r\n",
         false,
         {L{"01.01.2014", "E", "1", "T", "1", "2", "3", "4", "5", "6", "7"}}},
    };
}

class CsvImportCases : public ::testing::TestWithParam<ImportCase> {};

TEST_P(CsvImportCases, StoresEveryValueOrReportsIt) {
    const ImportCase& c = GetParam();
    TempFolder dir;
    DbfTable table;
    createBookings(table, dir.path());
    CsvImport csvImport(table, 2014);
    csvImport.setSkipHeading(c.skipHeading);
    const CsvImportResult result = csvImport.importBytes(c.file);

    const auto got = rows(table);
    ASSERT_EQ(got.size(), c.expected.size());
    for (size_t i = 0; i < got.size(); ++i) EXPECT_EQ(got[i], full(c.expected[i])) << "row " << i;
    EXPECT_EQ(result.added, int(c.expected.size()));
    EXPECT_EQ(int(result.rejected.size()), c.rejected);
    EXPECT_EQ(int(result.shortened.size()), c.shortened);
    EXPECT_EQ(result.surplusLines, c.surplusLines);
}

INSTANTIATE_TEST_SUITE_P(Files, CsvImportCases, ::testing::ValuesIn(importCases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CsvImport, SummaryNamesLineFieldAndTextOfWhatWasNotTaken) {
    TempFolder dir;
    DbfTable table;
    createBookings(table, dir.path());
    CsvImport csvImport(table, 2014);
    const CsvImportResult result =
        csvImport.importBytes("31.12.2014;E;17;Miete;119;19;1\r\n1.1.2015;E;18;Strom;zwanzig\r\n");
    EXPECT_EQ(result.added, 2);
    EXPECT_EQ(result.outsideYear, 1);
    ASSERT_EQ(result.rejected.size(), 1u);
    EXPECT_EQ(result.rejected[0].line, 2);
    EXPECT_EQ(result.rejected[0].field, 5);
    const QString summary = result.summary();
    EXPECT_TRUE(summary.contains(QStringLiteral("2 Buchungen wurden importiert."))) << summary.toStdString();
    EXPECT_TRUE(summary.contains(QStringLiteral("1 davon sind nicht im Buchungsjahr 2014"))) << summary.toStdString();
    EXPECT_TRUE(summary.contains(QStringLiteral("Zeile 2, Feld 5 (BRUTTO): \"zwanzig\""))) << summary.toStdString();
}

TEST(CsvImport, EnglishLocaleReadsItsOwnFormats) {
    const testsupport::ScopedLocale english(QLocale(QLocale::English, QLocale::UnitedStates));
    TempFolder dir;
    DbfTable table;
    createBookings(table, dir.path());
    CsvImport csvImport(table, 2014);
    const CsvImportResult result = csvImport.importBytes("12/31/2014;E;17;Miete;119.5;19;1\r\n");
    EXPECT_TRUE(result.rejected.empty());
    table.First();
    EXPECT_EQ(table.Fields(0).AsDateTime(), DayNumber::fromDate(QDate(2014, 12, 31)));
    EXPECT_DOUBLE_EQ(table.Fields(4).AsFloat(), 119.5);
}

TEST(CsvImport, CancelKeepsWhatWasPostedAndSaysHowMany) {
    TempFolder dir;
    DbfTable table;
    createBookings(table, dir.path());
    QByteArray file;
    for (int i = 1; i <= 3000; ++i) file += "1.1.2014;E;" + QByteArray::number(i) + ";Text;1\r\n";
    int calls = 0;
    CsvImport csvImport(table, 2014);
    csvImport.setProgress([&](qint64, qint64) { return ++calls < 3; });
    const CsvImportResult result = csvImport.importBytes(file);
    EXPECT_TRUE(result.cancelled);
    EXPECT_EQ(result.added, 1024);
    EXPECT_EQ(table.RecordCount(), 1024);
    EXPECT_EQ(table.state(), DbfTable::State::Browse);
    EXPECT_TRUE(result.summary().contains(QStringLiteral("1024 Buchungen wurden importiert. Sie bleiben gespeichert")));
}  // namespace

TEST(CsvImport, FullDiskEndsTheImportWithAReasonAndKeepsThePostedBookings) {
    exchangetest::SmallTmpfs disk(64);
    if (!disk.mounted()) GTEST_SKIP() << "needs root and permission to mount a small tmpfs";
    DbfTable table;
    createBookings(table, disk.path() + QLatin1Char('/'));
    QByteArray file;
    for (int i = 1; i <= 1000; ++i) file += "1.1.2014;E;" + QByteArray::number(i) + ";Text;1\r\n";
    CsvImport csvImport(table, 2014);
    const CsvImportResult result = csvImport.importBytes(file);
    EXPECT_GT(result.stoppedAtLine, 1);
    EXPECT_EQ(result.added, result.stoppedAtLine - 1);
    EXPECT_FALSE(result.stopReason.isEmpty());
    EXPECT_EQ(table.state(), DbfTable::State::Browse);
    table.Close();
    table.Open();
    EXPECT_EQ(table.RecordCount(), result.added);
}

TEST(CsvImport, UnreadableFileGivesTheOpenMessage) {
    TempFolder dir;
    try {
        CsvImport::readFile(dir.file(QStringLiteral("fehlt.csv")));
        FAIL() << "no error";
    } catch (const QuorvelError& e) {
        EXPECT_EQ(e.message(), CsvImport::openErrorText);
    }
}

TEST(CsvFormat, QuotedLineKeepsItsBareValuesInOrder) {
    EXPECT_EQ(CsvFormat::splitLine(QStringLiteral("\"a\";12;\"b\"")),
              (QStringList{QStringLiteral("a"), QStringLiteral("12"), QStringLiteral("b")}));
    EXPECT_EQ(CsvFormat::splitLine(QStringLiteral("\"a\";;\"\";\"unclosed")),
              (QStringList{QStringLiteral("a"), QString(), QString(), QStringLiteral("unclosed")}));
}

}  // namespace
