// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QDateEdit>
#include <QDoubleSpinBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "MainWindowFixture.h"
#include "storage/StorageError.h"
#include "UiTestSupport.h"
#include "journal/Booking.h"
#include "journal/JournalModel.h"
#include "startup/OptionStore.h"
#include "storage/DbfTable.h"
#include "support/TestSupport.h"
#include "ui/AppForms.h"
#include "ui/DBGrid.h"
#include "ui/DBNavigator.h"
#include "ui/MainUnit.h"


namespace {

// The working surface driven through the real main window: keyboard, grid, navigator, menus.
class MainFormReviewTest : public MainWindowFixture {
protected:
    JournalModel* model() { return form->journalModel(); }
    QString cell(int row, int column) { return model()->cellText(row, column); }
    int rows() { return model()->rowCount(); }

    QString mwst(const QString& amount) { return QStringLiteral("MwSt für eingestellten Zeitraum: %1 €").arg(amount); }

    // Opens the cell editor with Enter, replaces its text and commits it with Enter.
    void editCell(int row, int column, const QString& text) {
        DBGrid* grid = uitest::controls(form).DBGrid1;
        grid->setFocus();
        grid->setCurrentIndex(model()->index(row, column));
        QTest::keyClick(grid, Qt::Key_Return);
        ASSERT_TRUE(grid->isEditing());
        auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        ASSERT_NE(editor, nullptr);
        editor->selectAll();
        QTest::keyClicks(editor, text);
        QTest::keyClick(editor, Qt::Key_Return);
        QTest::qWait(20);
    }

    QWidget* focus() { return QApplication::focusWidget(); }
    // Presses Tab (or Shift+Tab) until `target` or a child of it has the focus; false after 20 presses.
    bool tabUntil(QWidget* target, bool backwards) {
        for (int i = 0; i < 20; ++i) {
            if (focus() == target || target->isAncestorOf(focus())) return true;
            key(backwards ? Qt::Key_Backtab : Qt::Key_Tab);
        }
        return false;
    }
    bool inBuchText() { return focus() == uitest::controls(form).BuchTextEd || focus() == uitest::controls(form).BuchTextEd->lineEdit(); }
    // Types into the focus widget, umlauts included (QTest::keyClicks knows ASCII only).
    void type(const QString& text) {
        for (QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QApplication::sendEvent(focus(), &press);
            QApplication::sendEvent(focus(), &release);
        }
    }
    void key(int k, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        if (k == Qt::Key_Backtab) mods |= Qt::ShiftModifier;  // as a keyboard sends it
        QTest::keyClick(focus(), Qt::Key(k), mods);
    }
};

TEST_F(MainFormReviewTest, KeyboardOnlyIncomeThenExpenseThenNeutral) {
    start();
    ASSERT_TRUE(inBuchText());
    EXPECT_EQ(uitest::controls(form).BelegEd->text(), QStringLiteral("1"));
    QTest::keyClicks(focus(), QStringLiteral("Miete"));
    key(Qt::Key_Tab);
    QTest::keyClicks(focus(), QStringLiteral("119"));
    key(Qt::Key_Return);
    ASSERT_EQ(bookings().physicalRecordCount(), 1);
    EXPECT_EQ(uitest::controls(form).BelegEd->text(), QStringLiteral("2"));
    ASSERT_TRUE(inBuchText());

    // Back to the radio pair (Shift+Tab lands on "Ausgabe", the last of the pair) and tick it with the space
    // bar, then on to the text.
    ASSERT_TRUE(tabUntil(uitest::controls(form).RadioButton2, true));
    key(Qt::Key_Space);
    EXPECT_TRUE(uitest::controls(form).RadioButton2->isChecked());
    EXPECT_EQ(uitest::controls(form).EAKontoEd->currentText(), QStringLiteral("0 - Ausgaben"));
    ASSERT_TRUE(tabUntil(uitest::controls(form).BuchTextEd, false));
    type(QStringLiteral("Büromaterial"));
    key(Qt::Key_Tab);
    QTest::keyClicks(focus(), QStringLiteral("107"));
    key(Qt::Key_Return);
    ASSERT_EQ(bookings().physicalRecordCount(), 2);
    EXPECT_EQ(uitest::controls(form).BelegEd->text(), QStringLiteral("3"));

    // A neutral one: the box is reached with Tab and ticked with the space bar.
    type(QStringLiteral("Eröffnung"));
    key(Qt::Key_Tab);
    QTest::keyClicks(focus(), QStringLiteral("1000"));
    ASSERT_TRUE(tabUntil(uitest::controls(form).NeutralBuchenCheck, false));
    key(Qt::Key_Space);
    ASSERT_TRUE(uitest::controls(form).NeutralBuchenCheck->isChecked());
    key(Qt::Key_Return);
    ASSERT_EQ(bookings().physicalRecordCount(), 3);

    const QStringList arts = {QStringLiteral("E"), QStringLiteral("A"), QStringLiteral("S")};
    const QStringList belege = {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")};
    const QStringList texts = {QStringLiteral("Miete"), QStringLiteral("Büromaterial"), QStringLiteral("Eröffnung")};
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(cell(row, Booking::Art), arts[row]);
        EXPECT_EQ(cell(row, Booking::Beleg), belege[row]);
        EXPECT_EQ(cell(row, Booking::Text), texts[row]);
    }
    EXPECT_EQ(cell(2, Booking::Brutto), QStringLiteral("1000"));
    EXPECT_EQ(uitest::controls(form).BelegEd->text(), QStringLiteral("4"));
    EXPECT_TRUE(uitest::controls(form).NeutralBuchenCheck->isChecked());  // stays for the following bookings
    EXPECT_EQ(uitest::controls(form).MwStLabel->text(), mwst(QStringLiteral("19,00")));
    EXPECT_EQ(uitest::controls(form).VorsteuerLabel->text(), QStringLiteral("Vorsteuer für eingestellten Zeitraum: 17,08 €"));
}

// Tab inside a date field would step through its day, month and year sections before leaving it; the
// entry panel's date field is left with one Tab, its sections are reached with the arrow keys.
TEST_F(MainFormReviewTest, OneTabLeavesTheDateField) {
    start();
    uitest::controls(form).DateTimePicker1->setFocus(Qt::TabFocusReason);
    key(Qt::Key_Tab);
    EXPECT_EQ(focus(), uitest::controls(form).BelegEd);
    uitest::controls(form).DateTimePicker1->setFocus(Qt::BacktabFocusReason);
    key(Qt::Key_Backtab);
    // Into the radio pair (Qt lands on its last button; the arrow keys move within the pair).
    EXPECT_TRUE(focus() == uitest::controls(form).RadioButton1 || focus() == uitest::controls(form).RadioButton2);
}

TEST_F(MainFormReviewTest, VatExampleOfThePeriod) {
    start();
    uitest::controls(form).periodItems[0]->trigger();
    post(QStringLiteral("Verkauf"), 119);
    QTest::mouseClick(uitest::controls(form).RadioButton2, Qt::LeftButton);
    uitest::controls(form).MwStEd->setCurrentIndex(1);
    post(QStringLiteral("Einkauf"), 107);
    QTest::mouseClick(uitest::controls(form).RadioButton1, Qt::LeftButton);
    uitest::controls(form).MwStEd->setCurrentIndex(0);
    uitest::controls(form).NeutralBuchenCheck->setChecked(true);
    post(QStringLiteral("Einlage"), 1000);
    EXPECT_EQ(uitest::controls(form).MwStLabel->text(), mwst(QStringLiteral("19,00")));
    EXPECT_EQ(uitest::controls(form).VorsteuerLabel->text(), QStringLiteral("Vorsteuer für eingestellten Zeitraum: 7,00 €"));
    EXPECT_EQ(uitest::controls(form).AbfuhrEd->text(), QStringLiteral("Abzuführen für eingestellten Zeitraum: 12,00 €"));
}

TEST_F(MainFormReviewTest, ReceiptProposalsAndAutomaticNumberingOff) {
    start();
    QStringList proposed;
    for (int i = 0; i < 3; ++i) {
        proposed << uitest::controls(form).BelegEd->text();
        post(QStringLiteral("Buchung"), 1);
    }
    EXPECT_EQ(proposed, (QStringList{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")}));

    uitest::controls(form).BelegEd->setText(QStringLiteral("2147483647"));
    post(QStringLiteral("Letzte"), 1);
    EXPECT_EQ(uitest::controls(form).BelegEd->text(), QStringLiteral("2147483648"));

    QTest::mouseClick(uitest::controls(form).AutobelCheck, Qt::LeftButton);
    ASSERT_FALSE(uitest::controls(form).AutobelCheck->isChecked());
    post(QStringLiteral("Ohne Nummer"), 1);
    EXPECT_TRUE(uitest::controls(form).BelegEd->text().isEmpty());
    QTest::mouseClick(uitest::controls(form).AutobelCheck, Qt::LeftButton);
    EXPECT_EQ(uitest::controls(form).BelegEd->text(), QStringLiteral("2147483648"));
}

TEST_F(MainFormReviewTest, HiddenRowsPostZeroShownRowPostsItsNumber) {
    start();
    // Select the second entries while the rows are hidden: the booking still stores 0.
    uitest::controls(form).SammelKontoNrED->setValue(1);
    uitest::controls(form).KostenKontoNrED->setValue(1);
    EXPECT_EQ(uitest::controls(form).SammelKontoEd->currentText(), QStringLiteral("1 - Sammelkonto 1"));
    EXPECT_EQ(uitest::controls(form).KostenKontoEd->currentText(), QStringLiteral("1 - Kostenstelle 1"));
    post(QStringLiteral("Verdeckt"), 10);
    EXPECT_EQ(cell(0, Booking::Sammelkonto), QStringLiteral("0"));
    EXPECT_EQ(cell(0, Booking::Kostenstelle), QStringLiteral("0"));

    uitest::controls(form).ZeigeEingabefeldfrSammelkonto1->trigger();
    ASSERT_TRUE(uitest::controls(form).Panel3->isVisible());
    post(QStringLiteral("Sammel sichtbar"), 10);
    EXPECT_EQ(cell(1, Booking::Sammelkonto), QStringLiteral("1"));
    EXPECT_EQ(cell(1, Booking::Kostenstelle), QStringLiteral("0"));

    // Typing a number through the keyboard selects the entry.
    uitest::controls(form).SammelKontoNrED->setFocus();
    QLineEdit* edit = uitest::controls(form).SammelKontoNrED->findChild<QLineEdit*>();
    edit->selectAll();
    QTest::keyClicks(edit, QStringLiteral("0"));
    EXPECT_EQ(uitest::controls(form).SammelKontoEd->currentIndex(), 0);
}

TEST_F(MainFormReviewTest, NumberFieldsSelectEntries) {
    start();
    struct Case {
        QString typed;
        int expected;
    } rates[] = {{QStringLiteral("7"), 1}, {QStringLiteral("16"), 1}, {QStringLiteral("0"), 2}};
    QLineEdit* rateEdit = uitest::controls(form).MwstZahlEd;
    for (const Case& c : rates) {
        uitest::controls(form).MwstZahlEd->setFocus();
        rateEdit->selectAll();
        QTest::keyClicks(rateEdit, c.typed);
        EXPECT_EQ(uitest::controls(form).MwStEd->currentIndex(), c.expected) << c.typed.toStdString();
    }
    // The selection alone does not recompute the preview; the next change of the gross amount does.
    uitest::controls(form).BruttoEd->setValue(10);
    EXPECT_EQ(uitest::controls(form).NettoLabel->text(), QStringLiteral("Netto: 10,00 MwSt: 0,00"));

    QLineEdit* kontoEdit = uitest::controls(form).KontoNrEd->findChild<QLineEdit*>();
    uitest::controls(form).KontoNrEd->setFocus();
    kontoEdit->selectAll();
    QTest::keyClicks(kontoEdit, QStringLiteral("7"));
    EXPECT_EQ(uitest::controls(form).EAKontoEd->currentIndex(), 0);
    kontoEdit->selectAll();
    QTest::keyClicks(kontoEdit, QStringLiteral("1"));
    EXPECT_EQ(uitest::controls(form).EAKontoEd->currentIndex(), 1);
    post(QStringLiteral("Sieben Prozent"), 10.7);
    EXPECT_EQ(cell(0, Booking::Konto), QStringLiteral("1"));
    EXPECT_EQ(cell(0, Booking::MwSt), QStringLiteral("0"));
}

TEST_F(MainFormReviewTest, GridShowsComputedNetAndVatWithFourDigitYears) {
    start();
    post(QStringLiteral("Verkauf"), 119, QDate(m_year, 3, 5));
    uitest::controls(form).MwStEd->setCurrentIndex(2);
    post(QStringLiteral("Steuerfrei"), 50, QDate(m_year, 3, 6));
    EXPECT_EQ(cell(0, Booking::MwSt2), QStringLiteral("19,00"));
    EXPECT_EQ(cell(0, Booking::Netto), QStringLiteral("100,00"));
    EXPECT_EQ(cell(1, Booking::MwSt2), QStringLiteral("0,00"));
    EXPECT_EQ(cell(1, Booking::Netto), QStringLiteral("50,00"));
    EXPECT_FALSE(model()->flags(model()->index(0, Booking::MwSt2)) & Qt::ItemIsEditable);
    EXPECT_EQ(cell(0, Booking::Datum), QStringLiteral("05.03.%1").arg(m_year));
    EXPECT_TRUE(uitest::controls(form).DateTimePicker1->displayFormat().contains(QStringLiteral("yyyy")));
    EXPECT_TRUE(uitest::controls(form).DateTimePicker1->text().endsWith(QString::number(m_year)));

    testsupport::ScopedLocale english(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(cell(0, Booking::MwSt2), QStringLiteral("19.00"));
    EXPECT_TRUE(cell(0, Booking::Datum).contains(QString::number(m_year)));
}

TEST_F(MainFormReviewTest, EditingAGridCellUpdatesTheVatSummary) {
    start();
    post(QStringLiteral("Verkauf"), 119);
    ASSERT_EQ(uitest::controls(form).MwStLabel->text(), mwst(QStringLiteral("19,00")));
    editCell(0, Booking::Brutto, QStringLiteral("238"));
    EXPECT_EQ(cell(0, Booking::Brutto), QStringLiteral("238"));
    EXPECT_EQ(bookings().physicalRecordCount(), 1);  // Enter in the grid posted no booking
    // The summary follows once the table is back to browsing, a moment after the cell's commit.
    (void)QTest::qWaitFor([&] { return uitest::controls(form).MwStLabel->text() == mwst(QStringLiteral("38,00")); }, 2000);
    EXPECT_EQ(uitest::controls(form).MwStLabel->text(), mwst(QStringLiteral("38,00")));
    editCell(0, Booking::Art, QStringLiteral("A"));
    (void)QTest::qWaitFor([&] { return uitest::controls(form).MwStLabel->text() == mwst(QStringLiteral("0,00")); }, 2000);
    EXPECT_EQ(uitest::controls(form).MwStLabel->text(), mwst(QStringLiteral("0,00")));
    EXPECT_EQ(uitest::controls(form).VorsteuerLabel->text(), QStringLiteral("Vorsteuer für eingestellten Zeitraum: 38,00 €"));
}

// A record inserted through the navigator (or the grid's Insert key) and posted there counts in the VAT
// summary. The table reports such a post only as a cursor change (the pending row simply becomes a
// stored one), after the recompute the insertion asked for was put off while the table was inserting.
TEST_F(MainFormReviewTest, NavigatorInsertAndPostUpdatesTheVatSummary) {
    start();
    QTest::mouseClick(uitest::controls(form).DBNavigator1->button(DBNavigator::Insert), Qt::LeftButton);
    ASSERT_EQ(bookings().state(), DbfTable::State::Insert);
    ASSERT_EQ(rows(), 1);
    EXPECT_TRUE(model()->setData(model()->index(0, Booking::Datum), QStringLiteral("15.01.%1").arg(m_year)));
    EXPECT_TRUE(model()->setData(model()->index(0, Booking::Art), QStringLiteral("E")));
    EXPECT_TRUE(model()->setData(model()->index(0, Booking::Brutto), QStringLiteral("119")));
    EXPECT_TRUE(model()->setData(model()->index(0, Booking::MwSt), QStringLiteral("19")));
    QTest::qWait(20);
    QTest::mouseClick(uitest::controls(form).DBNavigator1->button(DBNavigator::Post), Qt::LeftButton);
    QTest::qWait(20);
    ASSERT_EQ(bookings().state(), DbfTable::State::Browse);
    EXPECT_EQ(bookings().physicalRecordCount(), 1);
    EXPECT_EQ(uitest::controls(form).MwStLabel->text(), mwst(QStringLiteral("19,00")));
}

TEST_F(MainFormReviewTest, DeleteKeyInTheGridAsksInGermanAndUpdatesTheSummary) {
    start();
    post(QStringLiteral("Verkauf"), 119);
    post(QStringLiteral("Verkauf 2"), 238);
    ASSERT_EQ(uitest::controls(form).MwStLabel->text(), mwst(QStringLiteral("57,00")));
    uitest::controls(form).DBGrid1->setFocus();
    uitest::controls(form).DBGrid1->setCurrentIndex(model()->index(0, Booking::Text));
    {
        uitest::MessageBoxAnswer answer(QStringLiteral("Nein"));
        QTest::keyClick(uitest::controls(form).DBGrid1, Qt::Key_Delete);
        ASSERT_TRUE(answer.answered());
        EXPECT_EQ(answer.text(), QStringLiteral("Datensatz löschen?"));
        EXPECT_EQ(answer.defaultButtonText(), QStringLiteral("Nein"));
    }
    EXPECT_EQ(rows(), 2);
    {
        uitest::MessageBoxAnswer answer(QStringLiteral("Ja"));
        QTest::keyClick(uitest::controls(form).DBGrid1, Qt::Key_Delete);
        ASSERT_TRUE(answer.answered());
    }
    QTest::qWait(20);
    ASSERT_EQ(rows(), 1);
    EXPECT_EQ(cell(0, Booking::Text), QStringLiteral("Verkauf 2"));
    EXPECT_EQ(uitest::controls(form).MwStLabel->text(), mwst(QStringLiteral("38,00")));
}

TEST_F(MainFormReviewTest, PeriodItemsAndThePeriodFilterWithAHeldTextFilter) {
    start();
    post(QStringLiteral("Miete Januar"), 119, QDate(m_year, 1, 31));
    post(QStringLiteral("Strom Januar"), 119, QDate(m_year, 1, 15));
    post(QStringLiteral("Miete Februar"), 238, QDate(m_year, 2, 1));
    post(QStringLiteral("Miete Dezember"), 119, QDate(m_year, 12, 31));

    // The text filter alone.
    uitest::controls(form).FilterEd->setText(QStringLiteral("miete"));
    QTest::mouseClick(uitest::controls(form).Filterbtn, Qt::LeftButton);
    EXPECT_EQ(rows(), 3);

    // Januar with the period filter: the last day of January is in, the first of February is not.
    uitest::controls(form).periodItems[7]->trigger();
    EXPECT_EQ(rows(), 3);                                               // no period filter yet
    EXPECT_EQ(uitest::controls(form).MwStLabel->text(), mwst(QStringLiteral("19,00")));  // only MIETE in January counts
    uitest::controls(form).FilternnachZeitraum1->trigger();
    ASSERT_TRUE(uitest::controls(form).FilternnachZeitraum1->isChecked());
    ASSERT_EQ(rows(), 1);
    EXPECT_EQ(cell(0, Booking::Text), QStringLiteral("Miete Januar"));
    uitest::controls(form).periodItems[8]->trigger();  // Februar
    ASSERT_EQ(rows(), 1);
    EXPECT_EQ(cell(0, Booking::Text), QStringLiteral("Miete Februar"));
    EXPECT_EQ(uitest::controls(form).MwStLabel->text(), mwst(QStringLiteral("38,00")));
    uitest::controls(form).periodItems[6]->trigger();  // 4. Quartal
    ASSERT_EQ(rows(), 1);
    EXPECT_EQ(cell(0, Booking::Text), QStringLiteral("Miete Dezember"));

    // Period filter off while the edit is empty: everything, though MIETE is still held.
    uitest::controls(form).FilterEd->clear();
    uitest::controls(form).FilternnachZeitraum1->trigger();
    EXPECT_EQ(rows(), 4);
    EXPECT_EQ(form->filtertext(), QStringLiteral("MIETE"));
    // On again: the held text filter together with the period.
    uitest::controls(form).periodItems[3]->trigger();  // 1. Quartal
    uitest::controls(form).FilternnachZeitraum1->trigger();
    EXPECT_EQ(rows(), 2);

    // "Alle zeigen" drops the text and keeps the period.
    QTest::mouseClick(uitest::controls(form).AllezeigenBtn, Qt::LeftButton);
    EXPECT_EQ(rows(), 3);
}

TEST_F(MainFormReviewTest, ChosenPeriodsOfFebruary) {
    start();
    struct Case {
        int year;
        int lastDay;
    } cases[] = {{1900, 28}, {2000, 29}, {2023, 28}, {2024, 29}};
    for (const Case& c : cases) {
        uitest::controls(form).JahrEd->setValue(c.year);
        uitest::controls(form).periodItems[8]->trigger();
        EXPECT_EQ(form->vondatum(), double(QDate(1899, 12, 30).daysTo(QDate(c.year, 2, 1)))) << c.year;
        EXPECT_EQ(form->bisdatum(), double(QDate(1899, 12, 30).daysTo(QDate(c.year, 2, c.lastDay)))) << c.year;
    }
}

TEST_F(MainFormReviewTest, FilterMuellerFindsAsciiCaseVariantsOnly) {
    start();
    for (const char* name : {"Müller", "MüLLER", "MÜLLER", "Meier"}) post(QString::fromUtf8(name), 1);
    uitest::controls(form).FilterEd->setFocus();
    type(QStringLiteral("müller"));
    QTest::keyClick(uitest::controls(form).FilterEd, Qt::Key_Return);
    EXPECT_EQ(bookings().physicalRecordCount(), 4);
    ASSERT_EQ(rows(), 2);
    EXPECT_EQ(cell(0, Booking::Text), QStringLiteral("Müller"));
    EXPECT_EQ(cell(1, Booking::Text), QStringLiteral("MüLLER"));
}

// After a change of year the reopened bookings table is filtered by the period of the new year, not of
// the previous one: with "Filtern nach Zeitraum" on, the new year's journal, receipt proposal and VAT
// summary are those of the new year at once.
TEST_F(MainFormReviewTest, YearSwitchWithThePeriodFilterShowsTheNewYear) {
    start();
    uitest::controls(form).FilternnachZeitraum1->trigger();
    uitest::controls(form).JahrEd->setValue(m_year + 1);
    post(QStringLiteral("Neues Jahr"), 119, QDate(m_year + 1, 6, 1));
    post(QStringLiteral("Neues Jahr 2"), 119, QDate(m_year + 1, 6, 2));
    uitest::controls(form).JahrEd->setValue(m_year);
    uitest::controls(form).JahrEd->setValue(m_year + 1);
    EXPECT_EQ(rows(), 2);
    EXPECT_EQ(uitest::controls(form).BelegEd->text(), QStringLiteral("3"));
    EXPECT_EQ(uitest::controls(form).MwStLabel->text(), mwst(QStringLiteral("38,00")));
}

TEST_F(MainFormReviewTest, YearSwitchCommitsAPendingCellEditToTheOldYear) {
    start();
    post(QStringLiteral("Verkauf"), 119);
    DBGrid* grid = uitest::controls(form).DBGrid1;
    grid->setFocus();
    grid->setCurrentIndex(model()->index(0, Booking::Text));
    QTest::keyClick(grid, Qt::Key_Return);
    ASSERT_TRUE(grid->isEditing());
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    type(QStringLiteral("Geändert"));

    uitest::controls(form).JahrEd->setValue(m_year + 1);
    EXPECT_FALSE(grid->isEditing());
    EXPECT_EQ(bookings().TableName(), QStringLiteral("records_1_%1.dbf").arg(m_year + 1));
    EXPECT_EQ(rows(), 0);
    uitest::controls(form).JahrEd->setValue(m_year);
    ASSERT_EQ(rows(), 1);
    EXPECT_EQ(cell(0, Booking::Text), QStringLiteral("Geändert"));
}

TEST_F(MainFormReviewTest, FilterAndSortCarryOverAClientSwitch) {
    start();
    for (double gross : {300.0, 5.0, 40.0}) post(QStringLiteral("Miete"), gross);
    post(QStringLiteral("Strom"), 1);
    form->DBGrid1TitleClick(Booking::Brutto);
    uitest::controls(form).FilterEd->setText(QStringLiteral("miete"));
    form->FilterbtnClick();
    ASSERT_EQ(rows(), 3);
    EXPECT_EQ(cell(0, Booking::Brutto), QStringLiteral("5"));
    EXPECT_EQ(cell(2, Booking::Brutto), QStringLiteral("300"));

    uitest::controls(form).Mandant[1]->trigger();
    ASSERT_TRUE(bookings().Active());
    EXPECT_EQ(form->filtertext(), QStringLiteral("MIETE"));
    post(QStringLiteral("Strom"), 1);
    post(QStringLiteral("Miete"), 2);
    EXPECT_EQ(bookings().physicalRecordCount(), 2);
    EXPECT_EQ(rows(), 1);

    uitest::controls(form).Mandant[0]->trigger();
    ASSERT_TRUE(bookings().Active());
    ASSERT_EQ(rows(), 3);
    QStringList shown;
    for (int row = 0; row < rows(); ++row) shown << cell(row, Booking::Brutto);
    // Client 1's table has its BRUTTO index: the order comes back with it.
    EXPECT_EQ(shown, (QStringList{QStringLiteral("5"), QStringLiteral("40"), QStringLiteral("300")}));
}

TEST_F(MainFormReviewTest, CurrentMonthIsPreselectedAtTheNextStart) {
    start();
    uitest::controls(form).AktuellenMonatbeimffnenvoreinstellen1->trigger();
    ASSERT_TRUE(uitest::controls(form).AktuellenMonatbeimffnenvoreinstellen1->isChecked());
    EXPECT_TRUE(uitest::controls(form).periodItems[0]->isChecked());  // takes effect at the next start only
    restart();
    ASSERT_TRUE(form->tablesUsable());
    const int month = QDate::currentDate().month();
    EXPECT_TRUE(uitest::controls(form).periodItems[6 + month]->isChecked());
    EXPECT_EQ(form->vondatum(), double(QDate(1899, 12, 30).daysTo(QDate(m_year, month, 1))));

    uitest::controls(form).AktuellenMonatbeimffnenvoreinstellen1->trigger();
    restart();
    EXPECT_TRUE(uitest::controls(form).periodItems[0]->isChecked());
}

TEST_F(MainFormReviewTest, EveryInputIsNamedByItsCaption) {
    start();
    struct Named {
        QWidget* widget;
        const char* name;
    } inputs[] = {
        {uitest::controls(form).JahrEd, "Buchungsjahr"},
        {uitest::controls(form).DateTimePicker1, "Datum"},
        {uitest::controls(form).BelegEd, "Beleg"},
        {uitest::controls(form).BuchTextEd, "Buchungstext"},
        {uitest::controls(form).BruttoEd, "Brutto"},
        {uitest::controls(form).MwStEd, "MwSt-Satz"},
        {uitest::controls(form).EAKontoEd, "Art der E/A"},
        {uitest::controls(form).KontoNrEd, "Konto-Nr"},
        {uitest::controls(form).MwstZahlEd, "MwSt als Zahl"},
        {uitest::controls(form).SammelKontoEd, "Sammelkonto"},
        {uitest::controls(form).SammelKontoNrED, "Konto-Nr"},
        {uitest::controls(form).KostenKontoEd, "Kostenstelle"},
        {uitest::controls(form).KostenKontoNrED, "Konto-Nr"},
        {uitest::controls(form).FilterEd, "Filtern"},
    };
    const QList<QLabel*> labels = form->findChildren<QLabel*>();
    for (const Named& input : inputs) {
        const QString name = QString::fromUtf8(input.name);
        EXPECT_EQ(input.widget->accessibleName(), name) << input.name;
        bool hasBuddy = false;
        for (QLabel* label : labels) {
            if (label->buddy() == input.widget) {
                hasBuddy = true;
                EXPECT_EQ(label->text(), name + QLatin1Char(':')) << input.name;
            }
        }
        EXPECT_TRUE(hasBuddy) << input.name;
    }
    for (QAbstractButton* button : std::initializer_list<QAbstractButton*>{
             uitest::controls(form).RadioButton1, uitest::controls(form).RadioButton2, uitest::controls(form).AutobelCheck, uitest::controls(form).NeutralBuchenCheck, uitest::controls(form).BuchenBtn,
             uitest::controls(form).DauerBtn, uitest::controls(form).Filterbtn, uitest::controls(form).AllezeigenBtn}) {
        EXPECT_FALSE(button->text().isEmpty());
    }
    for (int b = 0; b < DBNavigator::buttonCount; ++b) {
        EXPECT_FALSE(uitest::controls(form).DBNavigator1->button(DBNavigator::Button(b))->accessibleName().isEmpty());
    }
}

TEST_F(MainFormReviewTest, BuchenWhileANavigatorInsertIsPendingKeepsBoth) {
    start();
    QTest::mouseClick(uitest::controls(form).DBNavigator1->button(DBNavigator::Insert), Qt::LeftButton);
    ASSERT_EQ(bookings().state(), DbfTable::State::Insert);
    EXPECT_TRUE(model()->setData(model()->index(0, Booking::Text), QStringLiteral("Aus dem Raster")));
    // Without a kind the row is refused and stays pending; with one it is posted before the entry panel's.
    EXPECT_THROW(bookings().Post(), QuorvelError);
    EXPECT_EQ(bookings().state(), DbfTable::State::Insert);
    EXPECT_EQ(bookings().physicalRecordCount(), 0);
    EXPECT_TRUE(model()->setData(model()->index(0, Booking::Art), QStringLiteral("A")));
    post(QStringLiteral("Aus dem Eingabefeld"), 119);
    EXPECT_EQ(bookings().state(), DbfTable::State::Browse);
    ASSERT_EQ(bookings().physicalRecordCount(), 2);
    EXPECT_EQ(cell(0, Booking::Text), QStringLiteral("Aus dem Raster"));
    EXPECT_EQ(cell(1, Booking::Text), QStringLiteral("Aus dem Eingabefeld"));
    EXPECT_EQ(cell(1, Booking::Brutto), QStringLiteral("119"));
}

TEST_F(MainFormReviewTest, SortingByGrossIsNumericNotTextual) {
    start();
    for (double gross : {100.0, 5.0, -20.0, 20.0}) post(QStringLiteral("Buchung"), gross);
    for (int click = 0; click < 2; ++click) form->DBGrid1TitleClick(Booking::Brutto);
    QStringList shown;
    for (int row = 0; row < rows(); ++row) shown << cell(row, Booking::Brutto);
    EXPECT_EQ(shown,
              (QStringList{QStringLiteral("-20"), QStringLiteral("5"), QStringLiteral("20"), QStringLiteral("100")}));
    EXPECT_EQ(bookings().indexNames(), QStringList{QStringLiteral("BRUTTO")});

    // Sorting by date follows the calendar, not the text dd.MM.yyyy.
    form->DBGrid1TitleClick(Booking::Datum);
    post(QStringLiteral("Später"), 1, QDate(m_year, 2, 1));
    post(QStringLiteral("Früher"), 1, QDate(m_year, 1, 2));
    QStringList dates;
    for (int row = 0; row < rows(); ++row) dates << cell(row, Booking::Datum);
    const int n = int(dates.size());
    ASSERT_GE(n, 2);
    for (int i = 1; i < n; ++i) {
        EXPECT_LE(QDate::fromString(dates[i - 1], QStringLiteral("dd.MM.yyyy")),
                  QDate::fromString(dates[i], QStringLiteral("dd.MM.yyyy")));
    }
}

}  // namespace
