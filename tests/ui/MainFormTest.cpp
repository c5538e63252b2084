// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QDateEdit>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include "MainWindowFixture.h"
#include "UiTestSupport.h"
#include "journal/JournalModel.h"
#include "startup/DataFolderLock.h"
#include "startup/OptionStore.h"
#include "storage/DbfTable.h"
#include "support/TestSupport.h"
#include "ui/AppForms.h"
#include "ui/DBGrid.h"
#include "ui/EinstellungenFUnit.h"
#include "ui/FirmenanschriftFUnit.h"
#include "ui/MainUnit.h"
#include "ui/MandatenNrFUnit.h"
#include "ui/WaehrungFUnit.h"


namespace {

// Answers every message box that comes up while it lives, remembering the texts.
class MessageBoxAnswerer {
public:
    explicit MessageBoxAnswerer(QMessageBox::StandardButton answer = QMessageBox::NoButton) : m_answer(answer) {
        m_timer.setInterval(20);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            texts << box->text();
            QAbstractButton* button = m_answer != QMessageBox::NoButton ? box->button(m_answer) : nullptr;
            if (!button) button = box->escapeButton() ? box->escapeButton() : box->defaultButton();
            if (button)
                button->click();
            else
                box->reject();
        });
        m_timer.start();
    }
    QStringList texts;

private:
    QMessageBox::StandardButton m_answer;
    QTimer m_timer;
};

class MainFormTest : public MainWindowFixture {
protected:
    QString tableFile(const QString& base, int client, int year) const {
        return userFolder() + QStringLiteral("%1_%2_%3.dbf").arg(base).arg(client).arg(year);
    }

    void writeOption(const QString& window, const QString& item, const QString& value) {
        OptionStore store;
        store.setValue(window, item, value);
        store.sync();
    }
};

TEST_F(MainFormTest, FirstStartCreatesTheSetOfClientOneInTheUserFolder) {
    start();
    ASSERT_TRUE(form->tablesUsable());
    EXPECT_EQ(form->progpath(), userFolder());
    for (const char* base : {"records", "eaccounts", "aaccounts", "saccounts", "kaccounts", "mwstsaetze",
                             "buchungstexte", "dauerbuchungen"}) {
        EXPECT_TRUE(QFileInfo::exists(tableFile(QLatin1String(base), 1, m_year))) << base;
    }
    EXPECT_EQ(form->windowTitle(), QStringLiteral("ZAN-TOR Einnahmen-Überschuss-Rechnung 1.0 - Mandant 1"));
    EXPECT_TRUE(uitest::controls(form).AutobelCheck->isChecked());
    EXPECT_FALSE(uitest::controls(form).Panel3->isVisible());
    EXPECT_FALSE(uitest::controls(form).Panel4->isVisible());
    EXPECT_FALSE(uitest::controls(form).FilternnachZeitraum1->isChecked());
    EXPECT_EQ(uitest::controls(form).BelegEd->text(), QStringLiteral("1"));
    ASSERT_EQ(uitest::controls(form).MwStEd->count(), 3);
    EXPECT_EQ(uitest::controls(form).MwStEd->itemText(0), QStringLiteral("19,00%"));
    EXPECT_EQ(uitest::controls(form).MwStEd->currentIndex(), 0);
    EXPECT_EQ(uitest::controls(form).EAKontoEd->currentText(), QStringLiteral("0 - Einnahmen 19% Umsatzsteuer"));
    EXPECT_EQ(uitest::controls(form).MwStLabel->text(), QStringLiteral("MwSt für eingestellten Zeitraum: 0,00 €"));
    QWidget* focus = QApplication::focusWidget();
    EXPECT_TRUE(focus == uitest::controls(form).BuchTextEd || focus == uitest::controls(form).BuchTextEd->lineEdit());
}

TEST_F(MainFormTest, KeyboardBookingTabThenEnterPosts) {
    start();
    QWidget* text = uitest::controls(form).BuchTextEd->lineEdit();
    text->setFocus();
    QTest::keyClicks(text, QStringLiteral("Miete"));
    QTest::keyClick(text, Qt::Key_Tab);
    QWidget* gross = QApplication::focusWidget();
    ASSERT_TRUE(uitest::controls(form).BruttoEd->isAncestorOf(gross) || gross == uitest::controls(form).BruttoEd);
    QTest::keyClicks(gross, QStringLiteral("119"));
    EXPECT_EQ(uitest::controls(form).NettoLabel->text(), QStringLiteral("Netto: 100,00 MwSt: 19,00"));
    QTest::keyClick(gross, Qt::Key_Return);

    ASSERT_EQ(bookings().RecordCount(), 1);
    bookings().First();
    EXPECT_EQ(bookings().Fields(1).AsString(), QStringLiteral("E"));
    EXPECT_EQ(bookings().Fields(2).AsString(), QStringLiteral("1"));
    EXPECT_EQ(bookings().Fields(3).AsString(), QStringLiteral("Miete"));
    EXPECT_DOUBLE_EQ(bookings().Fields(4).AsFloat(), 119.0);
    EXPECT_DOUBLE_EQ(bookings().Fields(5).AsFloat(), 19.0);
    EXPECT_EQ(bookings().Fields(6).AsInteger(), 0);
    EXPECT_EQ(bookings().Fields(9).AsString(), QStringLiteral("0"));
    EXPECT_EQ(bookings().Fields(10).AsString(), QStringLiteral("0"));
    EXPECT_EQ(uitest::controls(form).BelegEd->text(), QStringLiteral("2"));
    EXPECT_TRUE(uitest::controls(form).BuchTextEd->currentText().isEmpty());
    EXPECT_EQ(uitest::controls(form).MwStLabel->text(), QStringLiteral("MwSt für eingestellten Zeitraum: 19,00 €"));
    EXPECT_EQ(uitest::controls(form).AbfuhrEd->text(), QStringLiteral("Abzuführen für eingestellten Zeitraum: 19,00 €"));
}

TEST_F(MainFormTest, KindsFollowTheRadioPairAndTheNeutralBox) {
    start();
    struct Case {
        bool ausgabe;
        bool neutral;
        const char* art;
    } cases[] = {{false, false, "E"}, {true, false, "A"}, {true, true, "S"}, {false, true, "N"}};
    int n = 0;
    for (const Case& c : cases) {
        QTest::mouseClick(c.ausgabe ? uitest::controls(form).RadioButton2 : uitest::controls(form).RadioButton1, Qt::LeftButton);
        uitest::controls(form).NeutralBuchenCheck->setChecked(c.neutral);
        EXPECT_EQ(uitest::controls(form).BelegEd->text(), QString::number(n + 1));
        post(QStringLiteral("Buchung %1").arg(n), 10);
        ++n;
        bookings().Last();
        EXPECT_EQ(bookings().Fields(1).AsString(), QLatin1String(c.art));
        EXPECT_EQ(bookings().Fields(2).AsString(), QString::number(n));
    }
    // The expense side stores the expense account list's number.
    EXPECT_EQ(uitest::controls(form).EAKontoEd->count(), 2);
}

TEST_F(MainFormTest, EnterPostsFromEveryEntryField) {
    start();
    uitest::controls(form).ZeigeEingabefeldfrSammelkonto1->trigger();
    QWidget* fields[] = {uitest::controls(form).DateTimePicker1, uitest::controls(form).BelegEd,      uitest::controls(form).BuchTextEd,         uitest::controls(form).BruttoEd,
                         uitest::controls(form).MwStEd,          uitest::controls(form).EAKontoEd,    uitest::controls(form).KontoNrEd,          uitest::controls(form).MwstZahlEd,
                         uitest::controls(form).RadioButton2,    uitest::controls(form).AutobelCheck, uitest::controls(form).NeutralBuchenCheck, uitest::controls(form).SammelKontoEd,
                         uitest::controls(form).SammelKontoNrED};
    int expected = 0;
    for (QWidget* field : fields) {
        field->setFocus();
        QWidget* target = QApplication::focusWidget();
        ASSERT_NE(target, nullptr) << field->objectName().toStdString();
        QTest::keyClick(target, Qt::Key_Return);
        EXPECT_EQ(bookings().physicalRecordCount(), ++expected) << field->objectName().toStdString();
    }
    // Enter on a focused button clicks that button, not "Buchen".
    uitest::controls(form).AllezeigenBtn->setFocus();
    QTest::keyClick(uitest::controls(form).AllezeigenBtn, Qt::Key_Return);
    EXPECT_EQ(bookings().physicalRecordCount(), expected);
}

TEST_F(MainFormTest, EnterPostsAlsoWhenThePlatformDoesNotCountTheWindowActive) {
    // Without a window manager, the window can get keys while Qt knows no active window.
    start();
    uitest::controls(form).BruttoEd->setFocus();
    QApplication::setActiveWindow(nullptr);
    ASSERT_EQ(QApplication::focusWidget(), nullptr);
    QTest::keyClick(uitest::controls(form).BruttoEd, Qt::Key_Return);
    EXPECT_EQ(bookings().physicalRecordCount(), 1);
}

TEST_F(MainFormTest, EnterInTheFilterEditFiltersAndPostsNothing) {
    start();
    post(QStringLiteral("Miete Mai"), 100);
    post(QStringLiteral("Strom"), 50);
    uitest::controls(form).FilterEd->setFocus();
    QTest::keyClicks(uitest::controls(form).FilterEd, QStringLiteral("miete"));
    QTest::keyClick(uitest::controls(form).FilterEd, Qt::Key_Return);
    EXPECT_EQ(bookings().physicalRecordCount(), 2);
    EXPECT_EQ(form->journalModel()->rowCount(), 1);
    QTest::mouseClick(uitest::controls(form).AllezeigenBtn, Qt::LeftButton);
    EXPECT_EQ(form->journalModel()->rowCount(), 2);
    EXPECT_EQ(uitest::controls(form).FilterEd->text(), QStringLiteral("miete"));
}

TEST_F(MainFormTest, VatSummaryFollowsDeletesInTheJournal) {
    start();
    post(QStringLiteral("Verkauf"), 119);
    ASSERT_EQ(uitest::controls(form).MwStLabel->text(), QStringLiteral("MwSt für eingestellten Zeitraum: 19,00 €"));
    bookings().First();
    bookings().Delete();
    QTest::qWait(20);
    EXPECT_EQ(uitest::controls(form).MwStLabel->text(), QStringLiteral("MwSt für eingestellten Zeitraum: 0,00 €"));
}

TEST_F(MainFormTest, ClientAndYearSwitchesOpenTheirSets) {
    start();
    uitest::controls(form).Mandant[2]->trigger();
    EXPECT_EQ(form->windowTitle(), QStringLiteral("ZAN-TOR Einnahmen-Überschuss-Rechnung 1.0 - Mandant 3"));
    EXPECT_EQ(bookings().TableName(), QStringLiteral("records_3_%1.dbf").arg(m_year));
    EXPECT_TRUE(QFileInfo::exists(tableFile(QStringLiteral("mwstsaetze"), 3, m_year)));

    uitest::controls(form).JahrEd->setValue(m_year + 1);
    EXPECT_EQ(bookings().TableName(), QStringLiteral("records_3_%1.dbf").arg(m_year + 1));
    EXPECT_EQ(form->tables().MwstSaetze.RecordCount(), 3);

    uitest::controls(form).Mandant[0]->trigger();
    EXPECT_EQ(bookings().TableName(), QStringLiteral("records_1_%1.dbf").arg(m_year + 1));
}

TEST_F(MainFormTest, FreeClientNumberOneMillion) {
    start();
    uitest::child<QSpinBox>(appForms().MandantenNrForm, "MandantEd")->setValue(1000000);
    QTimer::singleShot(50, [] { appForms().MandantenNrForm->accept(); });
    uitest::controls(form).FreieMandantennummersetzen1->trigger();
    EXPECT_EQ(form->GetMandantPrefix(), QStringLiteral("_1000000_"));
    EXPECT_TRUE(QFileInfo::exists(tableFile(QStringLiteral("records"), 1000000, m_year)));
    EXPECT_TRUE(uitest::controls(form).FreieMandantennummersetzen1->isChecked());

    // Cancelled: nothing changes, the mark stays where it was.
    QTimer::singleShot(50, [] { appForms().MandantenNrForm->reject(); });
    uitest::controls(form).FreieMandantennummersetzen1->trigger();
    EXPECT_TRUE(uitest::controls(form).FreieMandantennummersetzen1->isChecked());
    EXPECT_EQ(form->mandantnr(), 1000000);
}

TEST_F(MainFormTest, TypingAYearDigitByDigitOpensOnlyTheCompleteYear) {
    start();
    QLineEdit* edit = uitest::controls(form).JahrEd->findChild<QLineEdit*>();
    uitest::controls(form).JahrEd->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, QStringLiteral("2031"));
    EXPECT_EQ(bookings().TableName(), QStringLiteral("records_1_2031.dbf"));
    const QStringList files = QDir(userFolder()).entryList({QStringLiteral("records_*.dbf")});
    for (const QString& f : files) {
        EXPECT_TRUE(f == QStringLiteral("records_1_2031.dbf") || f == QStringLiteral("records_1_%1.dbf").arg(m_year))
            << f.toStdString();
    }
}

TEST_F(MainFormTest, StoredOptionsAreRestoredBeforeStartUp) {
    writeOption(QStringLiteral("TMainForm"), QStringLiteral("ZeigeEingabefeldfrSammelkonto1_Checked"),
                QStringLiteral("True"));
    writeOption(QStringLiteral("TMainForm"), QStringLiteral("FilternnachZeitraum1_Checked"), QStringLiteral("True"));
    writeOption(QStringLiteral("TMainForm"), QStringLiteral("AutobelCheck_Checked"), QStringLiteral("False"));
    start();
    EXPECT_TRUE(uitest::controls(form).Panel3->isVisible());
    EXPECT_FALSE(uitest::controls(form).Panel4->isVisible());
    EXPECT_TRUE(bookings().Filtered());
    EXPECT_TRUE(uitest::controls(form).BelegEd->text().isEmpty());
}

TEST_F(MainFormTest, ClosingStoresTheCheckMarks) {
    start();
    uitest::controls(form).ZeigeEingabefeldfrKostenstelle1->trigger();
    EXPECT_TRUE(uitest::controls(form).Panel4->isVisible());
    uitest::controls(form).Beenden1->trigger();
    OptionStore store;
    EXPECT_TRUE(
        store.boolValue(QStringLiteral("TMainForm"), QStringLiteral("ZeigeEingabefeldfrKostenstelle1_Checked"), false));
}

TEST_F(MainFormTest, OptionalRowsAndResizing) {
    start();
    form->resize(802, 600);
    QTest::qWait(20);
    const int gridHeight = uitest::controls(form).DBGrid1->height();
    uitest::controls(form).ZeigeEingabefeldfrSammelkonto1->trigger();
    uitest::controls(form).ZeigeEingabefeldfrKostenstelle1->trigger();
    QTest::qWait(20);
    EXPECT_EQ(gridHeight - uitest::controls(form).DBGrid1->height(), 48);

    const int textWidth = uitest::controls(form).BuchTextEd->width();
    const int rightGap = uitest::controls(form).Panel2->width() - uitest::controls(form).DauerBtn->geometry().right();
    form->resize(1002, 600);
    QTest::qWait(20);
    EXPECT_EQ(uitest::controls(form).BuchTextEd->width(), textWidth + 200);
    EXPECT_EQ(uitest::controls(form).Panel2->width() - uitest::controls(form).DauerBtn->geometry().right(), rightGap);
    EXPECT_EQ(uitest::controls(form).BelegEd->x(), 104);
}

TEST_F(MainFormTest, DamagedTableIsReportedAndLeftUntouched) {
    QDir().mkpath(userFolder());
    const QByteArray garbage("this is not a table at all");
    testsupport::writeFile(tableFile(QStringLiteral("aaccounts"), 1, m_year), garbage);
    MessageBoxAnswerer answerer;
    start();
    QTest::qWait(100);
    ASSERT_FALSE(answerer.texts.isEmpty());
    EXPECT_TRUE(answerer.texts.join(QString()).contains(QStringLiteral("aaccounts_1_%1.dbf").arg(m_year)));
    EXPECT_EQ(testsupport::readFile(tableFile(QStringLiteral("aaccounts"), 1, m_year)), garbage);
    EXPECT_TRUE(bookings().Active());
    EXPECT_EQ(form->tables().MwstSaetze.RecordCount(), 3);
    // The expense list is empty; posting an expense still works and stores account 0.
    QTest::mouseClick(uitest::controls(form).RadioButton2, Qt::LeftButton);
    EXPECT_EQ(uitest::controls(form).EAKontoEd->count(), 0);
    post(QStringLiteral("Bürobedarf"), 10);
    EXPECT_EQ(bookings().RecordCount(), 1);
}

TEST_F(MainFormTest, SecondCopyOnTheSameFolderDoesNotOpenIt) {
    QDir().mkpath(userFolder());
    DataFolderLock other;
    ASSERT_TRUE(other.tryLock(userFolder()));
    MessageBoxAnswerer answerer;
    start();
    QTest::qWait(100);
    ASSERT_FALSE(answerer.texts.isEmpty());
    EXPECT_FALSE(bookings().Active());
    EXPECT_FALSE(QFileInfo::exists(tableFile(QStringLiteral("records"), 1, m_year)));
}

TEST_F(MainFormTest, EveryMasterEditorRebuildsTheLists) {
    start();
    ASSERT_EQ(uitest::controls(form).MwStEd->count(), 3);
    QTimer::singleShot(50, [this] {
        DbfTable& rates = form->tables().MwstSaetze;
        rates.AppendRecord();
        rates.Last();
        rates.Edit();
        rates.Fields(0).setAsFloat(16);
        rates.Post();
        appForms().EinstellungenForm->accept();
    });
    form->Einstellungen(form->tables().MwstSaetze);
    ASSERT_EQ(uitest::controls(form).MwStEd->count(), 4);
    EXPECT_EQ(uitest::controls(form).MwStEd->itemText(3), QStringLiteral("16,00%"));
}

TEST_F(MainFormTest, CurrencyChangeShowsInTheSummaryAtOnce) {
    start();
    post(QStringLiteral("Verkauf"), 119);
    QTimer::singleShot(50, [] {
        uitest::child<QLineEdit>(appForms().WaehrungForm, "Edit1")->setText(QStringLiteral("CHF"));
        appForms().WaehrungForm->accept();
    });
    form->Whrungeinstellen1Click();
    EXPECT_EQ(uitest::controls(form).MwStLabel->text(), QStringLiteral("MwSt für eingestellten Zeitraum: 19,00 CHF"));
}

TEST_F(MainFormTest, CompanyAddressIsWrittenWhenTheDialogIsClosedByItsCloseBox) {
    start();
    uitest::controls(form).Mandant[1]->trigger();
    QTimer::singleShot(50, [] {
        appForms().FirmenanschriftForm->setLines({QStringLiteral("Müller GmbH"), QStringLiteral("Hauptstraße 1")});
        appForms().FirmenanschriftForm->close();
    });
    form->Firmenangaben1Click();
    EXPECT_EQ(testsupport::readFile(userFolder() + QStringLiteral("anschrift_2_.txt")),
              QByteArray("M\xfcller GmbH\r\nHauptstra\xdf"
                         "e 1\r\n"));

    // A client without an address file keeps showing the address it had.
    uitest::controls(form).Mandant[4]->trigger();
    EXPECT_EQ(appForms().FirmenanschriftForm->lines().value(0), QStringLiteral("Müller GmbH"));
}

TEST_F(MainFormTest, TitleClickSortsAscendingAndReusesItsIndex) {
    start();
    for (double gross : {50.0, 10.0, 30.0}) post(QStringLiteral("Buchung"), gross);
    const int bruttoColumn = 4;
    QHeaderView* header = uitest::controls(form).DBGrid1->horizontalHeader();
    for (int click = 0; click < 2; ++click) {
        const QPoint at(header->sectionViewportPosition(bruttoColumn) + 5, header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
        QStringList shown;
        for (int row = 0; row < 3; ++row) shown << form->journalModel()->cellText(row, bruttoColumn);
        EXPECT_EQ(shown, (QStringList{QStringLiteral("10"), QStringLiteral("30"), QStringLiteral("50")}));
    }
    EXPECT_EQ(bookings().indexNames(), QStringList{QStringLiteral("BRUTTO")});
    // A walk sees the sorted order too: the receipt proposal is unaffected, the VAT summary counts all.
    EXPECT_EQ(uitest::controls(form).BelegEd->text(), QStringLiteral("4"));
}

}  // namespace
