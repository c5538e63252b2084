// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QFontInfo>

#include "OutputFixture.h"
#include "reports/output/PageEngine.h"
#include "reports/output/ReportFonts.h"

namespace {

struct MarginCase {
    int resolution;
    int margin;
};

class MarginTest : public ::testing::TestWithParam<MarginCase> {};

TEST_P(MarginTest, RoundsTheFifteenMillimetresToWholePixels) {
    EXPECT_EQ(PageEngine::marginFor(GetParam().resolution), GetParam().margin);
}

INSTANTIATE_TEST_SUITE_P(Resolutions, MarginTest,
                         ::testing::Values(MarginCase{300, 177}, MarginCase{600, 354}, MarginCase{1200, 709},
                                           MarginCase{96, 57}, MarginCase{72, 43}, MarginCase{0, 0}));

TEST(ReportFontsTest, PointSizesBecomePrinterPixels) {
    EXPECT_EQ(ReportFonts::pixelSize(FontRole::Title, 600), 117);  // 14 pt
    EXPECT_EQ(ReportFonts::pixelSize(FontRole::Body, 600), 92);    // 11 pt: 91.67
    EXPECT_EQ(ReportFonts::pixelSize(FontRole::SectionHeading, 300), 50);
    EXPECT_EQ(ReportFonts::pixelSize(FontRole::ColumnHeader, 1200), 183);
    const ReportFonts fonts(600);
    EXPECT_TRUE(fonts.font(FontRole::Title).bold());
    EXPECT_FALSE(fonts.font(FontRole::Body).bold());
    EXPECT_TRUE(fonts.font(FontRole::ColumnHeader).bold());
}

TEST(ReportFontsTest, TheArialFaceOrItsNamedStandInIsReallyUsed) {
    const QString family = ReportFonts::family();
    ASSERT_TRUE(family == QStringLiteral("Arial") || family == QStringLiteral("Liberation Sans"))
        << family.toStdString();
    const ReportFonts fonts(300);
    // The font system must not have fallen back to some other face.
    EXPECT_EQ(QFontInfo(fonts.font(FontRole::Body)).family(), family);
    EXPECT_EQ(QFontInfo(fonts.font(FontRole::Title)).family(), family);
}

TEST(ReportFontsTest, TextWidthIsTheSumOfTheGlyphsAsTheFontMachineryMeasuresIt) {
    const ReportFonts fonts(1200);
    const QStringList texts{QStringLiteral("Zwischensumme"), QStringLiteral("-1234567,89 €"),
                            QStringLiteral("AVA Tefi"),      QStringLiteral("Größe Äpfel"),
                            QStringLiteral("   "),           QStringLiteral("Ελληνικά"),
                            QStringLiteral("e\u0301"),       QString()};
    for (const QString& text : texts) {
        for (FontRole role : {FontRole::Body, FontRole::ColumnHeader}) {
            QFontMetricsF metrics(fonts.font(role));
            EXPECT_EQ(fonts.width(role, text), qRound(metrics.horizontalAdvance(text))) << text.toStdString();
        }
    }
    EXPECT_GT(fonts.width(FontRole::ColumnHeader, QStringLiteral("Summe")),
              fonts.width(FontRole::Body, QStringLiteral("Summe")));
}

struct FooterCase {
    int resolution;
    int footerAboveEdge;
};

class FooterTest : public ::testing::TestWithParam<FooterCase> {};

TEST_P(FooterTest, FooterSitsCentredHalfAMarginAboveTheLowerEdge) {
    OutputFixture f;
    f.data.modus = 2;
    const PageGeometry page = a4(GetParam().resolution);
    const auto items = f.print(page);
    const auto footers = withText(items, QStringLiteral("Seite 1"));
    ASSERT_EQ(footers.size(), 1u);
    EXPECT_EQ(page.height - footers[0].y, GetParam().footerAboveEdge);
    const ReportFonts fonts(page.resolution);
    EXPECT_EQ(footers[0].x, (page.width - fonts.width(FontRole::Body, QStringLiteral("Seite 1"))) / 2);
    EXPECT_EQ(footers[0].role, FontRole::Body);
    // The address starts in the top left corner of the margin.
    EXPECT_EQ(items[1].text, QStringLiteral("Muster GmbH"));
    EXPECT_EQ(items[1].x, PageEngine::marginFor(page.resolution));
    EXPECT_EQ(items[1].y, PageEngine::marginFor(page.resolution));
}

INSTANTIATE_TEST_SUITE_P(Resolutions, FooterTest, ::testing::Values(FooterCase{300, 88}, FooterCase{600, 177}));

TEST(PageEngineTest, TitleStandsTwoBodyLinesBelowAnEmptyAddress) {
    OutputFixture f;
    f.data.modus = 0;
    f.inputs.address.clear();
    const PageGeometry page = a4(600);
    const auto items = f.print(page);
    const auto title = withText(items, f.data.cap);
    ASSERT_EQ(title.size(), 1u);
    const ReportFonts fonts(600);
    EXPECT_EQ(title[0].y, 354 + 2 * fonts.height(FontRole::Body, QStringLiteral("L")));
    EXPECT_EQ(title[0].role, FontRole::Title);
}

TEST(PageEngineTest, AddressLongerThanThePageRunsOffPageOneWithoutABreak) {
    OutputFixture f;
    f.data.modus = 2;
    f.inputs.address.clear();
    for (int i = 0; i < 200; ++i) f.inputs.address << (i % 7 == 3 ? QString() : QStringLiteral("Zeile %1").arg(i));
    const PageGeometry page = a4(300);
    int newPages = 0;
    const auto items = f.print(page, nullptr, &newPages);
    const auto last = withText(items, QStringLiteral("Zeile 198"));
    ASSERT_EQ(last.size(), 1u);
    EXPECT_EQ(last[0].page, 0);
    EXPECT_GT(last[0].y, page.height);
    // The first section then breaks at once: its heading opens page 2.
    EXPECT_EQ(withText(items, QStringLiteral("Einnahmen"))[0].page, 1);
}

TEST(PageEngineTest, PageAfterTheLastDrawsNothingNotEvenAFooter) {
    OutputFixture f;
    f.data.modus = 5;
    int pages = 0;
    EXPECT_FALSE(f.preview(1, a4(300), &pages).empty());
    EXPECT_EQ(pages, 1);
    EXPECT_TRUE(f.preview(2, a4(300)).empty());
    EXPECT_TRUE(f.preview(10000, a4(300)).empty());
}

TEST(PageEngineTest, UnknownModusRendersNothing) {
    OutputFixture f;
    f.data.modus = 6;
    int pages = -1;
    EXPECT_TRUE(f.print(a4(300), &pages).empty());
    EXPECT_EQ(pages, 0);
}

struct WrapCase {
    const char* text;
    const char* width;  // the column is as wide as this text in the body font
    QStringList lines;
};

class WrapTest : public ::testing::TestWithParam<WrapCase> {};

// Lines break after a blank where one lies within the width, inside a word only where the word alone is
// wider; the blank at a break is the only character left out, and every line fits (or holds one character).
TEST_P(WrapTest, BreaksAtBlanksAndInsideWordsOnlyWhenItMust) {
    RecordingCanvas canvas(600);
    PageEngine e(canvas, PageParams{false, 1, 600, a4(600).width, a4(600).height});
    e.setFont(FontRole::Body);
    const int width = canvas.textWidth(QString::fromUtf8(GetParam().width));
    const QString text = QString::fromUtf8(GetParam().text);
    QStringList lines;
    for (QStringView line : e.wrap(text, width)) {
        lines << line.toString();
        if (line.size() > 1) EXPECT_LE(canvas.textWidth(line), width) << line.toString().toStdString();
    }
    EXPECT_EQ(lines, GetParam().lines);
    EXPECT_EQ(e.lineCount(text, width), lines.size());
}

INSTANTIATE_TEST_SUITE_P(
    Texts, WrapTest,
    ::testing::Values(WrapCase{"Porto", "Porto", {"Porto"}},
                      WrapCase{"", "x", {""}},
                      WrapCase{"Miete Büro März", "Miete Büro", {"Miete Büro", "März"}},
                      WrapCase{"Miete Büro März", "Miete Büro ", {"Miete Büro", "März"}},
                      WrapCase{"Druckerpatronen", "Drucker", {"Drucker", "patrone", "n"}},
                      WrapCase{"a  b", "a ", {"a ", "b"}},
                      WrapCase{"Größe Äpfel Öl", "Größe Äpf", {"Größe", "Äpfel Öl"}},
                      WrapCase{"xyz", "", {"x", "y", "z"}}));

}  // namespace
