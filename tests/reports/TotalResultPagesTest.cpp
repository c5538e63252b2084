// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "OutputFixture.h"
#include "reports/output/PageEngine.h"
#include "support/TestSupport.h"

namespace {

QStringList texts(const std::vector<DrawnItem>& items) {
    QStringList out;
    for (const auto& item : items) out << item.text;
    return out;
}

// The items of the line whose first text is `label` (same y, same page).
std::vector<DrawnItem> lineOf(const std::vector<DrawnItem>& items, const QString& label, int occurrence = 0) {
    const auto starts = withText(items, label);
    const DrawnItem& start = starts.at(std::size_t(occurrence));
    std::vector<DrawnItem> line;
    for (const auto& item : items)
        if (item.page == start.page && item.y == start.y) line.push_back(item);
    return line;
}

TEST(TotalResultPagesTest, EmptyReportShowsHeadingsHeadersAndZeroTotals) {
    OutputFixture f;
    f.data.modus = 0;
    const auto items = f.print(a4(300));
    const QStringList all = texts(items);
    EXPECT_EQ(all,
              (QStringList{"Seite 1",         "Muster GmbH",    "Hauptstraße 1",  "12345 Stadt",     f.data.cap,
                           "Einnahmen",       "Konto",          "Brutto",         "MwSt.",           "Netto",
                           "Gesamteinnahmen", "0,00 €",         "0,00 €",         "0,00 €",          "Mehrwertsteuer",
                           "Bezeichnung",     "Brutto",         "MwSt.",          "Netto",           "Ausgaben",
                           "Konto",           "Brutto",         "MwSt.",          "Netto",           "Gesamtausgaben",
                           "0,00 €",          "0,00 €",         "0,00 €",         "Vorsteuern",      "Bezeichnung",
                           "Brutto",          "MwSt.",          "Netto",          "Gesamtergebnis",  "Bezeichnung",
                           "Brutto",          "MwSt.",          "Netto",          "Gesamteinnahmen", "0,00 €",
                           "0,00 €",          "0,00 €",         "Gesamtausgaben", "0,00 €",          "0,00 €",
                           "0,00 €",          "Gesamtergebnis", "0,00 €",         "0,00 €",          "0,00 €"}));
    // "Gesamtergebnis" as heading (section font) and as the result row (column header font).
    const auto results = withText(items, QStringLiteral("Gesamtergebnis"));
    ASSERT_EQ(results.size(), 2u);
    EXPECT_EQ(results[0].role, FontRole::SectionHeading);
    EXPECT_EQ(results[1].role, FontRole::ColumnHeader);
}

TEST(TotalResultPagesTest, AccountsRatesAndTheResultFromTheAccountRecords) {
    OutputFixture f;
    f.data.modus = 0;
    f.inputs.findEinnahmeKonto = [](int nr) {
        return nr == 1 ? QStringLiteral("Erlöse") : QStringLiteral("Konto ") + QString::number(nr);
    };
    f.account(f.ein, 1, 119, 19, 100);
    f.account(f.ein, 77, 10.75, 0.75, 10);
    f.account(f.aus, 4, 1000, 100, 900);
    f.rate(f.mwstsE, 7.5, 10.75, 0.75, 10);
    f.rate(f.mwstsE, 19, 119, 19, 100);
    // Deliberately off: the result must not come from the rate records.
    f.rate(f.mwstsA, 19, 5, 5, 5);
    const auto items = f.print(a4(300));
    const QStringList all = texts(items);
    EXPECT_TRUE(all.contains(QStringLiteral("Erlöse")));
    EXPECT_TRUE(all.contains(QStringLiteral("Konto 77")));
    EXPECT_TRUE(all.contains(QStringLiteral("Ausgabe 4")));
    EXPECT_TRUE(all.contains(QStringLiteral("Summe MwSt. 7,5%")));
    EXPECT_TRUE(all.contains(QStringLiteral("Summe MwSt. 19%")));
    EXPECT_TRUE(all.contains(QStringLiteral("Summe Vorsteuer 19%")));
    const auto result = lineOf(items, QStringLiteral("Gesamtergebnis"), 1);
    ASSERT_EQ(result.size(), 4u);
    EXPECT_EQ(result[1].text, QStringLiteral("-870,25 €"));
    EXPECT_EQ(result[2].text, QStringLiteral("-80,25 €"));
    EXPECT_EQ(result[3].text, QStringLiteral("-790,00 €"));
}

TEST(TotalResultPagesTest, AmountsAreRightAlignedInTheirColumnNegativeOnesToo) {
    OutputFixture f;
    f.data.modus = 0;
    f.account(f.ein, 1, 5, 0, 5);
    f.account(f.aus, 2, 123456.78, 0, 123456.78);
    const auto items = f.print(a4(600));
    RecordingCanvas measure(600);
    auto rightEdge = [&](const DrawnItem& item) {
        measure.setFont(item.role);
        return item.x + measure.textWidth(item.text);
    };
    const auto header = lineOf(items, QStringLiteral("Bezeichnung"), 2);  // the result table
    const auto income = lineOf(items, QStringLiteral("Gesamteinnahmen"), 1);
    const auto result = lineOf(items, QStringLiteral("Gesamtergebnis"), 1);
    ASSERT_EQ(header.size(), 4u);
    ASSERT_EQ(result.size(), 4u);
    EXPECT_EQ(result[1].text, QStringLiteral("-123451,78 €"));
    for (int c = 1; c < 4; ++c) {
        EXPECT_EQ(rightEdge(income[std::size_t(c)]), rightEdge(header[std::size_t(c)]));
        EXPECT_EQ(rightEdge(result[std::size_t(c)]), rightEdge(header[std::size_t(c)]));
    }
    // Columns: label at the margin, each next column after a gap of three blanks.
    EXPECT_EQ(header[0].x, PageEngine::marginFor(600));
}

TEST(TotalResultPagesTest, EnglishLocaleUsesItsSeparatorInAmountsAndRateLabels) {
    testsupport::ScopedLocale english(QLocale(QLocale::English, QLocale::UnitedStates));
    OutputFixture f;
    f.data.modus = 0;
    f.inputs.currency = QStringLiteral("EUR");
    f.rate(f.mwstsE, 7.5, 10.75, 0.75, 10);
    const QStringList all = texts(f.print(a4(300)));
    EXPECT_TRUE(all.contains(QStringLiteral("Summe MwSt. 7.5%")));
    EXPECT_TRUE(all.contains(QStringLiteral("10.75 EUR")));
}

TEST(TotalResultPagesTest, RateTableWithoutRecordsIsAsWideAsItsHeader) {
    OutputFixture f;
    f.data.modus = 0;
    const auto items = f.print(a4(300));
    const auto header = lineOf(items, QStringLiteral("Bezeichnung"), 0);
    ASSERT_EQ(header.size(), 4u);
    RecordingCanvas measure(300);
    measure.setFont(FontRole::ColumnHeader);
    // "Brutto" is right-aligned in a column exactly its own width, after "Bezeichnung" and a gap.
    EXPECT_EQ(header[1].x, header[0].x + measure.textWidth(QStringLiteral("Bezeichnung")) +
                               measure.textWidth(QStringLiteral("   ")));
}

TEST(TotalResultPagesTest, LastLinePastTheLimitOpensAFooterOnlyPage) {
    OutputFixture f;
    f.data.modus = 0;
    PageGeometry tall{300, 2400, 100000};
    const auto once = f.print(tall);
    const DrawnItem last = once.back();
    RecordingCanvas probe(300);
    probe.setFont(last.role);
    const int lastRow = probe.textHeight(QStringLiteral("L"));
    // The last line's top stays on the limit, its advance passes it.
    const PageGeometry page{300, 2400, last.y + lastRow - 1 + 177};
    int pages = 0;
    int newPages = 0;
    const auto items = f.print(page, &pages, &newPages);
    EXPECT_EQ(pages, 2);
    EXPECT_EQ(newPages, 1);
    const auto second = onPage(items, 1);
    ASSERT_EQ(second.size(), 1u);
    EXPECT_EQ(second[0].text, QStringLiteral("Seite 2"));
    EXPECT_EQ(f.preview(2, page), (std::vector<DrawnItem>{{0, second[0].x, second[0].y, FontRole::Body, "Seite 2"}}));
    // One pixel more and the report fits on one page.
    const PageGeometry roomy{300, 2400, page.height + 1};
    EXPECT_EQ(f.preview(2, roomy).size(), 0u);
}

}  // namespace

namespace {

// Many accounts with names of the field's 60 characters: the names wrap beside their amounts, inside the
// page, and no heading stands alone at a page foot, wherever the page breaks fall.
TEST(TotalResultPagesTest, LongAccountNamesWrapAndHeadingsKeepTheirTables) {
    const PageGeometry page = a4(300);
    const int margin = PageEngine::marginFor(300);
    RecordingCanvas probe(300);
    const QStringList headings{"Einnahmen", "Mehrwertsteuer", "Ausgaben", "Vorsteuern", "Gesamtergebnis"};
    for (int accounts = 20; accounts <= 60; accounts += 2) {
        OutputFixture f;
        f.data.modus = 0;
        f.inputs.filterNote = QStringLiteral("Nur Buchungen mit »müller«");
        f.inputs.findEinnahmeKonto = [](int nr) {
            return QStringLiteral("Erlöse aus Lieferungen und Leistungen an Großkunden Konto %1").arg(nr, 6);
        };
        for (int i = 0; i < accounts; ++i) f.account(f.ein, 8400 + i, 123456789.12, 19711512.34, 103745276.78);
        f.account(f.aus, 4400, 10, 1, 9);
        f.rate(f.mwstsE, 19, 1, 2, 3);
        f.rate(f.mwstsA, 7, 1, 2, 3);
        auto items = f.print(page);
        std::erase_if(items, [](const DrawnItem& i) { return i.text.startsWith(QStringLiteral("Seite ")); });
        int names = 0;
        for (std::size_t i = 0; i < items.size(); ++i) {
            const DrawnItem& item = items[i];
            probe.setFont(item.role);
            EXPECT_LE(item.x + probe.textWidth(item.text), page.width - margin) << accounts << item;
            if (item.text.startsWith(QStringLiteral("Erlöse aus"))) ++names;
            if (item.role == FontRole::SectionHeading && headings.contains(item.text)) {
                ASSERT_LT(i + 1, items.size());
                EXPECT_EQ(items[i + 1].page, item.page) << accounts << item;
            }
        }
        EXPECT_EQ(names, accounts);
        // The note stands under the heading, in the body font.
        const auto note = withText(items, QStringLiteral("Nur Buchungen mit »müller«"));
        ASSERT_EQ(note.size(), 1u);
        EXPECT_EQ(note[0].role, FontRole::Body);
        EXPECT_GT(note[0].y, withText(items, f.data.cap)[0].y);
        EXPECT_LT(note[0].y, withText(items, QStringLiteral("Einnahmen"))[0].y);
    }
}

}  // namespace
