// SPDX-License-Identifier: GPL-3.0-or-later
#include <QComboBox>
#include <QPushButton>
#include <QTimer>
#include <functional>

#include "MainWindowFixture.h"
#include "UiTestSupport.h"
#include "reports/data/ReportArrays.h"
#include "storage/StorageError.h"
#include "ui/DruckeErgebnisFUnit.h"
#include "ui/KontoAuswahlenFUnit.h"

namespace {

using uitest::child;
using uitest::OnModal;

class ReportCommandsTest : public MainWindowFixture {};

TEST_F(ReportCommandsTest, CancelledAccountChoiceShowsNothing) {
    start();
    post(QStringLiteral("Honorar"), 119, QDate(m_year, 2, 3));
    OnModal<TDruckeErgebnisForm> report([](TDruckeErgebnisForm* w) { w->reject(); });
    std::vector<int> items;
    for (int run = 0; run < 2; ++run) {  // the list is rebuilt, not extended, each time
        bool flagWhileChoosing = false;
        OnModal<TKontoAuswaehlenForm> choice([&](TKontoAuswaehlenForm* dialog) {
            flagWhileChoosing = form->anfangsbestand;
            QComboBox* list = child<QComboBox>(dialog, "EAKontoEd");
            items.push_back(list->count());
            EXPECT_EQ(dialog->chosenIndex(), 0);
            list->setCurrentIndex(list->count() - 1);
            dialog->close();  // the close box: not confirmed
        });
        form->SammelkontomitAnfangsbestandeinzeln1Click();
        EXPECT_TRUE(choice.seen());
        EXPECT_TRUE(flagWhileChoosing);
    }
    ASSERT_EQ(items.size(), 2u);
    EXPECT_GE(items[0], 1);
    EXPECT_EQ(items[0], items[1]);
    EXPECT_FALSE(report.seen());
    EXPECT_FALSE(form->anfangsbestand);
    EXPECT_EQ(appForms().DruckeErgebnisForm->report.ein, nullptr);
}

TEST_F(ReportCommandsTest, ConfirmedChoiceShowsTheReportAndReleasesIt) {
    start();
    post(QStringLiteral("Honorar"), 119, QDate(m_year, 2, 3));
    post(QStringLiteral("Porto"), 10, QDate(m_year, 1, 2));
    // The first item of a new client's collective accounts is 0, where unassigned bookings go.
    OnModal<TKontoAuswaehlenForm> choice([](TKontoAuswaehlenForm* dialog) { dialog->accept(); });  // OK
    ReportData seen;
    std::vector<double> dates;
    bool flagWhileShown = false;
    OnModal<TDruckeErgebnisForm> report([&](TDruckeErgebnisForm* w) {
        seen = w->report;
        flagWhileShown = form->anfangsbestand;
        for (std::uint32_t i = 0; i < w->report.ein->Count(); ++i) dates.push_back(w->report.ein->at(i).datum);
        QTest::mouseClick(w->BackBtn, Qt::LeftButton);
    });
    form->SammelkontomitAnfangsbestandeinzeln1Click();
    ASSERT_TRUE(report.seen());
    EXPECT_TRUE(flagWhileShown);
    EXPECT_TRUE(seen.anfangsbestand);
    EXPECT_EQ(seen.modus, 3);
    EXPECT_TRUE(seen.cap.startsWith(QStringLiteral("Auswertung 01.01.%1 - 31.12.%1 Konto 0: ").arg(m_year)))
        << seen.cap.toStdString();
    ASSERT_EQ(dates.size(), 2u);
    EXPECT_LT(dates[0], dates[1]);
    EXPECT_FALSE(form->anfangsbestand);
    EXPECT_EQ(appForms().DruckeErgebnisForm->report.ein, nullptr);
    EXPECT_EQ(appForms().DruckeErgebnisForm->report.akonto, nullptr);
}

TEST_F(ReportCommandsTest, FailingCommandClearsTheFlag) {
    start();
    form->tables().kostenkonten.Close();  // the choice cannot read its table
    EXPECT_THROW(form->Kostenstelleeinzeln2Click(), QuorvelError);
    EXPECT_FALSE(form->anfangsbestand);
}

TEST_F(ReportCommandsTest, TotalResultNeedsNoChoice) {
    start();
    post(QStringLiteral("Honorar"), 119, QDate(m_year, 2, 3));
    int modus = -1;
    std::uint32_t accounts = 0;
    OnModal<TDruckeErgebnisForm> report([&](TDruckeErgebnisForm* w) {
        modus = w->report.modus;
        accounts = w->report.ein->Count() + w->report.aus->Count();
        w->reject();
    });
    form->Gesamtergebnis1Click();
    ASSERT_TRUE(report.seen());
    EXPECT_EQ(modus, 0);
    EXPECT_EQ(accounts, 1u);
    EXPECT_EQ(appForms().DruckeErgebnisForm->report.mwstsE, nullptr);
}

// With the journal's text filter on, the report names it under its heading as the user typed it, and
// the window's caption is the report's heading; after "Alle zeigen" the note is gone.
TEST_F(ReportCommandsTest, FilteredReportNamesItsFilterAndTheCaptionItsHeading) {
    start();
    post(QStringLiteral("Honorar Müller"), 119, QDate(m_year, 2, 3));
    post(QStringLiteral("Porto"), 10, QDate(m_year, 1, 2));
    uitest::controls(form).FilterEd->setText(QStringLiteral("müller"));
    form->FilterbtnClick();
    QString note;
    QString caption;
    QString cap;
    OnModal<TDruckeErgebnisForm> report([&](TDruckeErgebnisForm* w) {
        note = w->inputs().filterNote;
        caption = w->windowTitle();
        cap = w->report.cap;
        w->reject();
    });
    form->ListeallerBuchungen1Click();
    ASSERT_TRUE(report.seen());
    EXPECT_EQ(note, QStringLiteral("Nur Buchungen mit »müller«"));
    EXPECT_EQ(caption, cap);
    EXPECT_NE(caption, QStringLiteral("Datensatz drucken"));
    EXPECT_TRUE(appForms().DruckeErgebnisForm->filtertext.isEmpty());  // released with the report

    // The edit changed after filtering: the note names the filter in effect.
    uitest::controls(form).FilterEd->setText(QStringLiteral("anderes"));
    OnModal<TDruckeErgebnisForm> again([&](TDruckeErgebnisForm* w) {
        note = w->inputs().filterNote;
        w->reject();
    });
    form->Gesamtergebnis1Click();
    ASSERT_TRUE(again.seen());
    EXPECT_EQ(note, QStringLiteral("Nur Buchungen mit »MüLLER«"));

    form->AllezeigenBtnClick();
    OnModal<TDruckeErgebnisForm> all([&](TDruckeErgebnisForm* w) {
        note = w->inputs().filterNote;
        w->reject();
    });
    form->Gesamtergebnis1Click();
    ASSERT_TRUE(all.seen());
    EXPECT_TRUE(note.isEmpty());
}

}  // namespace
