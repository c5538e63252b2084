// SPDX-License-Identifier: GPL-3.0-or-later
#include <QAbstractItemModelTester>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>

#include "MainWindowFixture.h"
#include "UiTestSupport.h"
#include "bank/BankLedger.h"
#include "bank/BankRules.h"
#include "journal/Booking.h"
#include "journal/ReceiptProposal.h"
#include "ui/KontoauszugFUnit.h"
#include "ui/KontoauszugModel.h"

namespace {

class KontoauszugFormTest : public MainWindowFixture {
protected:
    // The window as the menu command opens it, for movements of this year.
    std::unique_ptr<TKontoauszugForm> open(BankLedger& ledger) {
        TKontoauszugForm::Input input;
        input.year = m_year;
        input.statement.addFile(QStringLiteral("auszug.xml"));
        auto movement = [&](int day, qint64 cents, const char* who, const char* ref) {
            BankMovement m;
            m.where = QStringLiteral("Eintrag %1").arg(input.statement.movements.size() + 1);
            m.datum = QDate(m_year, 3, day);
            m.cents = cents;
            m.counterparty = QString::fromUtf8(who);
            m.text = QStringLiteral("Rechnung");
            m.bankRef = QString::fromLatin1(ref);
            input.statement.movements.push_back(m);
        };
        movement(2, 11900, "Kunde Alpha", "R1");
        movement(3, -4000, "Stadtwerke", "R2");
        movement(4, -2500, "Tankstelle", "R3");  // typed by hand before: found in the journal
        ledger.open(form->progpath(), form->mandantnr(), m_year);
        input.rulesFile = BankRules::fileName(form->progpath(), form->mandantnr(), m_year);
        const auto verdicts = DuplicateCheck::check(input.statement, ledger.table(), bookings());
        input.firstReceipt = FindMaxBel(bookings());
        input.lists = MasterLists(form->tables());
        input.rows = BankReview::propose(input.statement, verdicts, {}, input.lists, m_year, input.firstReceipt);
        auto dialog = std::make_unique<TKontoauszugForm>(*form, ledger, std::move(input), form);
        dialog->showSummary = false;
        dialog->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
        QApplication::setActiveWindow(dialog.get());
        return dialog;
    }

    // Types into a cell of the grid as the user does: select it, type (the first key opens the editor), Enter.
    void type(TKontoauszugForm& dialog, int row, int column, const QString& text) {
        focusGrid(dialog);
        dialog.Grid->setCurrentIndex(dialog.model()->index(row, column));
        QTest::keyClicks(dialog.Grid, text.left(1));
        QTest::keyClicks(focused(dialog), text.mid(1));
        QTest::keyClick(focused(dialog), Qt::Key_Return);
        QApplication::processEvents();
    }
    static void focusGrid(TKontoauszugForm& dialog) {
        QApplication::setActiveWindow(&dialog);
        dialog.activateWindow();
        dialog.Grid->setFocus();
        QTRY_VERIFY(dialog.Grid->hasFocus());
    }
    static QWidget* focused(TKontoauszugForm& dialog) {
        QWidget* w = QApplication::focusWidget();
        return w ? w : dialog.Grid;
    }
};

TEST_F(KontoauszugFormTest, EditsWithTheKeyboardAndBooksTheTickedRows) {
    start();
    post(QStringLiteral("Tankstelle Diesel"), 0, QDate(m_year, 3, 4));
    uitest::controls(form).RadioButton2->setChecked(true);
    bookings().First();
    bookings().Edit();
    bookings().Fields(Booking::Art).setAsString(QStringLiteral("A"));
    bookings().Fields(Booking::Brutto).setAsFloat(25);
    bookings().Post();
    BankLedger ledger;
    auto dialog = open(ledger);
    KontoauszugModel& model = *dialog->model();
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    ASSERT_EQ(model.rowCount(), 3);
    EXPECT_EQ(model.rows()[2].state, ReviewRow::State::Booked);
    EXPECT_EQ(model.index(2, KontoauszugModel::Buchen).data(Qt::CheckStateRole).toInt(), Qt::Unchecked);
    EXPECT_TRUE(model.index(2, KontoauszugModel::Datum).data(Qt::ForegroundRole).isValid());  // greyed
    EXPECT_EQ(model.tickedCount(), 2);
    EXPECT_TRUE(dialog->InfoLabel->text().contains(QStringLiteral("1 bereits gebucht")));
    EXPECT_EQ(dialog->InfoLabel->accessibleName(), dialog->InfoLabel->text());

    type(*dialog, 0, KontoauszugModel::Betrag, QStringLiteral("119,5"));
    EXPECT_EQ(model.rows()[0].cents, 11950);
    type(*dialog, 0, KontoauszugModel::Datum, QStringLiteral("16.4."));
    EXPECT_EQ(model.rows()[0].datum, QDate(m_year, 4, 16));
    {
        uitest::MessageBoxAnswer answer;
        type(*dialog, 0, KontoauszugModel::Betrag, QStringLiteral("0"));
        QTRY_VERIFY(answer.answered());
        EXPECT_EQ(answer.text().toStdString(), "Ein Betrag von 0,00 kann nicht gebucht werden.");
    }
    EXPECT_EQ(model.rows()[0].cents, 11950);
    {
        uitest::MessageBoxAnswer answer;
        type(*dialog, 1, KontoauszugModel::Datum, QStringLiteral("1.1.%1").arg(m_year + 1));
        QTRY_VERIFY(answer.answered());
        EXPECT_TRUE(answer.text().contains(QStringLiteral("nicht im Buchungsjahr")));
    }
    // The VAT list with the keyboard: typing opens the list, "7" picks 7,00%, Enter takes it.
    type(*dialog, 1, KontoauszugModel::MwSt, QStringLiteral("7"));
    EXPECT_EQ(model.index(1, KontoauszugModel::MwSt).data().toString().toStdString(), "7,00%");
    // Space unticks and ticks again; the receipts follow.
    focusGrid(*dialog);
    dialog->Grid->setCurrentIndex(model.index(0, KontoauszugModel::Buchen));
    QTest::keyClick(dialog->Grid, Qt::Key_Space);
    EXPECT_FALSE(model.rows()[0].ticked);
    EXPECT_EQ(model.index(1, KontoauszugModel::Beleg).data().toString(), QStringLiteral("2"));  // 1 is taken
    QTest::keyClick(dialog->Grid, Qt::Key_Space);
    EXPECT_EQ(model.index(1, KontoauszugModel::Beleg).data().toString(), QStringLiteral("3"));

    {
        uitest::MessageBoxAnswer answer;
        dialog->Grid->setCurrentIndex(model.index(1, KontoauszugModel::Konto));
        dialog->RegelBtn->click();
        QTRY_VERIFY(answer.answered());
    }
    EXPECT_EQ(BankRules::load(BankRules::fileName(form->progpath(), form->mandantnr(), m_year)).size(), 1u);

    dialog->BuchenBtn->click();
    EXPECT_EQ(dialog->lastResult().booked, 2) << dialog->lastResult().summary().toStdString();
    EXPECT_EQ(bookings().RecordCount(), 3);
    EXPECT_EQ(uitest::controls(form).BelegEd->text(), QStringLiteral("4"));
    // 25,00 at 19 % typed by hand and 40,00 at 7 % from the statement
    EXPECT_TRUE(uitest::controls(form).VorsteuerLabel->text().contains(QStringLiteral("6,61")))
        << uitest::controls(form).VorsteuerLabel->text().toStdString();
    EXPECT_EQ(model.rows()[1].state, ReviewRow::State::BookedNow);
    EXPECT_FALSE(model.flags(model.index(1, KontoauszugModel::Betrag)) & Qt::ItemIsEditable);
    dialog->close();
}

}  // namespace
