// SPDX-License-Identifier: GPL-3.0-or-later
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <functional>

#include "MainWindowFixture.h"
#include "UiTestSupport.h"
#include "tax/Kontenzuordnung.h"
#include "tax/TaxSettings.h"
#include "ui/DruckeErgebnisFUnit.h"
#include "ui/FirmenanschriftFUnit.h"
#include "ui/KontenzuordnungFUnit.h"

namespace {

using uitest::OnModal;

class TaxCommandsTest : public MainWindowFixture {};

// The VAT return of the year on the report window, with its CSV button; the hook is gone afterwards, so
// the next ordinary report shows neither the form nor the button.
TEST_F(TaxCommandsTest, VatReturnShowsOnTheReportWindowAndLeavesItAsItWas) {
    start();
    uitest::controls(form).periodItems[0]->trigger();  // "Ganzes Jahr"
    post(QStringLiteral("Honorar"), 119, QDate(m_year, 4, 16));
    int pages = 0;
    bool csvShown = false;
    OnModal<TDruckeErgebnisForm> report([&](TDruckeErgebnisForm* w) {
        QTest::qWait(20);
        pages = w->pageCount();
        csvShown = w->CsvBtn->isVisible();
        w->reject();
    });
    form->UmsatzsteuerVoranmeldung1Click();
    ASSERT_TRUE(report.seen());
    EXPECT_GE(pages, 1);
    EXPECT_TRUE(csvShown);
    EXPECT_FALSE(bool(appForms().DruckeErgebnisForm->layout));
    bool csvAfter = true;
    OnModal<TDruckeErgebnisForm> total([&](TDruckeErgebnisForm* w) {
        csvAfter = w->CsvBtn->isVisible();
        w->reject();
    });
    form->Gesamtergebnis1Click();
    ASSERT_TRUE(total.seen());
    EXPECT_FALSE(csvAfter);
}

// A half-year is no period of the form, and a small business files none: the command says why.
TEST_F(TaxCommandsTest, HalfYearAndSmallBusinessGetAReasonInsteadOfAForm) {
    start();
    uitest::controls(form).periodItems[1]->trigger();  // "1. Halbjahr"
    QString text;
    OnModal<QMessageBox> note([&](QMessageBox* box) {
        text = box->text();
        box->accept();
    });
    form->UmsatzsteuerVoranmeldung1Click();
    ASSERT_TRUE(note.seen());
    EXPECT_TRUE(text.contains(QStringLiteral("Monat oder ein Vierteljahr"))) << text.toStdString();

    TaxSettings{QStringLiteral("21/815/08150"), true}.save(TaxSettings::fileName(userFolder(), 1));
    uitest::controls(form).periodItems[0]->trigger();
    OnModal<QMessageBox> small([&](QMessageBox* box) {
        text = box->text();
        box->accept();
    });
    form->UmsatzsteuerVoranmeldung1Click();
    ASSERT_TRUE(small.seen());
    EXPECT_TRUE(text.contains(QStringLiteral("Kleinunternehmer"))) << text.toStdString();
}

// The assignment dialog with the keyboard alone: arrow keys choose, Tab goes on, every choice is stored
// at once.
TEST_F(TaxCommandsTest, AssignmentDialogWorksWithTheKeyboardAndStoresAtOnce) {
    start();
    QString focusAfterTab;
    OnModal<TKontenzuordnungForm> dialog([&](TKontenzuordnungForm* d) {
        const auto& rows = d->rows();
        ASSERT_GE(rows.size(), 3u);
        QApplication::setActiveWindow(d);
        rows[0].UstEd->setFocus();
        QTest::keyClick(rows[0].UstEd, Qt::Key_Down);  // "Steuerfrei mit Vorsteuerabzug"
        QTest::keyClick(d->focusWidget(), Qt::Key_Tab);
        focusAfterTab = d->focusWidget() ? d->focusWidget()->objectName() : QString();
        QTest::keyClick(d->focusWidget(), Qt::Key_Tab);
        QTest::keyClick(d->focusWidget(), Qt::Key_Down);
        d->OKBtn->click();
    });
    form->Kontenzuordnung1Click();
    ASSERT_TRUE(dialog.seen());
    EXPECT_EQ(focusAfterTab, QStringLiteral("EuerEd_E_0"));
    const Kontenzuordnung z = Kontenzuordnung::read(form->tables().Kontenzuordnung);
    EXPECT_EQ(z.forAccount(KontoSeite::Einnahme, 0).ust, UstArt::SteuerfreiMitVorsteuer);
    EXPECT_EQ(z.forAccount(KontoSeite::Einnahme, 1).ust, UstArt::SteuerfreiMitVorsteuer);
    EXPECT_TRUE(z.forAccount(KontoSeite::Einnahme, 0).stored);
}

// A treatment whose tax the client owes is offered once per rate; the chosen rate is stored and shown again.
TEST_F(TaxCommandsTest, AssignmentDialogOffersTheRateOfTheTaxOwed) {
    start();
    QStringList offered;
    const auto expenseRow = [](TKontenzuordnungForm* d) -> const TKontenzuordnungForm::Row& {
        for (const auto& r : d->rows())
            if (r.seite == KontoSeite::Ausgabe) return r;
        return d->rows().front();
    };
    OnModal<TKontenzuordnungForm> choose([&](TKontenzuordnungForm* d) {
        QComboBox* box = expenseRow(d).UstEd;
        for (int i = 0; i < box->count(); ++i)
            if (box->itemText(i).contains(QStringLiteral("§ 13b"))) offered << box->itemText(i);
        const int at = box->findText(QStringLiteral("Abs. 2"), Qt::MatchContains);
        box->setCurrentIndex(at + 1);  // the same treatment at the next rate
        d->OKBtn->click();
    });
    form->Kontenzuordnung1Click();
    ASSERT_TRUE(choose.seen());
    ASSERT_EQ(offered.size(), 4) << offered.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(offered[0].startsWith(QStringLiteral("Steuerschuldner mit 19 % nach § 13b Abs. 1"))) << offered[0].toStdString();
    EXPECT_TRUE(offered[3].startsWith(QStringLiteral("Steuerschuldner mit 7 % nach § 13b Abs. 2"))) << offered[3].toStdString();
    const Zuordnung z = Kontenzuordnung::read(form->tables().Kontenzuordnung).forAccount(KontoSeite::Ausgabe, 0);
    EXPECT_EQ(z.ust, UstArt::SteuerschuldnerAndere);
    EXPECT_DOUBLE_EQ(z.satz, 7);
    QString shown;
    OnModal<TKontenzuordnungForm> again([&](TKontenzuordnungForm* d) {
        shown = expenseRow(d).UstEd->currentText();
        d->OKBtn->click();
    });
    form->Kontenzuordnung1Click();
    ASSERT_TRUE(again.seen());
    EXPECT_EQ(shown, offered[3]);
}

// The tax number of "Firmenangaben" lives beside the address file, which keeps its lines.
TEST_F(TaxCommandsTest, FirmenangabenKeepTheTaxNumber) {
    start();
    OnModal<TFirmenanschriftForm> dialog([&](TFirmenanschriftForm* d) {
        d->setLines({QStringLiteral("Muster GmbH"), QStringLiteral("Hauptstr. 1")});
        d->setTaxNumber(QStringLiteral("21/815/08150"));
        uitest::child<QPushButton>(d, "OKBtn")->click();
    });
    form->Firmenangaben1Click();
    ASSERT_TRUE(dialog.seen());
    const TaxSettings s = TaxSettings::load(TaxSettings::fileName(userFolder(), 1));
    EXPECT_EQ(s.steuernummer, QStringLiteral("21/815/08150"));
    EXPECT_FALSE(s.kleinunternehmer);
    EXPECT_EQ(testsupport::readFile(userFolder() + QStringLiteral("anschrift_1_.txt")), QByteArray("Muster GmbH\r\nHauptstr. 1\r\n"));
}

}  // namespace
