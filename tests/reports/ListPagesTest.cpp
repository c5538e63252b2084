// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "OutputFixture.h"
#include "reports/output/MeasureCache.h"
#include "reports/output/PageEngine.h"

namespace {

QStringList texts(const std::vector<DrawnItem>& items) {
    QStringList out;
    for (const auto& item : items) out << item.text;
    return out;
}

std::vector<DrawnItem> lineAt(const std::vector<DrawnItem>& items, const DrawnItem& start) {
    std::vector<DrawnItem> line;
    for (const auto& item : items)
        if (item.page == start.page && item.y == start.y) line.push_back(item);
    return line;
}

QString money(double value) {
    return QString::number(value, 'f', 2).replace(QLatin1Char('.'), QLatin1Char(',')) + QStringLiteral(" €");
}

// A list of n bookings of 11,90 € each at 19 %.
void fill(OutputFixture& f, TKontoArray& array, int n, double amount = 11.9) {
    for (int i = 0; i < n; ++i)
        f.booking(array, i % 300, QStringLiteral("B%1").arg(i + 1), 8400, amount, 19, QStringLiteral("Text %1").arg(i));
}

TEST(ListPagesTest, ShortListHasNoSubtotalAndTheSumAndVatTable) {
    OutputFixture f;
    f.data.modus = 2;
    fill(f, f.ein, 3);
    f.booking(f.aus, 1, QStringLiteral("X"), 4, 99, 19, QStringLiteral("nicht in der Einnahmenliste"));
    int pages = 0;
    const auto items = f.print(a4(300), &pages);
    EXPECT_EQ(pages, 1);
    const QStringList all = texts(items);
    EXPECT_FALSE(all.contains(QStringLiteral("Zwischensumme")));
    EXPECT_FALSE(all.contains(QStringLiteral("nicht in der Einnahmenliste")));
    for (const char* header : {"Datum", "Beleg", "Konto", "Brutto", "MwSt. %", "MwSt.", "Netto", "Buchungstext"})
        EXPECT_TRUE(all.contains(QString::fromUtf8(header))) << header;
    EXPECT_EQ(all.count(QStringLiteral("19,00 %")), 3);
    EXPECT_EQ(all.count(QStringLiteral("02.01.2026")), 1);
    const auto sum = lineAt(items, withText(items, QStringLiteral("Summe"))[0]);
    EXPECT_EQ(texts(sum), (QStringList{"Summe", "35,70 €", "5,70 €", "30,00 €"}));
    EXPECT_EQ(withText(items, QStringLiteral("Summe"))[0].role, FontRole::ColumnHeader);
    EXPECT_EQ(all.mid(all.indexOf(QStringLiteral("Mehrwertsteuer"))),
              (QStringList{"Mehrwertsteuer", "Bezeichnung", "Brutto", "MwSt.", "Netto", "Summe MwSt. 19%", "35,70 €",
                           "5,70 €", "30,00 €"}));
}

TEST(ListPagesTest, ExpenseListReadsOnlyTheExpensesWithItsOwnWords) {
    OutputFixture f;
    f.data.modus = 1;
    fill(f, f.ein, 2);
    f.booking(f.aus, 1, QStringLiteral("A1"), 4, 10, 7, QStringLiteral("Porto"));
    const QStringList all = texts(f.print(a4(300)));
    EXPECT_TRUE(all.contains(QStringLiteral("Ausgaben")));
    EXPECT_TRUE(all.contains(QStringLiteral("Vorsteuern")));
    EXPECT_TRUE(all.contains(QStringLiteral("Summe Vorsteuer 7%")));
    EXPECT_TRUE(all.contains(QStringLiteral("Porto")));
    EXPECT_FALSE(all.contains(QStringLiteral("B1")));
}

struct SubtotalCase {
    int modus;
    bool anfangsbestand;
    double opening;  // gross of the opening balance
};

class SubtotalTest : public ::testing::TestWithParam<SubtotalCase> {};

TEST_P(SubtotalTest, SubtotalPairAtTheFootOfAFullPageAndTheHeadOfTheNext) {
    OutputFixture f;
    f.data.modus = GetParam().modus;
    f.data.anfangsbestand = GetParam().anfangsbestand;
    f.data.Aeinnahmen = 1000;
    f.data.Aeinnahmenmwst = 0;
    f.data.Aeinnahmennetto = 1000;
    fill(f, f.ein, 150);
    const PageGeometry page = a4(300);
    int pages = 0;
    const auto items = f.print(page, &pages);
    EXPECT_EQ(pages, 3);
    const auto subtotals = withText(items, QStringLiteral("Zwischensumme"));
    ASSERT_EQ(subtotals.size(), 4u);
    const int margin = PageEngine::marginFor(300);
    RecordingCanvas probe(300);
    const int body = probe.textHeight(QStringLiteral("L"));

    // Foot of page 1: right below the last booking, whose successor would end below the limit.
    EXPECT_EQ(subtotals[0].page, 0);
    EXPECT_EQ(subtotals[1].page, 1);
    EXPECT_EQ(subtotals[1].y, margin);
    EXPECT_GT(subtotals[0].y + body, page.height - margin);
    EXPECT_LE(subtotals[0].y, page.height - margin);
    int bookingsOnPage1 = 0;
    for (const auto& item : onPage(items, 0))
        if (item.text.startsWith(QStringLiteral("Text "))) ++bookingsOnPage1;
    const auto foot = lineAt(items, subtotals[0]);
    const auto head = lineAt(items, subtotals[1]);
    EXPECT_EQ(texts(foot), texts(head));
    ASSERT_EQ(foot.size(), 4u);
    EXPECT_EQ(foot[1].text, money(bookingsOnPage1 * 11.9 + GetParam().opening));
    EXPECT_EQ(foot[1].x, head[1].x);
    // The page after the head subtotal goes on with the next booking one header line further down.
    const auto next = withText(items, QStringLiteral("Text %1").arg(bookingsOnPage1));
    ASSERT_EQ(next.size(), 1u);
    EXPECT_EQ(next[0].page, 1);
    EXPECT_EQ(next[0].y, margin + probe.textHeight(QStringLiteral("L")));
    // The sum includes the opening balance.
    const auto sum = lineAt(items, withText(items, QStringLiteral("Summe"))[0]);
    EXPECT_EQ(sum[1].text, money(150 * 11.9 + GetParam().opening));
    EXPECT_EQ(withText(items, QStringLiteral("Anfangsbestand")).size(), GetParam().opening != 0 ? 1u : 0u);
    EXPECT_EQ(withText(items, QStringLiteral("Seite 3")).size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Lists, SubtotalTest,
                         ::testing::Values(SubtotalCase{2, true, 0}, SubtotalCase{3, false, 0},
                                           SubtotalCase{3, true, 1000}, SubtotalCase{4, true, 1000},
                                           SubtotalCase{5, true, 1000}));

TEST(ListPagesTest, LastBookingFillingThePagePutsThePairBeforeTheSumLine) {
    OutputFixture f;
    f.data.modus = 5;
    fill(f, f.ein, 150);
    const PageGeometry page = a4(300);
    const auto full = f.print(page);
    int onFirst = 0;
    for (const auto& item : onPage(full, 0))
        if (item.text.startsWith(QStringLiteral("Text "))) ++onFirst;
    OutputFixture g;
    g.data.modus = 5;
    fill(g, g.ein, onFirst);
    const auto items = g.print(page);
    const QStringList all = texts(items);
    const qsizetype lastBooking = all.indexOf(QStringLiteral("Text %1").arg(onFirst - 1));
    ASSERT_GT(lastBooking, 0);
    EXPECT_EQ(all.mid(lastBooking + 1, 7),
              (QStringList{"Zwischensumme", money(onFirst * 11.9), all[lastBooking + 3], all[lastBooking + 4],
                           "Seite 2", "Zwischensumme", money(onFirst * 11.9)}));
    EXPECT_EQ(all[lastBooking + 10], QStringLiteral("Summe"));
    EXPECT_EQ(all.count(QStringLiteral("Zwischensumme")), 2);
    EXPECT_EQ(withText(items, QStringLiteral("Summe"))[0].page, 1);
}

TEST(ListPagesTest, SignedListShowsNegativeRatesAndSeparateVatLines) {
    OutputFixture f;
    f.data.modus = 3;
    f.booking(f.ein, 1, QStringLiteral("E1"), 8400, 119, 19, QStringLiteral("Verkauf"));
    f.booking(f.ein, 2, QStringLiteral("A1"), 4400, -119, -19, QStringLiteral("Einkauf"));
    f.booking(f.ein, 3, QStringLiteral("E2"), 8300, 10.75, 7.5, QStringLiteral("Buch"));
    const auto items = f.print(a4(600));
    const QStringList all = texts(items);
    EXPECT_TRUE(all.contains(QStringLiteral("Buchungen Sammelkonto")));
    EXPECT_TRUE(all.contains(QStringLiteral("-19,00 %")));
    EXPECT_TRUE(all.contains(QStringLiteral("-119,00 €")));
    const qsizetype vat = all.indexOf(QStringLiteral("Mehrwertsteuer"));
    QStringList labels;
    for (qsizetype i = vat; i < all.size(); ++i)
        if (all[i].startsWith(QStringLiteral("Summe MwSt. "))) labels << all[i];
    EXPECT_EQ(labels, (QStringList{"Summe MwSt. -19%", "Summe MwSt. 7,5%", "Summe MwSt. 19%"}));
    // Negative amounts end at the same right edge as positive ones.
    RecordingCanvas probe(600);
    probe.setFont(FontRole::Body);
    const auto plus = withText(items, QStringLiteral("119,00 €"))[0];
    const auto minus = withText(items, QStringLiteral("-119,00 €"))[0];
    EXPECT_EQ(plus.x + probe.textWidth(plus.text), minus.x + probe.textWidth(minus.text));
    EXPECT_LT(minus.x, plus.x);
}

TEST(ListPagesTest, OpeningBalanceAloneWithoutBookings) {
    OutputFixture f;
    f.data.modus = 4;
    f.data.anfangsbestand = true;
    f.data.Aeinnahmen = 2500.5;
    f.data.Aeinnahmenmwst = 0;
    f.data.Aeinnahmennetto = 2500.5;
    const auto items = f.print(a4(300));
    const auto opening = lineAt(items, withText(items, QStringLiteral("Anfangsbestand"))[0]);
    const auto sum = lineAt(items, withText(items, QStringLiteral("Summe"))[0]);
    EXPECT_EQ(texts(opening).mid(1), texts(sum).mid(1));
    EXPECT_EQ(texts(sum), (QStringList{"Summe", "2500,50 €", "0,00 €", "2500,50 €"}));
    EXPECT_EQ(sum[0].y - opening[0].y, RecordingCanvas(300).textHeight(QStringLiteral("L")));
    EXPECT_TRUE(texts(items).contains(QStringLiteral("Buchungen Kostenstelle")));
    // Without the flag, stale opening values count as zero.
    f.data.anfangsbestand = false;
    const auto plain = f.print(a4(300));
    EXPECT_TRUE(withText(plain, QStringLiteral("Anfangsbestand")).empty());
    EXPECT_EQ(lineAt(plain, withText(plain, QStringLiteral("Summe"))[0])[1].text, QStringLiteral("0,00 €"));
}

TEST(ListPagesTest, EveryListWithEmptyArraysHasHeaderSumAndVatHeader) {
    for (int modus = 1; modus <= 5; ++modus) {
        OutputFixture f;
        f.data.modus = modus;
        const QStringList all = texts(f.print(a4(300)));
        EXPECT_EQ(all.count(QStringLiteral("Buchungstext")), 1) << modus;
        EXPECT_EQ(all.count(QStringLiteral("Bezeichnung")), 1) << modus;
        EXPECT_EQ(all.count(QStringLiteral("0,00 €")), 3) << modus;
        EXPECT_EQ(all.last(), QStringLiteral("Netto")) << modus;
    }
}

TEST(ListPagesTest, PreviewOfEachPageEqualsThePrintedPageItemByItem) {
    OutputFixture f;
    f.data.modus = 3;
    f.data.anfangsbestand = true;
    f.data.Aeinnahmen = -50;
    fill(f, f.ein, 260, -7.35);
    for (int resolution : {300, 600}) {
        const PageGeometry page = a4(resolution);
        int pages = 0;
        const auto printed = f.print(page, &pages);
        ASSERT_GE(pages, 3);
        for (int p = 1; p <= pages; ++p) {
            auto expected = onPage(printed, p - 1);
            for (auto& item : expected) item.page = 0;
            EXPECT_EQ(f.preview(p, page), expected) << "page " << p;
        }
    }
}

}  // namespace

namespace {

TEST(ListPagesTest, KeptMeasurementsLayOutExactlyAsAFreshRun) {
    OutputFixture f;
    f.data.modus = 5;
    fill(f, f.ein, 120, 1234.5);
    const PageGeometry page = a4(300);
    const auto fresh = f.print(page);
    MeasureCache cache;
    f.inputs.cache = &cache;
    EXPECT_EQ(f.print(page), fresh);  // fills the cache
    EXPECT_EQ(f.print(page), fresh);  // uses it
    const auto cachedPreview = f.preview(2, a4(600));
    f.inputs.cache = nullptr;
    EXPECT_EQ(cachedPreview, f.preview(2, a4(600)));
    // Another currency or another record count measures anew.
    f.inputs.cache = &cache;
    f.inputs.currency = QStringLiteral("Euro und Cent");
    const auto wider = f.print(page);
    f.inputs.cache = nullptr;
    EXPECT_EQ(wider, f.print(page));
    EXPECT_NE(wider, fresh);
    f.inputs.cache = &cache;
    f.booking(f.ein, 5, QStringLiteral("Beleg mit sehr langer Nummer 123456789"), 1, 1, 19, QStringLiteral("x"));
    const auto longer = f.print(page);
    f.inputs.cache = nullptr;
    EXPECT_EQ(longer, f.print(page));
}

}  // namespace

namespace {

const QString kSixty = QStringLiteral("Lieferung Büromaterial und Druckerpatronen für die Filiale N");

struct InsideCase {
    const char* name;
    int modus;
    int resolution;
    double opening;     // gross of an opening balance (0: none)
    double amount;      // gross of every booking (alternating sign in the signed lists)
    QString beleg;      // receipt number of every booking
    int bookings;
};

class InsideTest : public ::testing::TestWithParam<InsideCase> {};

// Every text of every page lies inside the margins and on no other text, and the booking texts come out
// whole: the lines of the text column, read in order, give every booking's text.
TEST_P(InsideTest, EveryTextInsideThePageNoneOnAnotherAndNothingDropped) {
    const InsideCase& c = GetParam();
    OutputFixture f;
    f.data.modus = c.modus;
    f.data.cap = QStringLiteral("Auswertung 01.01.2026 - 31.12.2026 Konto 4711: ") + kSixty;
    f.inputs.filterNote = QStringLiteral("Nur Buchungen mit »") + kSixty + QStringLiteral("«");
    f.data.anfangsbestand = c.opening != 0;
    f.data.Aeinnahmen = c.opening;
    f.data.Aeinnahmenmwst = c.opening * 0.16;
    f.data.Aeinnahmennetto = c.opening * 0.84;
    QString expected = QStringLiteral("Buchungstext");
    TKontoArray& array = c.modus == 1 ? f.aus : f.ein;
    for (int i = 0; i < c.bookings; ++i) {
        const QString text = i % 3 == 0 ? kSixty
                              : i % 3 == 1 ? QStringLiteral("Porto")
                                           : QStringLiteral("Ein_Wort_ohne_Leerzeichen_das_breiter_ist_als_die_Spalte_xyz");
        const double sign = c.modus >= 3 && i % 2 ? -1 : 1;
        f.booking(array, i % 300, c.beleg, 4711, sign * c.amount, sign * 19, text);
        expected += text;
    }
    const PageGeometry page = a4(c.resolution);
    const auto items = f.print(page);
    const int margin = PageEngine::marginFor(c.resolution);
    RecordingCanvas probe(c.resolution);
    auto width = [&](const DrawnItem& item) {
        probe.setFont(item.role);
        return probe.textWidth(item.text);
    };
    auto height = [&](const DrawnItem& item) {
        probe.setFont(item.role);
        return probe.textHeight(item.text);
    };
    // The header of the text column follows "Netto" (it may be wrapped itself).
    const auto netto = std::find_if(items.begin(), items.end(), [](const DrawnItem& d) { return d.text == u"Netto"; });
    ASSERT_NE(netto, items.end());
    const int textX = std::next(netto)->x;
    for (const auto& item : items) {
        if (item.text.startsWith(QStringLiteral("Seite "))) continue;
        EXPECT_GE(item.x, margin) << item;
        EXPECT_LE(item.x + width(item), page.width - margin) << item;
        EXPECT_LE(item.y + height(item), page.height) << item;
    }
    for (std::size_t i = 0; i < items.size(); ++i)
        for (std::size_t j = i + 1; j < items.size(); ++j) {
            const DrawnItem& a = items[i];
            const DrawnItem& b = items[j];
            const bool apart = a.page != b.page || a.x + width(a) <= b.x || b.x + width(b) <= a.x ||
                               a.y + height(a) <= b.y || b.y + height(b) <= a.y;
            EXPECT_TRUE(apart) << a << " on " << b;
        }
    // Body texts of the text column: the header's x in the body font lies a little further left, so all
    // items from the booking texts' column on, read page by page, top to bottom.
    QString column;
    for (const auto& item : items)
        if (item.role == FontRole::Body && item.x >= textX - 50 && item.x <= textX && item.y > margin / 2 &&
            !item.text.startsWith(QStringLiteral("Summe ")) && !item.text.startsWith(QStringLiteral("Seite ")))
            column += item.text;
    expected.remove(QLatin1Char(' '));
    column.prepend(QStringLiteral("Buchungstext")).remove(QLatin1Char(' '));
    EXPECT_EQ(column, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Lists, InsideTest,
    ::testing::Values(InsideCase{"income300", 2, 300, 0, 119, QStringLiteral("R-2026-0001"), 90},
                      InsideCase{"expenses600", 1, 600, 0, 11.9, QStringLiteral("1"), 70},
                      // An opening balance far wider than the period's sums.
                      InsideCase{"opening", 3, 300, 19711.51, 1.19, QStringLiteral("7"), 40},
                      InsideCase{"signedWide", 5, 600, -98765432.1, 1234567.89, QStringLiteral("B"), 60},
                      // A receipt number of the field's 20 characters beside amounts in the millions.
                      InsideCase{"longReceipt", 4, 300, 9876543.21, 999999.99, QStringLiteral("WWWWWWWWWWWWWWWWWWWW"), 30}),
    [](const auto& info) { return std::string(info.param.name); });

// However many rows come before it, a heading shares its page with its table's header and first line.
TEST(ListPagesTest, HeadingNeverStandsAloneAtThePageFoot) {
    const PageGeometry page = a4(300);
    const QStringList headings{"Alle Buchungen", "Mehrwertsteuer"};
    int checked = 0;
    for (int n = 40; n <= 110; ++n) {
        OutputFixture f;
        f.data.modus = 5;
        fill(f, f.ein, n);
        f.booking(f.ein, 1, QStringLiteral("S"), 1, 7, 7, QStringLiteral("sieben"));
        auto items = f.print(page);
        std::erase_if(items, [](const DrawnItem& i) { return i.text.startsWith(QStringLiteral("Seite ")); });
        for (std::size_t i = 0; i + 2 < items.size(); ++i) {
            if (!headings.contains(items[i].text) || items[i].role != FontRole::SectionHeading) continue;
            ++checked;
            // The header row (several items) and the first line below it.
            const auto after = std::find_if(items.begin() + long(i) + 1, items.end(),
                                            [&](const DrawnItem& d) { return d.role == FontRole::Body; });
            ASSERT_NE(after, items.end());
            EXPECT_EQ(items[i + 1].page, items[i].page) << n << " " << items[i];
            EXPECT_EQ(after->page, items[i].page) << n << " " << items[i];
        }
    }
    EXPECT_EQ(checked, 2 * 71);
}

}  // namespace
