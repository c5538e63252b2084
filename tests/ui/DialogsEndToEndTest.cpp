// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <functional>

#include "MainWindowFixture.h"
#include "UiTestSupport.h"
#include "startup/OptionStore.h"
#include "storage/DbfTable.h"
#include "storage/StorageError.h"
#include "support/TestSupport.h"
#include "ui/AppForms.h"
#include "ui/DBGrid.h"
#include "ui/DBNavigator.h"
#include "ui/DauerFUnit.h"
#include "ui/EinstellungenFUnit.h"
#include "ui/FirmenanschriftFUnit.h"
#include "ui/MainUnit.h"
#include "ui/MandatenNrFUnit.h"
#include "ui/WaehrungFUnit.h"


namespace {

// Types text key by key; characters beyond ASCII (umlauts, ß, the en dash) arrive as the key's text, as
// a German keyboard delivers them.
void typeText(QWidget* widget, const QString& text) {
    for (const QChar ch : text) {
        if (ch.unicode() < 0x80) {
            QTest::keyClick(widget, char(ch.unicode()));
        } else {
            QTest::sendKeyEvent(QTest::Press, widget, Qt::Key_unknown, QString(ch), Qt::NoModifier);
            QTest::sendKeyEvent(QTest::Release, widget, Qt::Key_unknown, QString(ch), Qt::NoModifier);
        }
    }
}

// The real program windows over a fresh per-user data folder; the dialogs are opened by the main
// window's own commands and driven from inside their modal loops.
class DialogsEndToEndTest : public MainWindowFixture {
protected:
    void SetUp() override {
        MainWindowFixture::SetUp();
        start();
        ASSERT_TRUE(form->tablesUsable());
    }

    // Runs `drive` once `dialog` is the active modal window, inside the loop that `open` starts. A
    // dialog that `drive` left open is closed afterwards (a failure), so that a broken case cannot hang.
    void whileShown(QDialog* dialog, const std::function<void()>& open, const std::function<void()>& drive) {
        bool driven = false;
        QTimer poll;
        poll.setInterval(10);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (driven || QApplication::activeModalWidget() != dialog || !dialog->isVisible()) return;
            driven = true;
            poll.stop();
            drive();
            if (dialog->isVisible()) {
                QTimer::singleShot(500, dialog, [dialog] {
                    if (!dialog->isVisible()) return;
                    ADD_FAILURE() << "dialog still open: " << dialog->objectName().toStdString();
                    dialog->hide();
                });
            }
        });
        poll.start();
        open();
        EXPECT_TRUE(driven) << dialog->objectName().toStdString();
    }

    // The visible cell editor of a grid, if one is open.
    static QLineEdit* cellEditor(DBGrid* grid) {
        for (QLineEdit* edit : grid->viewport()->findChildren<QLineEdit*>())
            if (edit->isVisible()) return edit;
        return nullptr;
    }

    // Types `text` into the cell at row, column of `grid` as a user does: Enter opens the cell, the typing
    // replaces its text; the cell stays open.
    static void typeIntoOpenCell(DBGrid* grid, int row, int column, const QString& text) {
        grid->setFocus();
        grid->setCurrentIndex(grid->model()->index(row, column));
        QTest::keyClick(grid, Qt::Key_Return);  // opens the cell editor
        QLineEdit* editor = cellEditor(grid);
        ASSERT_NE(editor, nullptr);
        editor->selectAll();
        typeText(editor, text);
    }

    // The same, and Enter commits the cell (queued by the delegate).
    static void typeIntoCell(DBGrid* grid, int row, int column, const QString& text) {
        typeIntoOpenCell(grid, row, column, text);
        if (QLineEdit* editor = cellEditor(grid)) QTest::keyClick(editor, Qt::Key_Return);
        QCoreApplication::processEvents();
    }

    // Focuses the field named `name` of `window` and types `text` over its contents as a user does.
    static QWidget* retype(QWidget* window, const char* name, const QString& text) {
        QWidget* field = uitest::child<QWidget>(window, name);
        field->setFocus();
        QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);  // select all
        typeText(field, text);
        return field;
    }

    static QStringList items(const QComboBox* box) {
        QStringList result;
        for (int i = 0; i < box->count(); ++i) result << box->itemText(i);
        return result;
    }

    QAction* menuAction(const char* name) { return form->findChild<QAction*>(QLatin1String(name)); }

    TEinstellungenForm* editor() { return appForms().EinstellungenForm; }
    TDauerForm* dauerForm() { return appForms().DauerForm; }
    DbfTable& dauer() { return form->tables().dauer; }

    // Stores a template row as a user would type it in the template grid's table.
    void setFirstTemplate(const QString& art, const QString& beleg, const QString& text, double brutto,
                          const QString& rate, int konto) {
        dauer().First();
        dauer().Edit();
        dauer().FieldByName(QStringLiteral("Art")).setAsString(art);
        dauer().FieldByName(QStringLiteral("Beleg")).setAsString(beleg);
        dauer().FieldByName(QStringLiteral("Text")).setAsString(text);
        dauer().FieldByName(QStringLiteral("Brutto")).setAsFloat(brutto);
        dauer().FieldByName(QStringLiteral("MwSt")).setAsString(rate);
        dauer().FieldByName(QStringLiteral("Konto")).setAsInteger(konto);
        dauer().Post();
    }

    // Opens "Dauerbuchungen..." from the menu and clicks "Markierte Buchung übernehmen..." on row 0.
    void takeOverFirstTemplate() {
        whileShown(
            dauerForm(), [this] { menuAction("Dauerbuchungen1")->trigger(); },
            [this] {
                dauerForm()->DBGrid1->setCurrentIndex(dauerForm()->DBGrid1->model()->index(0, 2));
                QTest::mouseClick(dauerForm()->BitBtn2, Qt::LeftButton);
            });
    }
};

// --- master-data editors ---------------------------------------------------------------------------

TEST_F(DialogsEndToEndTest, NewExpenseAccountShowsAtOnceWithAusgabe) {
    whileShown(
        editor(), [this] { menuAction("Ausgabearten1")->trigger(); },
        [this] {
            EXPECT_EQ(editor()->windowTitle(), QStringLiteral("Einstellungen bearbeiten..."));
            DBGrid* grid = editor()->DBGrid1;
            EXPECT_EQ(grid->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("NR"));
            EXPECT_EQ(grid->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("BEZEICHNUN"));
            grid->setFocus();
            QTest::keyClick(grid, Qt::Key_Insert);
            const int row = editor()->table()->RecNo();
            typeIntoCell(grid, row, 0, QStringLiteral("4711"));
            typeIntoCell(grid, row, 1, QStringLiteral("Bürobedarf"));
            QTest::mouseClick(editor()->OKBtn, Qt::LeftButton);
        });
    uitest::controls(form).RadioButton2->click();
    EXPECT_TRUE(items(uitest::controls(form).EAKontoEd).contains(QStringLiteral("4711 - Bürobedarf")))
        << items(uitest::controls(form).EAKontoEd).join(QLatin1Char('|')).toStdString();
    uitest::controls(form).KontoNrEd->setValue(4711);
    EXPECT_EQ(uitest::controls(form).EAKontoEd->currentText(), QStringLiteral("4711 - Bürobedarf"));
}

TEST_F(DialogsEndToEndTest, NewVatRateIsListedAndPostedWith) {
    whileShown(
        editor(), [this] { menuAction("MwStStze1")->trigger(); },
        [this] {
            DBGrid* grid = editor()->DBGrid1;
            grid->setFocus();
            QTest::keyClick(grid, Qt::Key_Insert);
            typeIntoCell(grid, editor()->table()->RecNo(), 0, QStringLiteral("5,5"));
            editor()->close();  // the close box
        });
    // Listed at once in the main window, which the issue decided (no switch of the kind needed).
    ASSERT_EQ(uitest::controls(form).MwStEd->count(), 4);
    EXPECT_EQ(uitest::controls(form).MwStEd->itemText(3), QStringLiteral("5,50%"));

    uitest::controls(form).MwStEd->setCurrentIndex(3);
    uitest::controls(form).BuchTextEd->setEditText(QStringLiteral("Buch"));
    uitest::controls(form).BruttoEd->setValue(105.5);
    form->BuchenBtnClick();
    DbfTable& bookings = form->tables().Dbf1;
    bookings.Last();
    EXPECT_DOUBLE_EQ(bookings.FieldByName(QStringLiteral("MwSt")).AsFloat(), 5.5);
    EXPECT_EQ(uitest::controls(form).MwStLabel->text(), QStringLiteral("MwSt für eingestellten Zeitraum: 5,50 €"));
}

// Each of the six editors edits its own open table and is followed by a rebuild of the lists.
TEST_F(DialogsEndToEndTest, EverySixEditorsEditTheirTableAndRebuildTheLists) {
    uitest::controls(form).ZeigeEingabefeldfrSammelkonto1->trigger();
    uitest::controls(form).ZeigeEingabefeldfrKostenstelle1->trigger();
    const struct {
        const char* action;
        DbfTable* table;
        QComboBox* list;
        const char* typed;   // into column 1 (or 0 for single-field tables) of the first row
        const char* listed;  // entry 0 of the list afterwards
        bool expense;
    } cases[] = {
        {"Einnahmekonten1", &form->tables().EinnahmeKonten, uitest::controls(form).EAKontoEd, "Erlöse neu", "0 - Erlöse neu", false},
        {"Ausgabearten1", &form->tables().AusgabeKonten, uitest::controls(form).EAKontoEd, "Miete", "0 - Miete", true},
        {"MwStStze1", &form->tables().MwstSaetze, uitest::controls(form).MwStEd, "20", "20,00%", false},
        {"Buchungstexte1", &form->tables().buchungstexte, uitest::controls(form).BuchTextEd, "Porto", "Porto", false},
        {"Sammelkonten1", &form->tables().Sammelkonten, uitest::controls(form).SammelKontoEd, "Bank", "0 - Bank", false},
        {"Kostenstellen1", &form->tables().kostenkonten, uitest::controls(form).KostenKontoEd, "Werkstatt", "0 - Werkstatt", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.action);
        if (c.expense)
            uitest::controls(form).RadioButton2->click();
        else
            uitest::controls(form).RadioButton1->click();
        ASSERT_GT(c.table->RecordCount(), 0);
        whileShown(
            editor(), [&] { menuAction(c.action)->trigger(); },
            [&] {
                EXPECT_EQ(editor()->table(), c.table);
                const int column = c.table->FieldCount() > 1 ? 1 : 0;
                typeIntoCell(editor()->DBGrid1, 0, column, QString::fromUtf8(c.typed));
                QTest::keyClick(editor()->DBGrid1, Qt::Key_Escape);  // Escape closes as the close box does
            });
        EXPECT_EQ(editor()->table(), nullptr);  // unbound after closing
        EXPECT_EQ(c.list->itemText(0), QString::fromUtf8(c.listed));
    }
}

TEST_F(DialogsEndToEndTest, ClosingTheEditorWithAnOpenCellEditorKeepsTheEdit) {
    DbfTable& texts = form->tables().buchungstexte;
    const int rows = texts.RecordCount();
    const struct {
        const char* how;
        std::function<void()> close;
    } ways[] = {
        {"OK", [this] { QTest::mouseClick(editor()->OKBtn, Qt::LeftButton); }},
        {"close box", [this] { editor()->close(); }},
    };
    int n = 0;
    for (const auto& way : ways) {
        SCOPED_TRACE(way.how);
        const QString text = QStringLiteral("Geändert %1").arg(++n);
        whileShown(
            editor(), [this] { menuAction("Buchungstexte1")->trigger(); },
            [&] {
                typeIntoOpenCell(editor()->DBGrid1, 0, 0, text);
                way.close();  // the cell editor is still open
            });
        EXPECT_EQ(texts.RecordCount(), rows);
        EXPECT_EQ(texts.state(), DbfTable::State::Browse);
        EXPECT_EQ(uitest::controls(form).BuchTextEd->itemText(0), text);
        DbfTable check;
        check.setFilePath(texts.FilePath());
        check.setTableName(texts.TableName());
        check.Open();
        check.First();
        EXPECT_EQ(check.Fields(0).AsString(), text);
    }
}

TEST_F(DialogsEndToEndTest, EnterOnTheEditorsFocusedOkButtonCloses) {
    whileShown(
        editor(), [this] { menuAction("Einnahmekonten1")->trigger(); },
        [this] {
            editor()->OKBtn->setFocus();
            QTest::keyClick(editor()->OKBtn, Qt::Key_Return);
        });
    EXPECT_FALSE(editor()->isVisible());
}

// --- currency and company address ------------------------------------------------------------------

TEST_F(DialogsEndToEndTest, CurrencyTypedInTheDialogIsUsedByTheSummary) {
    uitest::controls(form).BuchTextEd->setEditText(QStringLiteral("Verkauf"));
    uitest::controls(form).BruttoEd->setValue(119);
    form->BuchenBtnClick();
    TWaehrungForm* dialog = appForms().WaehrungForm;
    whileShown(
        dialog, [this] { menuAction("Whrungeinstellen1")->trigger(); },
        [dialog] {
            EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Währung"));
            EXPECT_EQ(dialog->currency(), QStringLiteral("€"));
            QTest::keyClick(retype(dialog, "Edit1", QStringLiteral("CHF")), Qt::Key_Return);  // "OK" is the default
        });
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(uitest::controls(form).MwStLabel->text(), QStringLiteral("MwSt für eingestellten Zeitraum: 19,00 CHF"));
    EXPECT_EQ(uitest::controls(form).AbfuhrEd->text(), QStringLiteral("Abzuführen für eingestellten Zeitraum: 19,00 CHF"));
    // The dialog keeps its text for the next opening.
    whileShown(
        dialog, [this] { menuAction("Whrungeinstellen1")->trigger(); }, [dialog] { dialog->close(); });
    EXPECT_EQ(dialog->currency(), QStringLiteral("CHF"));
}

TEST_F(DialogsEndToEndTest, CurrencyKeepsOnlyItsPlacementAcrossARestart) {
    TWaehrungForm* dialog = appForms().WaehrungForm;
    whileShown(
        dialog, [this] { menuAction("Whrungeinstellen1")->trigger(); },
        [dialog] {
            uitest::child<QLineEdit>(dialog, "Edit1")->setText(QStringLiteral("CHF"));
            dialog->close();
        });
    OptionStore store;
    EXPECT_TRUE(store.placement(QStringLiteral("TWaehrungForm"), dialog->screen()->size()).has_value());
    EXPECT_FALSE(store.value(QStringLiteral("TWaehrungForm"), QStringLiteral("Edit1_Text")).has_value());

    destroyAppForms();
    form = createAppForms();
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form));
    QTest::qWait(50);
    EXPECT_EQ(appForms().WaehrungForm->currency(), QStringLiteral("€"));
    EXPECT_TRUE(uitest::controls(form).MwStLabel->text().endsWith(QStringLiteral(" €")));
}

TEST_F(DialogsEndToEndTest, AddressThatCannotBeWrittenStaysInTheDialog) {
    // A folder in the file's place: the write must fail.
    ASSERT_TRUE(QDir().mkpath(userFolder() + QStringLiteral("anschrift_1_.txt")));
    TFirmenanschriftForm* dialog = appForms().FirmenanschriftForm;
    QTimer::singleShot(0, dialog, [dialog] {
        dialog->setLines({QStringLiteral("Muster AG")});
        dialog->accept();
    });
    EXPECT_THROW(form->Firmenangaben1Click(), QuorvelError);
    EXPECT_EQ(dialog->lines(), QStringList{QStringLiteral("Muster AG")});
}

TEST_F(DialogsEndToEndTest, AddressTypedAndClosedByTheCloseBoxIsWrittenInCp1252WithCrLf) {
    TFirmenanschriftForm* dialog = appForms().FirmenanschriftForm;
    whileShown(
        dialog, [this] { menuAction("Firmenangaben1")->trigger(); },
        [dialog] {
            QWidget* memo = retype(dialog, "Memo1", QStringLiteral("Jürgen Maß"));
            QTest::keyClick(memo, Qt::Key_Return);
            typeText(memo, QStringLiteral("Straße 5 – Köln"));
            EXPECT_TRUE(dialog->isVisible());  // Enter made a new line
            dialog->close();
        });
    EXPECT_EQ(testsupport::readFile(userFolder() + QStringLiteral("anschrift_1_.txt")),
              QByteArray("J\xfcrgen Ma\xdf\r\nStra\xdf"
                         "e 5 \x96 K\xf6ln\r\n"));
}

TEST_F(DialogsEndToEndTest, EnterOnTheAddressDialogsFocusedOkButtonCloses) {
    TFirmenanschriftForm* dialog = appForms().FirmenanschriftForm;
    whileShown(
        dialog, [this] { menuAction("Firmenangaben1")->trigger(); },
        [dialog] {
            uitest::child<QWidget>(dialog, "Memo1")->setFocus();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);  // Tab leaves the memo for "OK"
            EXPECT_EQ(QApplication::focusWidget(), uitest::child<QPushButton>(dialog, "OKBtn"));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        });
    EXPECT_FALSE(dialog->isVisible());
}

TEST_F(DialogsEndToEndTest, FreeClientNumberTypedInTheDialog) {
    TMandantenNrForm* dialog = appForms().MandantenNrForm;
    whileShown(
        dialog, [this] { uitest::controls(form).FreieMandantennummersetzen1->trigger(); },
        [dialog] { QTest::keyClick(retype(dialog, "MandantEd", QStringLiteral("42")), Qt::Key_Return); });
    EXPECT_EQ(form->mandantnr(), 42);
    EXPECT_TRUE(form->windowTitle().endsWith(QStringLiteral(" - Mandant 42")));
    EXPECT_EQ(dialog->number(), 42);
}

// --- recurring bookings ----------------------------------------------------------------------------

TEST_F(DialogsEndToEndTest, DefaultTemplateTakenOverSwitchesToAusgabeAndPosts) {
    ASSERT_TRUE(uitest::controls(form).RadioButton1->isChecked());
    const QString proposal = uitest::controls(form).BelegEd->text();
    uitest::controls(form).MwstZahlEd->setValue(7);
    takeOverFirstTemplate();
    EXPECT_FALSE(dauerForm()->isVisible());
    EXPECT_TRUE(uitest::controls(form).RadioButton2->isChecked());
    EXPECT_EQ(uitest::controls(form).EAKontoEd->itemText(0), QStringLiteral("0 - Ausgaben"));
    EXPECT_EQ(uitest::controls(form).BelegEd->text(), proposal);
    EXPECT_EQ(uitest::controls(form).BuchTextEd->currentText(), QStringLiteral("Dauerbuchung Beispiel"));
    EXPECT_DOUBLE_EQ(uitest::controls(form).BruttoEd->value(), 12.45);
    EXPECT_DOUBLE_EQ(uitest::controls(form).MwstZahlEd->value(), 0.0);
    EXPECT_EQ(uitest::controls(form).KontoNrEd->value(), 0);

    // "Buchen" posts it as a manual entry.
    const int before = form->tables().Dbf1.RecordCount();
    QTest::mouseClick(uitest::controls(form).BuchenBtn, Qt::LeftButton);
    DbfTable& bookings = form->tables().Dbf1;
    ASSERT_EQ(bookings.RecordCount(), before + 1);
    bookings.Last();
    EXPECT_EQ(bookings.FieldByName(QStringLiteral("Art")).AsString(), QStringLiteral("A"));
    EXPECT_EQ(bookings.FieldByName(QStringLiteral("Text")).AsString(), QStringLiteral("Dauerbuchung Beispiel"));
    EXPECT_DOUBLE_EQ(bookings.FieldByName(QStringLiteral("Brutto")).AsFloat(), 12.45);
}

TEST_F(DialogsEndToEndTest, TemplateRatesRoundToTheEvenNeighbourAndSelectTheListEntry) {
    // 8 % exists as a rate here, so the list follows the rounded number.
    DbfTable& rates = form->tables().MwstSaetze;
    rates.AppendRecord();
    rates.Last();
    rates.Edit();
    rates.Fields(0).setAsFloat(8);
    rates.Post();
    form->FillCombos();
    const struct {
        const char* stored;
        double shown;
        const char* listed;
    } cases[] = {{"7,5", 8.0, "8,00%"}, {"6,5", 6.0, "19,00%"}, {"7,49", 7.0, "7,00%"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        setFirstTemplate(QStringLiteral("E"), QString(), QStringLiteral("Abo"), 10, QString::fromLatin1(c.stored), 0);
        uitest::controls(form).MwStEd->setCurrentIndex(0);
        takeOverFirstTemplate();
        EXPECT_DOUBLE_EQ(uitest::controls(form).MwstZahlEd->value(), c.shown);
        // No 6 % rate: the list keeps its selection (index 0, "19,00%").
        EXPECT_EQ(uitest::controls(form).MwStEd->currentText(), QString::fromLatin1(c.listed));
    }
}

TEST_F(DialogsEndToEndTest, TemplateWithReceiptAndAccountFillsThePanel) {
    uitest::controls(form).RadioButton2->click();
    uitest::addAccount(form->tables().EinnahmeKonten, 8400, QStringLiteral("Erlöse"));
    setFirstTemplate(QStringLiteral("E"), QStringLiteral("M-1"), QStringLiteral("Miete Garage"), 80,
                     QStringLiteral("19"), 8400);
    uitest::controls(form).NeutralBuchenCheck->setChecked(true);
    const QDate date = uitest::controls(form).DateTimePicker1->date().addDays(-3);
    uitest::controls(form).DateTimePicker1->setDate(date);
    takeOverFirstTemplate();
    EXPECT_TRUE(uitest::controls(form).RadioButton1->isChecked());
    EXPECT_EQ(uitest::controls(form).BelegEd->text(), QStringLiteral("M-1"));
    EXPECT_EQ(uitest::controls(form).EAKontoEd->currentText(), QStringLiteral("8400 - Erlöse"));
    EXPECT_EQ(uitest::controls(form).MwStEd->currentText(), QStringLiteral("19,00%"));
    // Not the template's business: date and neutral check box stay.
    EXPECT_EQ(uitest::controls(form).DateTimePicker1->date(), date);
    EXPECT_TRUE(uitest::controls(form).NeutralBuchenCheck->isChecked());
}

TEST_F(DialogsEndToEndTest, EmptyReceiptKeepsTheAutomaticProposal) {
    ASSERT_TRUE(uitest::controls(form).AutobelCheck->isChecked());
    setFirstTemplate(QStringLiteral("E"), QString(), QStringLiteral("Abo"), 10, QStringLiteral("19"), 0);
    const QString proposal = uitest::controls(form).BelegEd->text();
    takeOverFirstTemplate();
    EXPECT_EQ(uitest::controls(form).BelegEd->text(), proposal);
}

TEST_F(DialogsEndToEndTest, AddedTemplateUsesTheWindowsListsAndAnEditSurvivesTheCloseBox) {
    whileShown(
        dauerForm(), [this] { QTest::mouseClick(uitest::controls(form).DauerBtn, Qt::LeftButton); },
        [this] {
            TDauerForm* d = dauerForm();
            EXPECT_EQ(d->windowTitle(), QStringLiteral("Dauerbuchungen"));
            QTest::mouseClick(d->RadioButton2, Qt::LeftButton);
            d->BelegEd->setFocus();
            typeText(d->BelegEd, QStringLiteral("V-9"));
            d->BuchTextEd->lineEdit()->setFocus();
            typeText(d->BuchTextEd->lineEdit(), QStringLiteral("Versicherung"));
            d->BruttoEd->setValue(99.9);
            d->MwstZahlEd->setValue(7);
            d->KontoNrEd->setValue(0);
            // Enter in the booking text runs "Hinzufügen".
            QTest::keyClick(d->BuchTextEd->lineEdit(), Qt::Key_Return);
            EXPECT_EQ(dauer().RecordCount(), 2);
            EXPECT_TRUE(d->BuchTextEd->currentText().isEmpty());

            // Edit the added row's text in the grid and close by the close box with the cell still open.
            typeIntoOpenCell(d->DBGrid1, 1, 2, QStringLiteral("Kfz-Versicherung"));
            d->close();
        });
    EXPECT_FALSE(dauerForm()->isVisible());
    DbfTable check;
    check.setFilePath(dauer().FilePath());
    check.setTableName(dauer().TableName());
    check.Open();
    ASSERT_EQ(check.RecordCount(), 2);
    check.Last();
    EXPECT_EQ(check.FieldByName(QStringLiteral("Art")).AsString(), QStringLiteral("A"));
    EXPECT_EQ(check.FieldByName(QStringLiteral("Beleg")).AsString(), QStringLiteral("V-9"));
    EXPECT_EQ(check.FieldByName(QStringLiteral("Text")).AsString(), QStringLiteral("Kfz-Versicherung"));
    EXPECT_DOUBLE_EQ(check.FieldByName(QStringLiteral("Brutto")).AsFloat(), 99.9);
    EXPECT_DOUBLE_EQ(check.FieldByName(QStringLiteral("MwSt")).AsFloat(), 7.0);
    EXPECT_EQ(check.FieldByName(QStringLiteral("Konto")).AsInteger(), 0);
}

TEST_F(DialogsEndToEndTest, EnterOnAFocusedButtonOfTheTemplateWindowPressesThatButton) {
    const int templates = dauer().RecordCount();
    whileShown(
        dauerForm(), [this] { menuAction("Dauerbuchungen1")->trigger(); },
        [this] {
            dauerForm()->BitBtn2->setFocus();
            QTest::keyClick(dauerForm()->BitBtn2, Qt::Key_Return);
        });
    EXPECT_FALSE(dauerForm()->isVisible());
    EXPECT_EQ(dauer().RecordCount(), templates);  // no template added
    EXPECT_EQ(uitest::controls(form).BuchTextEd->currentText(), QStringLiteral("Dauerbuchung Beispiel"));

    whileShown(
        dauerForm(), [this] { menuAction("Dauerbuchungen1")->trigger(); },
        [this] {
            dauerForm()->BitBtn1->setFocus();
            QTest::keyClick(dauerForm()->BitBtn1, Qt::Key_Return);
        });
    EXPECT_FALSE(dauerForm()->isVisible());
    EXPECT_EQ(dauer().RecordCount(), templates);
}

TEST_F(DialogsEndToEndTest, TemplateWindowFollowsAnAccountAddedInTheEditor) {
    whileShown(
        editor(), [this] { menuAction("Ausgabearten1")->trigger(); },
        [this] {
            DbfTable& accounts = *editor()->table();
            uitest::addAccount(accounts, 6300, QStringLiteral("Versicherungen"));
            QTest::mouseClick(editor()->OKBtn, Qt::LeftButton);
        });
    whileShown(
        dauerForm(), [this] { menuAction("Dauerbuchungen1")->trigger(); },
        [this] {
            TDauerForm* d = dauerForm();
            QTest::mouseClick(d->RadioButton2, Qt::LeftButton);
            d->KontoNrEd->setValue(6300);
            EXPECT_EQ(d->EAKontoEd->currentText(), QStringLiteral("6300 - Versicherungen"));
            QTest::mouseClick(d->BuchenBtn, Qt::LeftButton);
            QTest::mouseClick(d->BitBtn1, Qt::LeftButton);
        });
    dauer().Last();
    EXPECT_EQ(dauer().FieldByName(QStringLiteral("Konto")).AsInteger(), 6300);
}

}  // namespace
