// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QAccessible>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>

#include "MainWindowFixture.h"
#include "UiTestSupport.h"
#include "journal/Booking.h"
#include "journal/JournalModel.h"
#include "storage/DbfTable.h"
#include "support/TestSupport.h"
#include "ui/AmountField.h"
#include "ui/DBGrid.h"
#include "ui/DateField.h"
#include "ui/DauerFUnit.h"

namespace {

// The entry panel typed into as a user does: dates, amounts, Enter from the number fields, the grid.
class EntryKeyboardTest : public MainWindowFixture {
protected:
    QWidget* focus() { return QApplication::focusWidget(); }
    // Runs the event loop until `done` holds (activation and queued work are asynchronous), at most 2 s.
    template <class Condition>
    bool waitFor(Condition done) {
        for (int i = 0; i < 200 && !done(); ++i) QTest::qWait(10);
        return done();
    }
    void key(int k) { QTest::keyClick(focus(), Qt::Key(k)); }
    // Gives `field` the focus, replaces its text by typing and leaves the keyboard there.
    void typeInto(QWidget* field, const QString& text) {
        field->setFocus(Qt::TabFocusReason);
        QLineEdit* edit = qobject_cast<QLineEdit*>(field);
        if (!edit) edit = field->findChild<QLineEdit*>();
        ASSERT_NE(edit, nullptr);
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }
    QString cell(int row, int column) { return form->journalModel()->cellText(row, column); }
    int bookingCount() { return bookings().physicalRecordCount(); }
    // The open cell editor of the journal grid, once there is one.
    QLineEdit* cellEditor() {
        QLineEdit* found = nullptr;
        waitFor([&] {
            for (QLineEdit* edit : uitest::controls(form).DBGrid1->viewport()->findChildren<QLineEdit*>())
                if (edit->isVisible()) found = edit;
            return found != nullptr;
        });
        return found;
    }
    QString accessibleName(QWidget* w) {
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w);
        return iface ? iface->text(QAccessible::Name) : QString();
    }
};

TEST_F(EntryKeyboardTest, DatesTypedTheGermanWayAndOneTabOut) {
    start();
    const QString yyyy = QString::number(m_year);
    const QDate april16(m_year, 4, 16);
    const QString typed[] = {QStringLiteral("16.04.") + yyyy, QStringLiteral("16.4.") + yyyy,
                             QStringLiteral("1604") + yyyy, QStringLiteral("16.04.") + yyyy.right(2)};
    for (const QString& text : typed) {
        uitest::controls(form).DateTimePicker1->setDate(QDate(m_year, 12, 1));
        typeInto(uitest::controls(form).DateTimePicker1, text);
        key(Qt::Key_Tab);
        EXPECT_EQ(focus(), uitest::controls(form).BelegEd) << text.toStdString();
        EXPECT_EQ(uitest::controls(form).DateTimePicker1->date(), april16) << text.toStdString();
        EXPECT_EQ(uitest::controls(form).DateTimePicker1->text(), QStringLiteral("16.04.") + yyyy) << text.toStdString();
    }
    // Posted from the keyboard: the date as typed, the receipt as proposed.
    typeInto(uitest::controls(form).DateTimePicker1, QStringLiteral("16.4.") + yyyy.right(2));
    key(Qt::Key_Tab);
    key(Qt::Key_Tab);
    QTest::keyClicks(focus(), QStringLiteral("Miete"));
    key(Qt::Key_Tab);
    QTest::keyClicks(focus(), QStringLiteral("50"));
    key(Qt::Key_Return);
    ASSERT_EQ(bookingCount(), 1);
    EXPECT_EQ(cell(0, Booking::Datum), QStringLiteral("16.04.") + yyyy);
    EXPECT_EQ(cell(0, Booking::Beleg), QStringLiteral("1"));
}

TEST_F(EntryKeyboardTest, ADateThatDoesNotExistIsRefusedAndNothingPosted) {
    start();
    const QString text = QStringLiteral("31.02.") + QString::number(m_year);
    const QDate before = uitest::controls(form).DateTimePicker1->date();
    uitest::controls(form).BuchTextEd->setEditText(QStringLiteral("Miete"));
    typeInto(uitest::controls(form).DateTimePicker1, text);
    uitest::MessageBoxAnswer answer;
    key(Qt::Key_Return);  // Enter posts from the date field
    EXPECT_TRUE(answer.answered());
    EXPECT_TRUE(answer.text().startsWith(QStringLiteral("Das Datum „%1“ gibt es nicht.").arg(text)));
    EXPECT_EQ(bookingCount(), 0);
    // The text stays for correction, in the field that has the focus again.
    EXPECT_EQ(uitest::controls(form).DateTimePicker1->text(), text);
    EXPECT_TRUE(waitFor([&] { return focus() == uitest::controls(form).DateTimePicker1; }));
    EXPECT_EQ(uitest::controls(form).DateTimePicker1->date(), before);
    EXPECT_EQ(uitest::controls(form).BuchTextEd->currentText(), QStringLiteral("Miete"));
}

TEST_F(EntryKeyboardTest, ArrowKeysMoveTheDateAndTheCalendarSetsIt) {
    start();
    uitest::controls(form).DateTimePicker1->setDate(QDate(m_year, 2, 28));
    uitest::controls(form).DateTimePicker1->setFocus();
    key(Qt::Key_Up);
    key(Qt::Key_Up);
    EXPECT_EQ(uitest::controls(form).DateTimePicker1->date(), QDate(m_year, 2, 28).addDays(2));
    key(Qt::Key_PageDown);
    EXPECT_EQ(uitest::controls(form).DateTimePicker1->date(), QDate(m_year, 2, 28).addDays(2).addMonths(-1));
    uitest::controls(form).DateTimePicker1->showCalendar();
    ASSERT_TRUE(uitest::controls(form).DateTimePicker1->calendar()->isVisible());
    emit uitest::controls(form).DateTimePicker1->calendar()->activated(QDate(m_year, 5, 3));
    EXPECT_FALSE(uitest::controls(form).DateTimePicker1->calendar()->isVisible());
    EXPECT_EQ(uitest::controls(form).DateTimePicker1->text(), QStringLiteral("03.05.%1").arg(m_year));
}

struct AmountCase {
    const char* typed;
    const char* stored;  // the journal's BRUTTO cell
};

TEST_F(EntryKeyboardTest, AmountsTypedWithPointOrCommaAreReadAsMeant) {
    start();
    const AmountCase cases[] = {{"119.50", "119,5"}, {"119,50", "119,5"}, {"1.234,56", "1234,56"}, {"1.234", "1234"}};
    int row = 0;
    for (const AmountCase& c : cases) {
        typeInto(uitest::controls(form).BruttoEd, QString::fromLatin1(c.typed));
        key(Qt::Key_Return);
        ASSERT_EQ(bookingCount(), row + 1) << c.typed;
        EXPECT_EQ(cell(row, Booking::Brutto), QString::fromLatin1(c.stored)) << c.typed;
        ++row;
    }
}

TEST_F(EntryKeyboardTest, AmountsUnderAnEnglishLocale) {
    testsupport::ScopedLocale english(QLocale(QLocale::English, QLocale::UnitedStates));
    start();
    const AmountCase cases[] = {{"119.50", "119.5"}, {"1,234.56", "1234.56"}, {"119,50", "119.5"}};
    int row = 0;
    for (const AmountCase& c : cases) {
        typeInto(uitest::controls(form).BruttoEd, QString::fromLatin1(c.typed));
        key(Qt::Key_Return);
        ASSERT_EQ(bookingCount(), row + 1) << c.typed;
        EXPECT_EQ(cell(row, Booking::Brutto), QString::fromLatin1(c.stored)) << c.typed;
        ++row;
    }
}

TEST_F(EntryKeyboardTest, TextThatIsNoAmountIsRefusedInGerman) {
    start();
    for (const QString& typed : {QStringLiteral("abc"), QStringLiteral("12a,50"), QStringLiteral("1.2.3")}) {
        typeInto(uitest::controls(form).BruttoEd, typed);
        EXPECT_TRUE(uitest::controls(form).NettoLabel->text().isEmpty()) << typed.toStdString();
        uitest::MessageBoxAnswer answer;
        key(Qt::Key_Return);
        EXPECT_TRUE(answer.answered());
        EXPECT_EQ(answer.text().section(QLatin1Char('\n'), 0, 0), QStringLiteral("„%1“ ist kein Betrag.").arg(typed));
        EXPECT_EQ(bookingCount(), 0);
        EXPECT_EQ(uitest::controls(form).BruttoEd->text(), typed);
        ASSERT_TRUE(waitFor([&] { return focus() == uitest::controls(form).BruttoEd; }));
    }
}

TEST_F(EntryKeyboardTest, RecurringWindowReadsAmountsTheSameWay) {
    start();
    TDauerForm* dauer = appForms().DauerForm;
    DbfTable& templates = form->tables().dauer;
    dauer->bind(&templates);
    dauer->FillCombos();
    dauer->show();
    const int before = templates.RecordCount();
    typeInto(dauer->BruttoEd, QStringLiteral("119.50"));
    QTest::keyClick(dauer->BruttoEd, Qt::Key_Return);
    ASSERT_EQ(templates.RecordCount(), before + 1);
    templates.Last();
    EXPECT_DOUBLE_EQ(templates.FieldByName(QStringLiteral("Brutto")).AsFloat(), 119.5);

    typeInto(dauer->BruttoEd, QStringLiteral("zwanzig"));
    uitest::MessageBoxAnswer answer;
    QTest::keyClick(dauer->BruttoEd, Qt::Key_Return);
    EXPECT_TRUE(answer.answered());
    EXPECT_TRUE(answer.text().contains(QStringLiteral("ist kein Betrag")));
    EXPECT_EQ(templates.RecordCount(), before + 1);

    // Enter in "Konto-Nr" adds what the account list shows, after a choice made in the list.
    typeInto(dauer->KontoNrEd, QStringLiteral("0"));
    dauer->EAKontoEd->setFocus();
    QTest::keyClick(dauer->EAKontoEd, Qt::Key_Down);
    ASSERT_EQ(dauer->EAKontoEd->currentIndex(), 1);
    EXPECT_EQ(dauer->KontoNrEd->value(), 1);
    dauer->BruttoEd->setValue(5);
    dauer->KontoNrEd->setFocus();
    QTest::keyClick(dauer->KontoNrEd, Qt::Key_Return);
    ASSERT_EQ(templates.RecordCount(), before + 2);
    templates.Last();
    EXPECT_EQ(templates.FieldByName(QStringLiteral("Konto")).AsInteger(), 1);
    EXPECT_EQ(dauer->EAKontoEd->currentIndex(), 1);

    // The kind follows the state of the radio buttons, however it changed.
    dauer->RadioButton2->setChecked(true);
    EXPECT_EQ(dauer->EAKontoEd->currentText(), QStringLiteral("0 - Ausgaben"));
    dauer->hide();
    dauer->unbind();
}

TEST_F(EntryKeyboardTest, EnterInANumberFieldPostsWhatTheListsShow) {
    start();
    uitest::controls(form).ZeigeEingabefeldfrSammelkonto1->trigger();
    // The number typed first, then another entry chosen in the list: the field follows the list.
    typeInto(uitest::controls(form).MwstZahlEd, QStringLiteral("0"));
    ASSERT_EQ(uitest::controls(form).MwStEd->currentIndex(), 2);
    uitest::controls(form).MwStEd->setFocus();
    key(Qt::Key_Up);  // "7,00%"
    ASSERT_EQ(uitest::controls(form).MwStEd->currentIndex(), 1);
    EXPECT_EQ(uitest::controls(form).MwstZahlEd->text(), QStringLiteral("7,00"));

    typeInto(uitest::controls(form).KontoNrEd, QStringLiteral("0"));
    ASSERT_EQ(uitest::controls(form).EAKontoEd->currentIndex(), 0);
    uitest::controls(form).EAKontoEd->setFocus();
    key(Qt::Key_Down);  // "1 - Einnahmen 7% Umsatzsteuer"
    ASSERT_EQ(uitest::controls(form).EAKontoEd->currentIndex(), 1);
    EXPECT_EQ(uitest::controls(form).KontoNrEd->value(), 1);

    typeInto(uitest::controls(form).SammelKontoNrED, QStringLiteral("0"));
    uitest::controls(form).SammelKontoEd->setFocus();
    key(Qt::Key_Down);
    EXPECT_EQ(uitest::controls(form).SammelKontoNrED->value(), 1);

    uitest::controls(form).BruttoEd->setValue(10.7);
    QWidget* fields[] = {uitest::controls(form).MwstZahlEd, uitest::controls(form).KontoNrEd, uitest::controls(form).SammelKontoNrED};
    int row = 0;
    for (QWidget* field : fields) {
        field->setFocus();
        uitest::controls(form).BruttoEd->setValue(10.7);
        key(Qt::Key_Return);
        ASSERT_EQ(bookingCount(), row + 1) << field->objectName().toStdString();
        EXPECT_EQ(cell(row, Booking::MwSt), QStringLiteral("7")) << field->objectName().toStdString();
        EXPECT_EQ(cell(row, Booking::Konto), QStringLiteral("1")) << field->objectName().toStdString();
        EXPECT_EQ(cell(row, Booking::Sammelkonto), QStringLiteral("1")) << field->objectName().toStdString();
        EXPECT_EQ(uitest::controls(form).MwStEd->currentIndex(), 1);
        EXPECT_EQ(uitest::controls(form).EAKontoEd->currentIndex(), 1);
        ++row;
    }
    // Typing a number that changes the field still selects by number.
    typeInto(uitest::controls(form).KontoNrEd, QStringLiteral("0"));
    EXPECT_EQ(uitest::controls(form).EAKontoEd->currentIndex(), 0);
}

TEST_F(EntryKeyboardTest, SwitchingTheKindShowsTheNumberOfTheSelectedAccount) {
    start();
    uitest::controls(form).EAKontoEd->setFocus();
    key(Qt::Key_Down);
    ASSERT_EQ(uitest::controls(form).KontoNrEd->value(), 1);
    uitest::controls(form).RadioButton2->setChecked(true);
    EXPECT_EQ(uitest::controls(form).EAKontoEd->currentText(), QStringLiteral("0 - Ausgaben"));
    EXPECT_EQ(uitest::controls(form).KontoNrEd->value(), 0);
}

TEST_F(EntryKeyboardTest, ARefusedGridValueIsShownAfterTheCommitAndKeptForCorrection) {
    start();
    post(QStringLiteral("Verkauf"), 119);
    DBGrid* grid = uitest::controls(form).DBGrid1;
    const QModelIndex brutto = form->journalModel()->index(0, Booking::Brutto);
    for (int attempt = 0; attempt < 3; ++attempt) {
        grid->setFocus();
        grid->setCurrentIndex(brutto);
        QTest::keyClick(grid, Qt::Key_Return);
        ASSERT_TRUE(grid->isEditing());
        auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        ASSERT_NE(editor, nullptr);
        editor->selectAll();
        QTest::keyClicks(editor, QStringLiteral("abc"));
        uitest::MessageBoxAnswer answer;
        QTest::keyClick(editor, Qt::Key_Return);
        ASSERT_TRUE(waitFor([&] { return answer.answered(); }));
        // The cell editor is open again with the typed text; the stored value is unchanged.
        QLineEdit* again = cellEditor();
        ASSERT_NE(again, nullptr);
        ASSERT_TRUE(grid->isEditing());
        EXPECT_EQ(again->text(), QStringLiteral("abc"));
        EXPECT_EQ(cell(0, Booking::Brutto), QStringLiteral("119"));
        QTest::keyClick(again, Qt::Key_Escape);
        QTest::qWait(20);
    }
    // Corrected, the value goes in.
    grid->setFocus();
    grid->setCurrentIndex(brutto);
    QTest::keyClick(grid, Qt::Key_Return);
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    QTest::keyClicks(editor, QStringLiteral("abc"));
    uitest::MessageBoxAnswer answer;
    QTest::keyClick(editor, Qt::Key_Return);
    ASSERT_TRUE(waitFor([&] { return answer.answered(); }));
    QLineEdit* again = cellEditor();
    ASSERT_NE(again, nullptr);
    again->setFocus();
    again->selectAll();
    QTest::keyClicks(again, QStringLiteral("120"));
    QTest::keyClick(again, Qt::Key_Return);
    QTest::qWait(20);
    EXPECT_FALSE(grid->isEditing());
    EXPECT_EQ(cell(0, Booking::Brutto), QStringLiteral("120"));
}

TEST_F(EntryKeyboardTest, ClosingWithARefusedCellValueAsksFirst) {
    start();
    post(QStringLiteral("Verkauf"), 119);
    DBGrid* grid = uitest::controls(form).DBGrid1;
    grid->setFocus();
    grid->setCurrentIndex(form->journalModel()->index(0, Booking::Brutto));
    QTest::keyClick(grid, Qt::Key_Return);
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    QTest::keyClicks(editor, QStringLiteral("abc"));
    uitest::MessageBoxAnswer answer;  // the default answer: do not close
    form->close();
    EXPECT_TRUE(answer.answered());
    EXPECT_TRUE(answer.text().startsWith(QStringLiteral("Die letzte Änderung konnte nicht gespeichert werden")));
    EXPECT_TRUE(form->isVisible());
    QLineEdit* again = cellEditor();
    ASSERT_NE(again, nullptr);
    ASSERT_TRUE(grid->isEditing());
    EXPECT_EQ(again->text(), QStringLiteral("abc"));
    EXPECT_EQ(cell(0, Booking::Brutto), QStringLiteral("119"));
}

TEST_F(EntryKeyboardTest, ChangingLabelsCarryTheirTextToScreenReaders) {
    start();
    post(QStringLiteral("Verkauf"), 119);
    for (QLabel* line : {uitest::controls(form).MwStLabel, uitest::controls(form).VorsteuerLabel, uitest::controls(form).AbfuhrEd}) {
        EXPECT_TRUE(line->text().endsWith(QStringLiteral(" €")));
        EXPECT_EQ(accessibleName(line), line->text()) << line->objectName().toStdString();
    }
    typeInto(uitest::controls(form).BruttoEd, QStringLiteral("119"));
    EXPECT_EQ(accessibleName(uitest::controls(form).NettoLabel), QStringLiteral("Netto: 100,00 MwSt: 19,00"));
}

TEST_F(EntryKeyboardTest, SummaryLinesTakeTheWidthTheyNeed) {
    start();
    post(QStringLiteral("Groß"), 999999999.99);
    for (QLabel* line : {uitest::controls(form).MwStLabel, uitest::controls(form).VorsteuerLabel, uitest::controls(form).AbfuhrEd}) {
        EXPECT_GE(line->width(), line->fontMetrics().horizontalAdvance(line->text())) << line->text().toStdString();
    }
    EXPECT_TRUE(uitest::controls(form).MwStLabel->text().contains(QStringLiteral("159663865,54")));
}

TEST_F(EntryKeyboardTest, AutomaticNumberingFollowsTheStateOfItsBox) {
    start();
    post(QStringLiteral("Eins"), 1);
    uitest::controls(form).AutobelCheck->setChecked(false);
    uitest::controls(form).BelegEd->clear();
    // A change of state that is no mouse click (keyboard shortcut, assistive technology).
    uitest::controls(form).AutobelCheck->setChecked(true);
    EXPECT_EQ(uitest::controls(form).BelegEd->text(), QStringLiteral("2"));
}

}  // namespace
