// SPDX-License-Identifier: GPL-3.0-or-later
// The DATEV window driven as a user would: chart accounts typed into the grid (a wrong one refused, the
// window staying open), the chart switched, the export run with its result, and a long export cancelled
// from its progress window.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include "DatevFixture.h"
#include "ui/DateField.h"
#include "ui/DatevFUnit.h"
#include "ui/ShowHook.h"
#include "ui/UiTestSupport.h"

namespace {

using testsupport::readFile;

int rowOf(QTableWidget* grid, const QString& art, int nr) {
    for (int r = 0; r < grid->rowCount(); ++r)
        if (grid->item(r, 0)->text() == art && grid->item(r, 1)->text() == QString::number(nr)) return r;
    return -1;
}

void type(QTableWidget* grid, int row, const QString& text) {
    grid->item(row, 3)->setText(text);
}

TEST(DatevForm, ChartAccountsAreTypedSavedAndUsedByTheExport) {
    DatevYear y;
    y.book(QDate(2026, 4, 16), "E", 119.5, 19, 0, 1, QStringLiteral("R1"), QStringLiteral("Beratung"));
    y.book(QDate(2026, 4, 17), "E", 10.7, 7, 1, 0, QStringLiteral("R2"), QStringLiteral("Buch"));
    {
        TDatevForm form(y.set, 1, 2026);
        form.show();
        form.KontenrahmenEd->setCurrentIndex(form.KontenrahmenEd->findData(QStringLiteral("03")));
        QTableWidget* grid = form.KontenGrid;
        ASSERT_EQ(grid->rowCount(), 5);  // 2 income, 1 expense, 2 collective accounts
        EXPECT_EQ(grid->item(rowOf(grid, QStringLiteral("Sammelkonto"), 1), 3)->text(), QStringLiteral("1200"));
        type(grid, rowOf(grid, QStringLiteral("Einnahme"), 0), QStringLiteral("84"));
        {
            uitest::MessageBoxAnswer answer;
            form.CloseBtn->click();
            EXPECT_TRUE(answer.text().contains(QStringLiteral("„84“ ist kein Konto des SKR 03")))
                << answer.text().toStdString();
        }
        EXPECT_TRUE(form.isVisible());
        type(grid, rowOf(grid, QStringLiteral("Einnahme"), 0), QStringLiteral("8400"));
        type(grid, rowOf(grid, QStringLiteral("Sammelkonto"), 1), QStringLiteral("1000"));
        // SKR 04 has its own accounts; the ones typed for SKR 03 stay with SKR 03.
        form.KontenrahmenEd->setCurrentIndex(form.KontenrahmenEd->findData(QStringLiteral("04")));
        EXPECT_EQ(grid->item(rowOf(grid, QStringLiteral("Einnahme"), 0), 3)->text(), QString());
        EXPECT_EQ(grid->item(rowOf(grid, QStringLiteral("Sammelkonto"), 1), 3)->text(), QStringLiteral("1800"));
        form.KontenrahmenEd->setCurrentIndex(form.KontenrahmenEd->findData(QStringLiteral("03")));
        EXPECT_EQ(grid->item(rowOf(grid, QStringLiteral("Einnahme"), 0), 3)->text(), QStringLiteral("8400"));

        form.BeraterEd->clear();
        form.MandantEd->clear();
        QTest::keyClicks(form.BeraterEd, QStringLiteral("29098"));
        QTest::keyClicks(form.MandantEd, QStringLiteral("55003"));
        form.VonEd->setText(QStringLiteral("1.4.26"));
        form.BisEd->setText(QStringLiteral("30.06.2026"));
        const QString file = y.dir.file(QStringLiteral("EXTF_Q2.csv"));
        form.askFileName = [&](const QString& proposal) {
            EXPECT_TRUE(proposal.endsWith(QStringLiteral("EXTF_Buchungsstapel_2026.csv")));
            return file;
        };
        QString summary;
        form.showResult = [&](const QString& s, const QString&) { summary = s; };
        form.ExportBtn->click();
        EXPECT_TRUE(summary.startsWith(QStringLiteral("1 Buchung wurde nach"))) << summary.toStdString();
        EXPECT_TRUE(summary.contains(QStringLiteral("Einnahmekonto 1 – Einnahmen 7% Umsatzsteuer: 1 Buchung")))
            << summary.toStdString();
        const auto lines = readDatevFile(readFile(file));
        ASSERT_EQ(lines.size(), 3);
        EXPECT_EQ(lines[0][14].bytes, "20260401");
        EXPECT_EQ(lines[0][15].bytes, "20260630");
        EXPECT_EQ(lines[2][6].bytes, "8400");
        EXPECT_EQ(lines[2][7].bytes, "1000");
        form.CloseBtn->click();
        EXPECT_FALSE(form.isVisible());
    }
    // What was typed is in the year's DATEV accounts table, and the chart and numbers in the options.
    const DatevKonten saved = DatevKonten::read(y.dir.path(), 1, 2026);
    EXPECT_EQ(saved.account(QStringLiteral("03"), DatevKonten::Art::Einnahme, 0), 8400);
    EXPECT_EQ(saved.account(QStringLiteral("03"), DatevKonten::Art::Sammel, 1), 1000);
    TDatevForm again(y.set, 1, 2026);
    again.show();
    EXPECT_EQ(again.BeraterEd->text(), QStringLiteral("29098"));
    EXPECT_EQ(again.KontenrahmenEd->currentData().toString(), QStringLiteral("03"));
    again.reject();
}

TEST(DatevForm, ALongExportShowsProgressAndCanBeCancelled) {
    DatevYear y;
    for (int i = 0; i < 3100; ++i) y.book(QDate(2026, 2, 1 + i % 28), "A", 1 + i, 19, 0);
    TDatevForm form(y.set, 1, 2026);
    form.show();
    type(form.KontenGrid, rowOf(form.KontenGrid, QStringLiteral("Ausgabe"), 0), QStringLiteral("4930"));
    form.BeraterEd->setText(QStringLiteral("1001"));
    form.MandantEd->setText(QStringLiteral("1"));
    const QString file = y.dir.file(QStringLiteral("EXTF_alt.csv"));
    testsupport::writeFile(file, "vorher");
    form.askFileName = [&](const QString&) { return file; };
    bool shown = false;
    const auto hook = uitest::onShow<QProgressDialog>([&](QProgressDialog* bar) {
        shown = true;
        bar->cancel();
    });
    uitest::MessageBoxAnswer answer;
    form.ExportBtn->click();
    EXPECT_TRUE(shown);
    EXPECT_TRUE(answer.text().startsWith(QStringLiteral("Der Export wurde abgebrochen.")))
        << answer.text().toStdString();
    EXPECT_EQ(readFile(file), QByteArray("vorher"));
    form.reject();
}

}  // namespace
