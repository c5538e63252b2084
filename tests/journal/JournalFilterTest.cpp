// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QRandomGenerator>
#include <set>

#include "JournalFixtures.h"
#include "journal/Booking.h"
#include "journal/JournalFilter.h"
#include "support/RawDbfWriter.h"

using namespace journaltest;

namespace {

class JournalFilterTest : public ::testing::Test {
protected:
    void add(QDate datum, const QString& text, double brutto = 0, const QString& beleg = {}, double mwst = 19) {
        addBooking(*bookings, {datum, QStringLiteral("E"), beleg, text, brutto, mwst});
    }
    QStringList visibleTexts() { return column(*bookings, 3); }

    testsupport::TempFolder folder;
    std::unique_ptr<DbfTable> bookings = createTable(folder, QStringLiteral("records_1_2024.dbf"), bookingsDefs());
    JournalFilter filter;
};

TEST(JournalFilterUpper, onlyAToZ) {
    const std::pair<const char*, const char*> cases[] = {
        {"müller", "MüLLER"}, {"straße", "STRAßE"}, {"abcXYZ09", "ABCXYZ09"}, {"éà", "éà"}, {"", ""},
        {"31.12.", "31.12."},
    };
    for (auto [in, out] : cases)
        EXPECT_EQ(JournalFilter::asciiUpper(QString::fromUtf8(in)), QString::fromUtf8(out)) << in;
}

TEST_F(JournalFilterTest, muellerFindsAsciiCaseVariantsOnly) {
    for (const char* t : {"MüLLER", "Müller", "MÜLLER", "Meier", "Fa. müller GmbH"})
        add({2024, 1, 5}, QString::fromUtf8(t));
    filter.FilterbtnClick(*bookings, QStringLiteral("müller"));
    EXPECT_EQ(filter.filtertext(), QStringLiteral("MüLLER"));
    EXPECT_TRUE(bookings->Filtered());
    EXPECT_EQ(visibleTexts(), (QStringList{"MüLLER", "Müller", "Fa. müller GmbH"}));
}

TEST_F(JournalFilterTest, abcInAnyCaseThenAllezeigen) {
    add({2024, 1, 1}, QStringLiteral("xAbCx"));
    add({2024, 1, 2}, QStringLiteral("abd"));
    add({2024, 1, 3}, QStringLiteral("Papier"), 0, QStringLiteral("abc-1"));
    add({2024, 1, 4}, QStringLiteral("ABC"));
    filter.FilterbtnClick(*bookings, QStringLiteral("abc"));
    EXPECT_EQ(visibleTexts(), (QStringList{"xAbCx", "Papier", "ABC"}));
    filter.AllezeigenBtnClick(*bookings);
    EXPECT_TRUE(filter.filtertext().isEmpty());
    EXPECT_FALSE(bookings->Filtered());
    EXPECT_EQ(bookings->RecordCount(), 4);
}

TEST_F(JournalFilterTest, textOfADateMatches) {
    add({2014, 12, 31}, QStringLiteral("Silvester"));
    add({2015, 1, 1}, QStringLiteral("Neujahr"));
    add({2015, 1, 2}, QStringLiteral("Rechnung 2014"));
    add({2015, 1, 3}, QStringLiteral("Betrag"), 2014.5);
    filter.FilterbtnClick(*bookings, QStringLiteral("2014"));
    EXPECT_EQ(visibleTexts(), (QStringList{"Silvester", "Rechnung 2014", "Betrag"}));
    filter.FilterbtnClick(*bookings, QStringLiteral("31.12."));
    EXPECT_EQ(visibleTexts(), (QStringList{"Silvester"}));
}

TEST_F(JournalFilterTest, numbersMatchTheirRenderedText) {
    add({2024, 1, 1}, QStringLiteral("a"), 119.5);
    add({2024, 1, 2}, QStringLiteral("b"), 7, {}, 7);
    add({2024, 1, 3}, QStringLiteral("c"), -12.25);
    addBooking(*bookings, {{2024, 1, 4}, QStringLiteral("A"), {}, QStringLiteral("d"), 1, 0, 4711});
    const std::pair<const char*, QStringList> cases[] = {
        {"119,5", {"a"}}, {"119,50", {}}, {"-12,25", {"c"}}, {"471", {"d"}}, {"7", {"b", "d"}}, {"19", {"a", "c"}},
    };
    for (const auto& [text, expected] : cases) {
        filter.FilterbtnClick(*bookings, QString::fromUtf8(text));
        EXPECT_EQ(visibleTexts(), expected) << text;
    }
}

TEST_F(JournalFilterTest, englishLocaleRendersPointsAndItsOwnDates) {
    add({2014, 12, 31}, QStringLiteral("a"), 119.5);
    filter.FilterbtnClick(*bookings, QStringLiteral("31.12.2014"));
    EXPECT_EQ(visibleTexts(), (QStringList{"a"}));
    filter.FilterbtnClick(*bookings, QStringLiteral("119,5"));
    EXPECT_EQ(visibleTexts(), (QStringList{"a"}));

    testsupport::ScopedLocale english(QLocale(QLocale::English, QLocale::UnitedStates));
    filter.AllezeigenBtnClick(*bookings);
    bookings->First();
    const QString englishDate = bookings->Fields(Booking::Datum).AsString();
    ASSERT_NE(englishDate, QStringLiteral("31.12.2014"));
    filter.FilterbtnClick(*bookings, QStringLiteral("31.12.2014"));  // the cached German text must not answer
    EXPECT_TRUE(visibleTexts().isEmpty());
    filter.FilterbtnClick(*bookings, englishDate);
    EXPECT_EQ(visibleTexts(), (QStringList{"a"}));
    filter.FilterbtnClick(*bookings, QStringLiteral("119,5"));
    EXPECT_TRUE(visibleTexts().isEmpty());
    filter.FilterbtnClick(*bookings, QStringLiteral("119.5"));
    EXPECT_EQ(visibleTexts(), (QStringList{"a"}));
}

TEST_F(JournalFilterTest, periodEndsAreInclusive) {
    add({2024, 2, 29}, QStringLiteral("Februar"));
    add({2024, 3, 1}, QStringLiteral("erster März"));
    add({2024, 3, 31}, QStringLiteral("letzter März"));
    add({2024, 4, 1}, QStringLiteral("April"));
    filter.startUp(*bookings, true, CalcZeitraum(PeriodItem::Maerz, 2024));
    EXPECT_TRUE(bookings->Filtered());
    EXPECT_EQ(visibleTexts(), (QStringList{"erster März", "letzter März"}));
    filter.periodChanged(*bookings, CalcZeitraum(PeriodItem::N2Quartal, 2024));
    EXPECT_EQ(visibleTexts(), (QStringList{"April"}));
}

TEST_F(JournalFilterTest, periodChangeWithoutPeriodFilterKeepsTheView) {
    add({2024, 3, 1}, QStringLiteral("März"));
    add({2024, 4, 1}, QStringLiteral("April"));
    filter.startUp(*bookings, false, CalcZeitraum(PeriodItem::Maerz, 2024));
    EXPECT_FALSE(bookings->Filtered());
    filter.periodChanged(*bookings, CalcZeitraum(PeriodItem::April, 2024));
    EXPECT_FALSE(bookings->Filtered());
    EXPECT_EQ(bookings->RecordCount(), 2);
}

TEST_F(JournalFilterTest, toggleSequenceKeepsTheHeldTextFilter) {
    add({2024, 3, 2}, QStringLiteral("Miete März"));
    add({2024, 3, 3}, QStringLiteral("Strom März"));
    add({2024, 4, 2}, QStringLiteral("Miete April"));
    const Zeitraum maerz = CalcZeitraum(PeriodItem::Maerz, 2024);
    filter.startUp(*bookings, true, maerz);
    filter.FilterbtnClick(*bookings, QStringLiteral("miete"));
    EXPECT_EQ(visibleTexts(), (QStringList{"Miete März"}));

    // The user empties the edit (without pressing "Filtern") and switches the period filter off.
    filter.setZeitraum(maerz);
    filter.FilternnachZeitraumToggled(*bookings, false, QString());
    EXPECT_FALSE(bookings->Filtered());
    EXPECT_EQ(filter.filtertext(), QStringLiteral("MIETE"));
    EXPECT_EQ(bookings->RecordCount(), 3);

    // On again: the held text filter applies together with the period.
    filter.FilternnachZeitraumToggled(*bookings, true, QString());
    EXPECT_TRUE(bookings->Filtered());
    EXPECT_EQ(visibleTexts(), (QStringList{"Miete März"}));

    // Off with text in the edit: filtering stays on, with the held text and no period.
    filter.FilternnachZeitraumToggled(*bookings, false, QStringLiteral("egal"));
    EXPECT_TRUE(bookings->Filtered());
    EXPECT_EQ(visibleTexts(), (QStringList{"Miete März", "Miete April"}));
}

TEST_F(JournalFilterTest, filteringIsOnExactlyWhenSomethingCanBeRejected) {
    struct Case {
        bool period;
        const char* text;
        bool filtered;
    };
    const Case cases[] = {{false, "", false}, {false, "x", true}, {true, "", true}, {true, "x", true}};
    for (const Case& c : cases) {
        filter.startUp(*bookings, c.period, CalcZeitraum(PeriodItem::GanzesJahr, 2024));
        filter.FilterbtnClick(*bookings, QString::fromUtf8(c.text));
        EXPECT_EQ(bookings->Filtered(), c.filtered) << c.period << c.text;
        EXPECT_EQ(filter.filtering(), c.filtered);
        filter.AllezeigenBtnClick(*bookings);
        EXPECT_EQ(bookings->Filtered(), c.period);
    }
}

TEST_F(JournalFilterTest, stateCarriesOverToAReopenedTable) {
    add({2024, 3, 2}, QStringLiteral("Miete"));
    add({2024, 3, 3}, QStringLiteral("Strom"));
    filter.FilterbtnClick(*bookings, QStringLiteral("miete"));
    bookings->Close();

    DbfTable reopened;
    reopened.setFilePath(folder.path());
    reopened.setTableName(QStringLiteral("records_1_2024.dbf"));
    reopened.Open();
    filter.attachTo(reopened);
    EXPECT_TRUE(reopened.Filtered());
    EXPECT_EQ(column(reopened, 3), (QStringList{"Miete"}));
}

TEST_F(JournalFilterTest, commandsOnAClosedTableAreKept) {
    bookings->Close();
    EXPECT_NO_THROW(filter.FilterbtnClick(*bookings, QStringLiteral("x")));
    EXPECT_TRUE(filter.filtering());
    bookings->Open();
    filter.attachTo(*bookings);
    EXPECT_TRUE(bookings->Filtered());
}

TEST_F(JournalFilterTest, theCallbackOutlivesTheFilterObject) {
    add({2024, 3, 2}, QStringLiteral("Miete"));
    add({2024, 3, 3}, QStringLiteral("Strom"));
    {
        JournalFilter shortLived;
        shortLived.FilterbtnClick(*bookings, QStringLiteral("strom"));
    }
    bookings->Refresh();  // evaluates the callback again
    EXPECT_EQ(visibleTexts(), (QStringList{"Strom"}));
}

// The filter renders numbers and dates its own way for speed; whatever it does must agree with matching
// against the table layer's own text of every field.
class FilterAgreementTest : public JournalFilterTest {
protected:
    std::set<int> referenceRows(const QString& needle) {
        const QString upper = JournalFilter::asciiUpper(needle);
        std::set<int> rows;
        bookings->setFiltered(false);
        int row = 0;
        for (bookings->First(); !bookings->Eof(); bookings->Next(), ++row) {
            for (int f = 0; f < bookings->FieldCount(); ++f) {
                if (JournalFilter::asciiUpper(bookings->Fields(f).AsString()).contains(upper)) {
                    rows.insert(bookings->physicalRecNo());
                    break;
                }
            }
        }
        return rows;
    }
    std::set<int> filteredRows(const QString& needle) {
        filter.FilterbtnClick(*bookings, needle);
        std::set<int> rows;
        for (bookings->First(); !bookings->Eof(); bookings->Next()) rows.insert(bookings->physicalRecNo());
        filter.AllezeigenBtnClick(*bookings);
        return rows;
    }
    void expectAgreement(const QStringList& needles) {
        for (const QString& needle : needles) {
            const auto expected = referenceRows(needle);
            EXPECT_EQ(filteredRows(needle), expected) << needle.toStdString();
        }
    }
};

const double awkwardValues[] = {0.1,     0.5,      1.0 / 3,   2.0 / 3,    19,          7,
                                -0.5,    1e-7,     0.00012,   0.0001,     0.00009999,  123456789.12345678,
                                1e8,     99999999, -99999999, 3.14159265, 1234.5,      0.3,
                                100.005, 1e-8,     -1e-8,     12345678.9, 0.000123456, 5e-5};

TEST_F(FilterAgreementTest, randomBookingsInBothLocales) {
    QRandomGenerator rng(4711);
    const QStringList words = {"Miete", "Strom", "müller", "MÜLLER", "Büro 2014", "x", ""};
    for (int i = 0; i < 300; ++i) {
        Buchung b;
        if (i % 17 != 0) b.datum = QDate(2013 + i % 3, 1 + i % 12, 1 + i % 28);
        b.art = QString(QLatin1Char("EANS"[i % 4]));
        b.beleg = i % 5 == 0 ? QString() : QString::number(rng.bounded(-50, 3000));
        b.text = words[i % words.size()];
        b.brutto = i < int(std::size(awkwardValues)) ? awkwardValues[i] : rng.bounded(2000000) / 100.0 - 5000;
        b.mwst = i % 3 == 0 ? 19 : (i % 3 == 1 ? 7 : rng.generateDouble() * 20);
        b.konto = rng.bounded(-100, 100000);
        addBooking(*bookings, b);
    }
    const QStringList needles = {"1",       "19",         "0,5",      "0.5", "2014",  ".",      ",",
                                 "-",       "E",          "e-",       "E-",  "miete", "ü",      "30.12.1899",
                                 "12.2014", "0,333",      "99999999", "1e",  "5E",    "0001",   "00",
                                 "3,14",    "12345678,9", "-0,",      "4",   "E-8",   "0,0001", "9,99"};
    expectAgreement(needles);
    testsupport::ScopedLocale english(QLocale(QLocale::English, QLocale::UnitedStates));
    expectAgreement(needles);
}

TEST_F(FilterAgreementTest, oddStoredBytesOfOtherSoftware) {
    bookings->Close();
    testsupport::RawDbf raw;
    raw.fields = {{"DATUM", 'D', 8, 0}, {"ART", 'C', 1, 0},     {"BELEG", 'C', 20, 0},
                  {"TEXT", 'C', 60, 0}, {"BRUTTO", 'N', 18, 8}, {"KONTO", 'N', 9, 0}};
    raw.addRecord({"20241301", "E", "1", "Monat 13", "      19,00000000", "       12"});
    raw.addRecord({"2024ab01", "A", "2", "Ziffern", "       1.50000000", "     12.7"});
    raw.addRecord({"        ", "E", "3", "leer", "                  ", "         "});
    raw.addRecord({"20240229", "E", "4", "Müll", "   garbage        ", "      abc"});
    raw.addRecord({"20240301", "E", "5", "gelöscht", "      77,00000000", "       77"}, true);
    raw.addRecord({"20240302", "E", "6", "klein", "       0.00000001", "      -0 "});
    raw.write(folder.file(QStringLiteral("records_1_2024.dbf")));
    bookings->Open();
    ASSERT_EQ(bookings->RecordCount(), 5);
    const QStringList needles = {"1", "12", "13", "0", "30.12.1899", "1,5", "1.5", "E", "-", "77", "19", "E-8", ""};
    expectAgreement(needles);
    testsupport::ScopedLocale english(QLocale(QLocale::English, QLocale::UnitedStates));
    expectAgreement(needles);
}

}  // namespace
