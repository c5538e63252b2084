// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QLocale>
#include <QRandomGenerator>

#include "startup/BookingSchema.h"
#include "ExchangeTestUtil.h"
#include "exchange/CsvFormat.h"
#include "exchange/CsvImport.h"
#include "exchange/CsvValues.h"
#include "storage/DayNumber.h"
#include "storage/LocaleFormat.h"
#include "support/FailingFileIo.h"

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
    int refused = 0;  // problems named (a refused line may have several)
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
         "1.1.2014;E;1;a;1\n\r\n2.1.2014;A;2;b;2\r\n\n3.1.2014;E;3;c;3",
         false,
         {L{"01.01.2014", "E", "1", "a", "1"}, L{"02.01.2014", "A", "2", "b", "2"},
          L{"03.01.2014", "E", "3", "c", "3"}}},
        {"QuotedLineSameAsPlain",
         "\"31.12.2014\";\"E\";\"17\";\"\";\"5\"\r\n",
         false,
         {L{"31.12.2014", "E", "17", "", "5"}}},
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
         "1.1.2014;E;1;Er sagte \"ja\";1\r\n",
         false,
         {L{"01.01.2014", "E", "1", "Er sagte \"ja\"", "1"}}},
        {"LastFieldWithoutSemicolon", "1.2.2015;S;c;d;7\r\n", false, {L{"01.02.2015", "S", "c", "d", "7"}}},
        {"TrailingSemicolonGivesNoField", "1.2.2015;N;x;y;8;\r\n", false, {L{"01.02.2015", "N", "x", "y", "8"}}},
        {"Escapes",
         "1.1.2014;E;1;Zeile1\\nZeile2;1;;;;;;\r\n2.1.2014;E;2;C:\\\\temp;2\r\n3.1.2014;E;3;a\\rb\\xc\\;3\r\n",
         false,
         {L{"01.01.2014", "E", "1", "Zeile1\nZeile2", "1"}, L{"02.01.2014", "E", "2", "C:\\temp", "2"},
          L{"03.01.2014", "E", "3", "a\rb\\xc\\", "3"}}},
        {"Cp1252Umlauts",
         "1.1.2014;A;1;B\xfc"
         "rom\xf6"
         "bel M\xfcller \x80 \xdf;9\r\n",
         false,
         {L{"01.01.2014", "A", "1", QStringLiteral("Büromöbel Müller € ß"), "9"}}},
        {"Utf8WithByteOrderMark",
         "\xEF\xBB\xBF"
         "1.1.2014;A;1;B\xC3\xBCro;9\r\n",
         false,
         {L{"01.01.2014", "A", "1", QStringLiteral("Büro"), "9"}}},
        {"Utf8WithoutByteOrderMark",
         "1.1.2014;A;1;B\xC3\xBCro M\xC3\xBCller \xE2\x82\xAC;9\r\n",
         false,
         {L{"01.01.2014", "A", "1", QStringLiteral("Büro Müller €"), "9"}}},
        {"Cp1252ThatIsNoUtf8StaysCp1252",
         "1.1.2014;A;1;\xC3\xBC\xFC;9\r\n",
         false,
         {L{"01.01.2014", "A", "1", QStringLiteral("Ã¼ü"), "9"}}},
        {"HeadingSkipped",
         "Datum;Art;Beleg;Text;Brutto\r\n1.1.2014;E;1;Miete;10\r\n",
         true,
         {L{"01.01.2014", "E", "1", "Miete", "10"}}},
        {"RowsOfBareSeparatorsCarryNoBooking",
         "1.1.2014;E;1;t;1\r\n;;;;\r\n\"\";\"\"\r\n",
         false,
         {L{"01.01.2014", "E", "1", "t", "1"}}},
        {"OnlyHeadingSkipped", "Datum;Art;Beleg;Text;Brutto\r\n", true, {}},
        // Not skipped, a heading is no booking: it has no date, no kind and no amount.
        {"HeadingNotSkippedIsRefused", "Datum;Art;Beleg;Text;Brutto\r\n", false, {}, 3},
        {"PointAmountInCommaLocale",
         "1.1.2014;E;1;Miete;119.50;19;1\r\n",
         false,
         {L{"01.01.2014", "E", "1", "Miete", "119,5", "19", "1"}}},
        {"BothSeparatorsTheLastIsTheDecimalMark",
         "1.1.2014;E;1;a;1.234,56\r\n1.1.2014;E;2;b;1,234.56\r\n1.1.2014;E;3;c;-1.234.567,8\r\n1.1.2014;E;4;d;1."
         "234\r\n",
         false,
         {L{"01.01.2014", "E", "1", "a", "1234,56"}, L{"01.01.2014", "E", "2", "b", "1234,56"},
          L{"01.01.2014", "E", "3", "c", "-1234567,8"}, L{"01.01.2014", "E", "4", "d", "1234"}}},
        {"IsoDate", "2014-03-01;A;5;x;1\r\n", false, {L{"01.03.2014", "A", "5", "x", "1"}}},
        {"TwoDigitYearInTheBookingYearsCentury", "3.1.14;A;5;x;1\r\n", false, {L{"03.01.2014", "A", "5", "x", "1"}}},
        {"ValuesThatDoNotConvertRefuseTheLine", "31.13.2014;E;1;Miete;zwölf;19;x\r\n", false, {}, 3},
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
        {"TextTooLongIsCutAndNamed",
         "1.1.2014;E;123456789012345678901;T;1\r\n",
         false,
         {L{"01.01.2014", "E", "12345678901234567890", "T", "1"}},
         0,
         1},
    };
}

// Lines that must not become bookings, each with the field named and why.
struct RefusedCase {
    const char* name;
    QByteArray line;
    int field;  // the first field named
    const char* why;
};

std::vector<RefusedCase> refusedCases() {
    return {
        {"ThousandsWithPointAsDecimal", "1.1.2014;E;1;a;1,234.56x", 5, "kein eindeutiger Betrag"},
        {"DoubledComma", "1.1.2014;E;1;a;12,,5", 5, "kein eindeutiger Betrag"},
        {"ThreePointGroups", "1.1.2014;E;1;a;12.34.56", 5, "kein eindeutiger Betrag"},
        {"ShortGroups", "1.1.2014;E;1;a;1.2.3", 5, "kein eindeutiger Betrag"},
        {"DateInTheAmountColumn", "1.1.2014;E;1;a;11.01.2026", 5, "kein eindeutiger Betrag"},
        {"BadGroupingWithBothSeparators", "1.1.2014;E;1;a;12.34,5", 5, "kein eindeutiger Betrag"},
        {"TwoDecimalMarks", "1.1.2014;E;1;a;1,2.3,4", 5, "kein eindeutiger Betrag"},
        {"CurrencySign", "1.1.2014;E;1;a;12,50 €", 5, "kein eindeutiger Betrag"},
        {"NoAmount", "1.1.2014;E;1;a;", 5, "kein Betrag"},
        {"IncompleteLine", "11.01.2026;E", 5, "kein Betrag"},
        {"DateWithTooLongDay", "1231.12.2026;E;1;a;1", 1, "kein Datum"},
        {"DateWithTextBehind", "31.12.2026x;E;1;a;1", 1, "kein Datum"},
        {"IsoDateWithTimeBehind", "2026-12-31T10:00;E;1;a;1", 1, "kein Datum"},
        {"ThreeDigitYear", "31.12.201;E;1;a;1", 1, "kein Datum"},
        {"NoDate", ";E;1;a;1", 1, "kein Datum"},
        {"LowerCaseKind", "1.1.2014;e;1;a;1", 2, "keine Buchungsart"},
        {"OtherKind", "1.1.2014;Z;1;a;1", 2, "keine Buchungsart"},
        {"NoKind", "1.1.2014;;1;a;1", 2, "keine Buchungsart"},
        {"HexAccount", "1.1.2014;E;1;a;1;19;x7", 7, "keine ganze Zahl"},
        {"DollarHexAccount", "1.1.2014;E;1;a;1;19;$1F", 7, "keine ganze Zahl"},
        {"ZeroXAccount", "1.1.2014;E;1;a;1;19;0x10", 7, "keine ganze Zahl"},
        {"RateThatIsNoNumber", "1.1.2014;E;1;a;1;neunzehn", 6, "keine eindeutige Zahl"},
        {"TextOutsideTheCodePage", "1.1.2014;E;1;\xC3\x84\xE2\x82\xAC\xE2\x86\x92;1", 4, "nicht speichern"},
    };
}

class CsvImportRefused : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(CsvImportRefused, LineIsNotBookedAndNamed) {
    const RefusedCase& c = GetParam();
    TempFolder dir;
    DbfTable table;
    createBookings(table, dir.path());
    CsvImport csvImport(table, 2014);
    // UTF-8 so that the last case can hold a character code page 1252 lacks.
    const CsvImportResult result = csvImport.importBytes(
        "\xEF\xBB\xBF"
        "1.1.2014;E;1;gut;1\r\n" +
        c.line + "\r\n1.1.2014;E;3;gut;3\r\n");
    EXPECT_EQ(result.added, 2);
    EXPECT_EQ(table.RecordCount(), 2);
    EXPECT_EQ(result.refusedLines, 1);
    ASSERT_FALSE(result.refused.empty());
    EXPECT_EQ(result.refused[0].line, 2);
    EXPECT_EQ(result.refused[0].field, c.field);
    EXPECT_TRUE(result.refused[0].why.contains(QString::fromUtf8(c.why))) << result.refused[0].why.toStdString();
    const QString summary = result.summary();
    EXPECT_TRUE(summary.contains(QStringLiteral("1 Zeile wurde nicht gebucht"))) << summary.toStdString();
    EXPECT_TRUE(summary.contains(QStringLiteral("Zeile 2, Feld %1").arg(c.field))) << summary.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Lines, CsvImportRefused, ::testing::ValuesIn(refusedCases()),
                         [](const auto& info) { return std::string(info.param.name); });

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
    EXPECT_EQ(int(result.refused.size()), c.refused);
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
    const CsvImportResult result = csvImport.importBytes(
        "31.12.2014;E;17;Miete;119;19;1\r\n1.1.2015;E;18;Strom;zwanzig\r\n"
        "2.1.2015;E;19;Gas;20\r\n");
    EXPECT_EQ(result.added, 2);
    EXPECT_EQ(result.outsideYear, 1);
    ASSERT_EQ(result.refused.size(), 1u);
    EXPECT_EQ(result.refused[0].line, 2);
    EXPECT_EQ(result.refused[0].field, 5);
    const QString summary = result.summary();
    EXPECT_TRUE(summary.contains(QStringLiteral("2 Buchungen wurden importiert."))) << summary.toStdString();
    EXPECT_TRUE(summary.contains(QStringLiteral("1 davon sind nicht im Buchungsjahr 2014"))) << summary.toStdString();
    EXPECT_TRUE(summary.contains(QStringLiteral("Zeile 2, Feld 5 (BRUTTO): „zwanzig“ ist kein eindeutiger Betrag")))
        << summary.toStdString();
}

TEST(CsvImport, EnglishLocaleReadsItsOwnFormats) {
    const testsupport::ScopedLocale english(QLocale(QLocale::English, QLocale::UnitedStates));
    TempFolder dir;
    DbfTable table;
    createBookings(table, dir.path());
    CsvImport csvImport(table, 2014);
    const CsvImportResult result = csvImport.importBytes("12/31/2014;E;17;Miete;119.5;19;1\r\n");
    EXPECT_TRUE(result.refused.empty());
    table.First();
    EXPECT_EQ(table.Fields(Booking::Datum).AsDateTime(), DayNumber::fromDate(QDate(2014, 12, 31)));
    EXPECT_DOUBLE_EQ(table.Fields(Booking::Brutto).AsFloat(), 119.5);
}

// Whatever the locale's own number reading takes, an amount reads as just that value, in either locale.
TEST(CsvImport, AmountsTheLocaleReadsKeepItsValue) {
    QRandomGenerator rng(5);
    QStringList texts{"0",     "-0",     "+7",    "119,50", "119.50", "-0,01", "1.234", "1,234", "007,10",
                      ",5",    "5,",     "1e3",   "12,5e-1", "--1",   "1,2,3", "99999999999999999999,99"};
    for (int i = 0; i < 3000; ++i) {
        const QString sign = rng.bounded(4) == 0 ? QStringLiteral("-") : QString();
        const QString separator = rng.bounded(2) ? QStringLiteral(",") : QStringLiteral(".");
        texts << sign + QString::number(rng.bounded(100000000)) + separator + QString::number(rng.bounded(1000));
    }
    for (const QLocale& locale : {QLocale(QLocale::German, QLocale::Germany), QLocale(QLocale::English)}) {
        const testsupport::ScopedLocale scoped(locale);
        for (const QString& text : texts) {
            double expected = 0;
            if (!LocaleFormat::parseFloat(text, &expected)) continue;
            const std::optional<double> read = CsvValues::readAmount(QStringLiteral(" %1 ").arg(text));
            ASSERT_TRUE(read.has_value()) << text.toStdString();
            EXPECT_EQ(*read, expected) << text.toStdString() << " in " << locale.name().toStdString();
        }
    }
}

// A long file is read in pieces side by side: refusals, duplicates (of a stored booking, of a line far
// before) and empty lines are still found in the order of the file, across the pieces' borders.
TEST(CsvImport, LongFileReadsAsOneWhole) {
    TempFolder dir;
    DbfTable table;
    createBookings(table, dir.path());
    CsvImport stored(table, 2014);
    ASSERT_EQ(stored.importBytes("2.1.2014;E;B7;Gespeichert;7\r\n").added, 1);
    QByteArray file = "\xEF\xBB\xBFDatum;Art;Beleg;Text;Brutto\r\n1.1.2014;E;L1;Zeile;1\r\n";
    std::vector<int> refusedAt;
    int lines = 2, good = 1, duplicates = 0, empty = 0;
    QRandomGenerator rng(3);
    while (lines < 20000) {
        ++lines;
        switch (rng.bounded(40)) {
            case 0:
                file += "1.1.2014;E;1;kaputt;zwölf\r\n";
                refusedAt.push_back(lines);
                break;
            case 1:
                file += rng.bounded(2) ? "2.1.2014;E;B7;Gespeichert;7\r\n" : "1.1.2014;E;L1;Zeile;1\r\n";
                ++duplicates;
                break;
            case 2:
                file += ";;;\r\n";
                ++empty;
                break;
            default:
                file += "1.1.2014;E;L" + QByteArray::number(lines) + ";Zeile;1\r\n";
                ++good;
        }
    }
    CsvImport csvImport(table, 2014);
    csvImport.setSkipHeading(true);
    int asked = -1;
    csvImport.setDuplicateQuestion([&](int n) {
        asked = n;
        return CsvDuplicateChoice::Skip;
    });
    const CsvImportResult result = csvImport.importBytes(file);
    EXPECT_EQ(asked, duplicates);
    EXPECT_EQ(result.emptyLines, empty);
    EXPECT_EQ(result.added, good);
    ASSERT_EQ(result.refused.size(), refusedAt.size());
    for (size_t i = 0; i < refusedAt.size(); ++i) EXPECT_EQ(result.refused[i].line, refusedAt[i]);
    EXPECT_EQ(table.RecordCount(), 1 + good);
}

TEST(CsvImport, CancelKeepsWhatWasPostedAndSaysHowMany) {
    TempFolder dir;
    DbfTable table;
    createBookings(table, dir.path());
    QByteArray file;
    for (int i = 1; i <= 3000; ++i) file += "1.1.2014;E;" + QByteArray::number(i) + ";Text;1\r\n";
    // Cancelled at the first step of posting: after the reading of the whole file (a third of the work).
    CsvImport csvImport(table, 2014);
    qint64 cancelledAt = -1;
    csvImport.setProgress([&](qint64 done, qint64 total) {
        if (done <= total / 3) return true;
        cancelledAt = done;
        return false;
    });
    const CsvImportResult result = csvImport.importBytes(file);
    EXPECT_GT(cancelledAt, 0);
    EXPECT_TRUE(result.cancelled);
    EXPECT_EQ(result.added, 512);
    EXPECT_EQ(table.RecordCount(), 512);
    EXPECT_EQ(table.state(), DbfTable::State::Browse);
    EXPECT_TRUE(result.summary().contains(QStringLiteral("512 Buchungen wurden importiert. Sie bleiben gespeichert")));

    // Cancelled while the file is being read: nothing is posted.
    CsvImport early(table, 2014);
    early.setProgress([](qint64 done, qint64) { return done == 0; });
    const CsvImportResult none = early.importBytes(file);
    EXPECT_TRUE(none.cancelled);
    EXPECT_EQ(none.added, 0);
    EXPECT_EQ(table.RecordCount(), 512);
}

// The same booking twice: what each answer to the question does. The year holds "Miete" (hidden by the
// journal filter, still a booking of the year); the file holds it again, a new booking, and that new
// booking once more; a booking differing by a cent only is no duplicate.
struct DuplicateCase {
    const char* name;
    CsvDuplicateChoice choice;
    int added;
    const char* said;
};

class CsvImportDuplicates : public ::testing::TestWithParam<DuplicateCase> {};

TEST_P(CsvImportDuplicates, AreCountedAskedOnceAndTreatedAsAnswered) {
    const DuplicateCase& c = GetParam();
    TempFolder dir;
    DbfTable table;
    createBookings(table, dir.path());
    CsvImport(table, 2014).importBytes("31.01.2014;A;7;Miete;500\r\n");
    table.setOnFilterRecord([](const DbfTable& r) { return r.Fields(Booking::Text).AsString() != QStringLiteral("Miete"); });
    table.setFiltered(true);
    ASSERT_EQ(table.RecordCount(), 0);

    int asked = 0, seen = 0;
    CsvImport csvImport(table, 2014);
    csvImport.setDuplicateQuestion([&](int duplicates) {
        ++asked;
        seen = duplicates;
        EXPECT_EQ(table.RecordCount(), 0);  // asked before anything is posted
        return c.choice;
    });
    const CsvImportResult result = csvImport.importBytes(
        "\"31.01.2014\";\"A\";\"7\";\"Miete\";\"500,00\"\r\n"  // as in the year, written another way
        "01.02.2014;E;8;Beratung;119\r\n"
        "1.2.2014;E;8;Beratung;119,00\r\n"      // an earlier line again
        "01.02.2014;E;8;Beratung;119,01\r\n");  // differs by a cent
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(seen, 2);
    EXPECT_EQ(result.duplicates, 2);
    EXPECT_EQ(result.added, c.added);
    EXPECT_TRUE(table.Filtered());
    table.setFiltered(false);
    EXPECT_EQ(table.RecordCount(), 1 + c.added);
    EXPECT_TRUE(result.summary().contains(QString::fromUtf8(c.said))) << result.summary().toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Answers, CsvImportDuplicates,
    ::testing::Values(DuplicateCase{"ImportToo", CsvDuplicateChoice::ImportToo, 4, "Sie wurden trotzdem importiert."},
                      DuplicateCase{"Skip", CsvDuplicateChoice::Skip, 2, "Sie wurden übersprungen."},
                      DuplicateCase{"Cancel", CsvDuplicateChoice::Cancel, 0, "Der Import wurde abgebrochen."}),
    [](const auto& info) { return std::string(info.param.name); });

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

// The bookings go to the file several hundred at a time; a disk that fills up within such a write still ends
// the import at the very line that did not fit, with every line before it stored.
TEST(CsvImport, ADiskFullWithinABatchStopsAtTheLineThatDidNotFit) {
    for (const int fitting : {0, 1, 511, 700}) {
        SCOPED_TRACE(fitting);
        TempFolder dir;
        DbfTable table;
        createBookings(table, dir.path());
        QByteArray file;
        for (int i = 1; i <= 1000; ++i) file += "1.1.2014;E;" + QByteArray::number(i) + ";Text;1\r\n";
        testsupport::IoFaults faults;
        faults.room = qint64(fitting) * table.recordLength() + 1;  // the records and the end mark, no more
        CsvImportResult result;
        {
            testsupport::FailingFileIo io(faults);
            result = CsvImport(table, 2014).importBytes(file);
        }
        EXPECT_EQ(result.stoppedAtLine, fitting + 1);
        EXPECT_EQ(result.added, fitting);
        EXPECT_TRUE(result.stopReason.contains(QStringLiteral("Der Datenträger ist voll")));
        table.Close();
        table.Open();
        EXPECT_EQ(table.RecordCount(), fitting);
    }
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
