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
