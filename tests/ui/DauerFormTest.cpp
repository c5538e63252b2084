// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>

#include "MainControls.h"
#include "UiTestSupport.h"
#include "recurring/TemplateTakeOver.h"
#include "support/TestSupport.h"
#include "ui/AppForms.h"
#include "ui/DBGrid.h"
#include "ui/DBNavigator.h"
#include "ui/DauerFUnit.h"
#include "ui/MainUnit.h"

namespace {

// The whole program's windows over a fresh data folder; the recurring-bookings window opened as the
// menu command does, but shown without a nested event loop.
class DauerFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        qputenv("XDG_DATA_HOME", m_dataHome.path().toUtf8());
        qputenv("XDG_CONFIG_HOME", m_configHome.path().toUtf8());
        main = createAppForms();
        main->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(main));
        ASSERT_TRUE(main->tablesUsable());
        form = appForms().DauerForm;
    }
    void TearDown() override {
        if (form) {
            form->hide();
            form->unbind();
        }
        // The main window does not unbind its own navigator before its tables go (reported); a
        // navigator detaching from a destroyed table would crash the test binary.
        if (main)
            for (DBNavigator* nav : main->findChildren<DBNavigator*>()) nav->setTable(nullptr);
        destroyAppForms();
    }

    void open() {
        form->bind(&dauer());
        form->FillCombos();
        form->show();
    }
    DbfTable& dauer() { return main->tables().dauer; }

    void setTemplateRate(const QString& rate) {
        dauer().First();
        dauer().Edit();
        dauer().FieldByName(QStringLiteral("MwSt")).setAsString(rate);
        dauer().Post();
    }

    QLineEdit* openCellEditor() {
        for (QLineEdit* edit : form->DBGrid1->viewport()->findChildren<QLineEdit*>())
            if (edit->isVisible()) return edit;
        return nullptr;
    }

    TMainForm* main = nullptr;
    TDauerForm* form = nullptr;

private:
    testsupport::TempFolder m_dataHome;
    testsupport::TempFolder m_configHome;
};

}  // namespace

TEST_F(DauerFormTest, LayoutCaptionsAndTabOrder) {
    open();
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Dauerbuchungen"));
    EXPECT_EQ(form->size(), QSize(758, 523));
    EXPECT_EQ(form->BitBtn2->text(), QStringLiteral("Markierte Buchung übernehmen..."));
    EXPECT_EQ(form->BuchenBtn->text(), QStringLiteral("Hinzufügen"));
    EXPECT_TRUE(form->BuchenBtn->isDefault());
    EXPECT_EQ(form->DBNavigator1->pos(), QPoint(8, 202));
    EXPECT_TRUE(form->DBNavigator1->button(DBNavigator::First)->toolTip().isEmpty());
    EXPECT_TRUE(form->RadioButton1->isChecked());
    const QWidget* order[] = {form->BitBtn1,      form->BelegEd,      form->BuchTextEd, form->BruttoEd,
                              form->MwStEd,       form->EAKontoEd,    form->MwstZahlEd, form->KontoNrEd,
                              form->RadioButton1, form->RadioButton2, form->BuchenBtn,  form->BitBtn2};
    for (size_t i = 0; i + 1 < std::size(order); ++i) {
        const QWidget* next = order[i]->nextInFocusChain();
        // Composite fields (spin boxes, combo boxes) put their inner edit into the chain.
        while (next && order[i]->isAncestorOf(next)) next = next->nextInFocusChain();
        EXPECT_TRUE(next == order[i + 1] || order[i + 1]->isAncestorOf(next)) << i;
    }
    // Lists come from the main window's master tables: three default rates.
    EXPECT_EQ(form->MwStEd->count(), 3);
    EXPECT_EQ(form->MwStEd->itemText(0), QStringLiteral("19,00%"));
}

TEST_F(DauerFormTest, DefaultTemplateSwitchesTheMainWindowToAusgabe) {
    EntryValue before = main->entryValue();
    ASSERT_TRUE(before.einnahme);
    before.mwst = 19;
    before.konto = 3;
    main->fillEntry(before);
    open();
    dauer().First();
    QTest::mouseClick(form->BitBtn2, Qt::LeftButton);
    EXPECT_FALSE(form->isVisible());
    const EntryValue after = main->entryValue();
    EXPECT_FALSE(after.einnahme);
    EXPECT_TRUE(uitest::controls(main).RadioButton2->isChecked());
    EXPECT_EQ(after.beleg, before.beleg);  // the receipt proposal stays
    EXPECT_EQ(after.text, QStringLiteral("Dauerbuchung Beispiel"));
    EXPECT_DOUBLE_EQ(after.brutto, 12.45);
    EXPECT_DOUBLE_EQ(after.mwst, 0.0);
    EXPECT_EQ(after.konto, 0);
    EXPECT_EQ(after.datum, before.datum);
}

TEST_F(DauerFormTest, TemplateRatesRoundToTheEvenNeighbour) {
    const struct {
        const char* stored;
        double expected;
    } cases[] = {{"7,5", 8.0}, {"6,5", 6.0}};
    for (const auto& c : cases) {
        setTemplateRate(QString::fromLatin1(c.stored));
        open();
        dauer().First();
        form->BitBtn2Click();
        EXPECT_DOUBLE_EQ(main->entryValue().mwst, c.expected) << c.stored;
        form->unbind();
    }
}

TEST_F(DauerFormTest, AddingWithAnEmptyExpenseTableStoresAccountZero) {
    DbfTable& expenses = main->tables().AusgabeKonten;
    expenses.First();
    while (expenses.RecordCount() > 0) expenses.Delete();
    open();
    QTest::mouseClick(form->RadioButton2, Qt::LeftButton);
    EXPECT_EQ(form->EAKontoEd->count(), 0);
    form->BelegEd->setText(QStringLiteral("D-7"));
    form->BuchTextEd->setEditText(QStringLiteral("Miete Lager"));
    form->BruttoEd->setValue(450.0);
    form->MwStEd->setCurrentIndex(1);
    const int before = dauer().RecordCount();
    // Enter in an entry field runs the default button "Hinzufügen".
    form->BruttoEd->setFocus();
    QTest::keyClick(form->BruttoEd, Qt::Key_Return);
    ASSERT_EQ(dauer().RecordCount(), before + 1);
    dauer().Last();
    EXPECT_EQ(dauer().FieldByName(QStringLiteral("Art")).AsString(), QStringLiteral("A"));
    EXPECT_EQ(dauer().FieldByName(QStringLiteral("Beleg")).AsString(), QStringLiteral("D-7"));
    EXPECT_EQ(dauer().FieldByName(QStringLiteral("Text")).AsString(), QStringLiteral("Miete Lager"));
    EXPECT_DOUBLE_EQ(dauer().FieldByName(QStringLiteral("Brutto")).AsFloat(), 450.0);
    EXPECT_DOUBLE_EQ(dauer().FieldByName(QStringLiteral("MwSt")).AsFloat(), 7.0);
    EXPECT_EQ(dauer().FieldByName(QStringLiteral("Konto")).AsInteger(), 0);
    EXPECT_TRUE(form->BelegEd->text().isEmpty());
    EXPECT_TRUE(form->BuchTextEd->currentText().isEmpty());
    EXPECT_DOUBLE_EQ(form->BruttoEd->value(), 0.0);
    EXPECT_TRUE(form->isVisible());
}

TEST_F(DauerFormTest, AnEditInTheGridSurvivesTheCloseBox) {
    open();
    dauer().First();
    const QModelIndex cell = form->DBGrid1->model()->index(0, 2);  // Text
    form->DBGrid1->setFocus();
    form->DBGrid1->setCurrentIndex(cell);
    QTest::keyClick(form->DBGrid1, Qt::Key_Return);  // Enter edits the cell, it does not add a template
    QLineEdit* editor = openCellEditor();
    ASSERT_NE(editor, nullptr);
    editor->setText(QStringLiteral("Geänderte Vorlage"));
    const int rows = dauer().RecordCount();
    form->close();
    EXPECT_FALSE(form->isVisible());
    form->unbind();
    EXPECT_EQ(dauer().RecordCount(), rows);
    // Read back from the file.
    DbfTable check;
    check.setFilePath(dauer().FilePath());
    check.setTableName(dauer().TableName());
    check.Open();
    check.First();
    EXPECT_EQ(check.FieldByName(QStringLiteral("Text")).AsString(), QStringLiteral("Geänderte Vorlage"));
}

TEST_F(DauerFormTest, NumberFieldsSelectListEntries) {
    open();
    form->MwStEd->setCurrentIndex(0);
    form->MwstZahlEd->setValue(7);
    EXPECT_EQ(form->MwStEd->currentIndex(), 1);
    form->MwstZahlEd->setValue(42);  // no such rate: the selection stays
    EXPECT_EQ(form->MwStEd->currentIndex(), 1);
}
