#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPrinter>
#include <QProgressBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QSpinBox>
#include <QTextEdit>
#include <QTimer>
#include <deque>
#include <functional>

#include "MainWindowFixture.h"
#include "ShowHook.h"
#include "journal/JournalModel.h"
#include "startup/TableSet.h"
#include "ui/AppPrinter.h"
#include "ui/DatensatzDruckenFUnit.h"
#include "ui/EinstellUebertragFUnit.h"

namespace {

// Works through the modal windows a command opens, one step per window, in order. A step gets the
// window and returns once it has answered it; what it saw it records itself.
class ModalScript {
public:
    using Step = std::function<void(QWidget*)>;
    ModalScript() {
        m_timer.setInterval(10);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { poll(); });
        m_timer.start();
    }
    ModalScript& then(Step step) {
        m_steps.push_back(std::move(step));
        return *this;
    }
    bool done() const { return m_steps.empty(); }

private:
    void poll() {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal == m_last || m_steps.empty() || !modal->isVisible()) return;
        if (qobject_cast<QProgressDialog*>(modal)) return;
        m_last = modal;
        Step step = std::move(m_steps.front());
        m_steps.pop_front();
        step(modal);
    }
    QTimer m_timer;
    std::deque<Step> m_steps;
    QPointer<QWidget> m_last;
};

struct BoxSeen {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
};

ModalScript::Step answerBox(BoxSeen* seen, const QString& button = {}) {
    return [seen, button](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        ASSERT_NE(box, nullptr) << "expected a message box, got " << w->metaObject()->className();
        if (seen) *seen = BoxSeen{box->windowTitle(), box->text(), box->icon()};
        for (QAbstractButton* b : box->buttons()) {
            if (button.isEmpty() ? b == box->defaultButton() : b->text() == button) {
                b->click();
                return;
            }
        }
        box->done(QMessageBox::Ok);
    };
}

ModalScript::Step chooseFile(const QString& fileName) {
    return [fileName](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        ASSERT_NE(dialog, nullptr) << "expected a file dialog, got " << w->metaObject()->className();
        EXPECT_TRUE(dialog->nameFilters()
                        .join(QLatin1Char(' '))
                        .contains(dialog->defaultSuffix() == QStringLiteral("pdf")
                                      ? QStringLiteral("(*.pdf)")
                                      : QStringLiteral("CSV Dateien (*.csv)")));
        dialog->selectFile(fileName);
        static_cast<QDialog*>(dialog)->accept();  // QFileDialog::accept checks the name as the OK button does
        // Under load the dialog's file model may not know the file yet, and accept() then keeps the dialog
        // open; the name is chosen all the same.
        if (dialog->isVisible()) static_cast<QDialog*>(dialog)->done(QDialog::Accepted);
    };
}

int pdfPages(const QString& fileName) {
    const QByteArray pdf = testsupport::readFile(fileName);
    return int(pdf.count("/Type /Page\n") + pdf.count("/Type /Page ") + pdf.count("/Type /Page/") +
               pdf.count("/Type /Page>"));
}

class ExchangeCommandsTest : public MainWindowFixture {
protected:
    QString file(const QString& name) const { return m_files.file(name); }
    testsupport::TempFolder m_files;
};

TEST_F(ExchangeCommandsTest, YearTransferPresetsTodayAndRefusesEqualYears) {
    start();
    form->JahrEd->setValue(2014);  // the booking year shown does not matter
    TEinstellUebertragForm* dialog = appForms().EinstellUebertragForm;
    int presetOld = 0, presetNew = 0;
    BoxSeen error;
    ModalScript script;
    script
        .then([&](QWidget*) {
            presetOld = dialog->AltesJahrEd->value();
            presetNew = dialog->NeuesJahrEd->value();
            dialog->AltesJahrEd->setValue(2015);
            dialog->NeuesJahrEd->setValue(2015);
            QTest::mouseClick(dialog->OKBtn, Qt::LeftButton);
        })
        .then(answerBox(&error));
    form->EinstellungeninneuesJahrbertragen1->trigger();
    EXPECT_TRUE(script.done());
    EXPECT_EQ(presetOld, m_year - 1);
    EXPECT_EQ(presetNew, m_year);
    EXPECT_EQ(error.title, QStringLiteral("Fehler"));
    EXPECT_EQ(error.text, QStringLiteral("Das alte Jahr und das neue Jahr müssen unterschiedlich sein."));
    EXPECT_EQ(error.icon, QMessageBox::Critical);
    EXPECT_TRUE(bookings().Active());
}

TEST_F(ExchangeCommandsTest, YearTransferDialogLayoutAndTabOrder) {
    start();
    TEinstellUebertragForm* dialog = appForms().EinstellUebertragForm;
    const struct {
        QCheckBox* box;
        const char* caption;
        int top;
    } boxes[] = {{dialog->CheckBox1, "Einnahmekonten", 8},  {dialog->CheckBox2, "Ausgabekonten", 24},
                 {dialog->CheckBox3, "MwSt-Sätze", 40},     {dialog->CheckBox4, "Buchungstexte", 56},
                 {dialog->CheckBox5, "Dauerbuchungen", 72}, {dialog->CheckBox6, "Sammelkonten", 88},
                 {dialog->CheckBox7, "Kostenkonten", 104}};
    for (const auto& b : boxes) {
        EXPECT_EQ(b.box->text(), QString::fromUtf8(b.caption));
        EXPECT_EQ(b.box->pos(), QPoint(8, b.top));
        EXPECT_TRUE(b.box->isChecked());
    }
    EXPECT_EQ(dialog->AltesJahrEd->pos(), QPoint(104, 128));
    EXPECT_EQ(dialog->NeuesJahrEd->pos(), QPoint(104, 152));
    EXPECT_EQ(dialog->AltesJahrEd->minimum(), 1900);
    EXPECT_EQ(dialog->NeuesJahrEd->maximum(), 3000);
    EXPECT_EQ(dialog->OKBtn->pos(), QPoint(176, 200));
    EXPECT_EQ(dialog->size(), QSize(428, 240));

    QStringList order;
    ModalScript script;
    script.then([&](QWidget*) {
        dialog->CheckBox1->setFocus();
        for (int i = 0; i < 10; ++i) {
            order << QApplication::focusWidget()->objectName();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QTest::keyClick(dialog->CheckBox7, Qt::Key_Space);  // unticked, kept for the next opening
        dialog->reject();
    });
    form->EinstellungeninneuesJahrbertragen1->trigger();
    EXPECT_TRUE(script.done());
    EXPECT_EQ(order.join(QLatin1Char(' ')), QStringLiteral("CheckBox1 CheckBox2 CheckBox3 CheckBox4 AltesJahrEd "
                                                           "NeuesJahrEd OKBtn CheckBox5 CheckBox6 CheckBox7"));
    EXPECT_FALSE(dialog->CheckBox7->isChecked());
    EXPECT_TRUE(bookings().Active());
}

TEST_F(ExchangeCommandsTest, LongImportShowsProgressAndCanBeStopped) {
    start();
    QByteArray lines;
    for (int i = 1; i <= 20000; ++i)
        lines += "01.03." + QByteArray::number(m_year) + ";A;" + QByteArray::number(i) + ";Porto Brief;0,85;19;0\r\n";
    const QString csv = file(QStringLiteral("lang.csv"));
    testsupport::writeFile(csv, lines);
    // "Abbrechen" is pressed from inside the import's own progress report, once its bar has passed a
    // third of the file: the moment comes from the import, never from a clock.
    bool sawProgress = false;
    int cancelledAt = 0;
    QObject connections;
    auto hook = uitest::onShow<QProgressDialog>([&](QProgressDialog* progress) {
        QObject::connect(progress->findChild<QProgressBar*>(), &QProgressBar::valueChanged, &connections,
                         [&, progress](int value) {
                             if (cancelledAt > 0 || value < 333) return;
                             sawProgress = progress->isVisible();
                             cancelledAt = value;
                             progress->cancel();
                         });
    });
    BoxSeen summary;
    ModalScript script;
    script.then(chooseFile(csv)).then(answerBox(&summary));
    form->ImportierenausCSVDatei1->trigger();
    EXPECT_TRUE(script.done());
    EXPECT_TRUE(sawProgress);
    EXPECT_LT(cancelledAt, 1000);
    const int kept = bookings().RecordCount();
    EXPECT_GE(kept, 20000 / 4);  // about a third was read when it stopped
    EXPECT_LT(kept, 20000);
    EXPECT_TRUE(summary.text.contains(QStringLiteral("Der Import wurde abgebrochen.")));
    EXPECT_TRUE(summary.text.contains(QStringLiteral("%1 Buchungen wurden importiert.").arg(kept)))
        << summary.text.toStdString();
}

TEST_F(ExchangeCommandsTest, YearTransferCarriesACustomAccountIntoTheOpenYear) {
    QDir().mkpath(userFolder());
    {
        TableSet old;
        old.setNames(1, m_year - 1);
        old.InitDB(userFolder());
        old.EinnahmeKonten.Insert();
        old.EinnahmeKonten.Fields(0).setAsInteger(8400);
        old.EinnahmeKonten.Fields(1).setAsString(QStringLiteral("Erlöse Beratung"));
        old.EinnahmeKonten.Post();
    }
    start();
    post(QStringLiteral("Schon gebucht"), 10);
    BoxSeen question, no;
    ModalScript script;
    script.then([](QWidget* w) { static_cast<QDialog*>(w)->accept(); })
        .then(answerBox(&no, QStringLiteral("Nein")))
        .then([](QWidget* w) { static_cast<QDialog*>(w)->accept(); })
        .then(answerBox(&question, QStringLiteral("Ja")));
    form->EinstellungeninneuesJahrbertragen1->trigger();  // answered "Nein": nothing happens
    EXPECT_EQ(form->EAKontoEd->count(), 2);
    form->EinstellungeninneuesJahrbertragen1->trigger();
    EXPECT_TRUE(script.done());
    EXPECT_EQ(question.title, QStringLiteral("Einstellungen übernehmen?"));
    EXPECT_EQ(question.text, QStringLiteral("Wollen Sie die Einstellungen aus dem Jahr %1 wirklich ins Jahr %2 "
                                            "übernehmen? Bestehende Einstellungen im Jahr %2 gehen dabei verloren.")
                                 .arg(m_year - 1)
                                 .arg(m_year));
    EXPECT_EQ(question.icon, QMessageBox::Question);
    ASSERT_TRUE(bookings().Active());
    EXPECT_EQ(bookings().RecordCount(), 1);  // bookings are not copied
    EXPECT_EQ(form->EAKontoEd->count(), 3);
    EXPECT_TRUE(form->EAKontoEd->itemText(2).contains(QStringLiteral("Erlöse Beratung")));
}

TEST_F(ExchangeCommandsTest, YearTransferFromAMissingYearSaysWhichFileAndKeepsTheTables) {
    start();
    std::vector<BoxSeen> copies(7);
    ModalScript script;
    script.then([](QWidget* w) {
        auto* dialog = static_cast<TEinstellUebertragForm*>(w);
        dialog->AltesJahrEd->setValue(1990);
        dialog->accept();
    });
    script.then(answerBox(nullptr, QStringLiteral("Ja")));
    for (BoxSeen& seen : copies) script.then(answerBox(&seen));
    form->EinstellungeninneuesJahrbertragen1->trigger();
    EXPECT_TRUE(script.done());
    EXPECT_EQ(copies[0].text, QStringLiteral("Konnte die Datei %1eaccounts_1_1990.dbf nicht nach %1eaccounts_1_%2.dbf "
                                             "kopieren!")
                                  .arg(form->progpath())
                                  .arg(m_year));
    EXPECT_EQ(copies[0].icon, QMessageBox::Information);
    EXPECT_TRUE(copies[6].text.contains(QStringLiteral("kaccounts_1_1990.dbf")));
    EXPECT_TRUE(bookings().Active());
    EXPECT_EQ(form->EAKontoEd->count(), 2);
}

TEST_F(ExchangeCommandsTest, ImportReportsWhatWasNotTakenAndRefreshesTheJournal) {
    start();
    form->AutobelCheck->setChecked(true);
    const QString csv = file(QStringLiteral("bank.csv"));
    testsupport::writeFile(csv, QStringLiteral("\"%1\";\"E\";\"41\";\"Miete Büro\";119,00;19;0\r\n"
                                               "\"%1\";\"E\";\"42\";\"Beratung\";abc;19;0\r\n")
                                    .arg(QDate(m_year, 1, 15).toString(QStringLiteral("dd.MM.yyyy")))
                                    .toLatin1());
    const QString vatBefore = form->MwStLabel->text();
    BoxSeen summary;
    ModalScript script;
    script.then(chooseFile(csv)).then(answerBox(&summary));
    form->ImportierenausCSVDatei1->trigger();
    EXPECT_TRUE(script.done());
    EXPECT_TRUE(summary.text.contains(QStringLiteral("2 Buchungen wurden importiert."))) << summary.text.toStdString();
    EXPECT_TRUE(summary.text.contains(QStringLiteral("Zeile 2, Feld 5 (BRUTTO): \"abc\"")))
        << summary.text.toStdString();
    EXPECT_EQ(summary.icon, QMessageBox::Warning);
    EXPECT_EQ(form->journalModel()->rowCount(), 2);
    EXPECT_NE(form->MwStLabel->text(), vatBefore);
    EXPECT_EQ(form->BelegEd->text(), QStringLiteral("43"));
}

TEST_F(ExchangeCommandsTest, ExportedJournalImportsBackIntoAnotherYear) {
    start();
    post(QStringLiteral("Tank; \"Aral\" C:\\Belege"), 50.45, QDate(m_year, 3, 1));
    post(QStringLiteral("Miete"), 119, QDate(m_year, 2, 1));
    const QString csv = file(QStringLiteral("journal.csv"));
    BoxSeen done;
    ModalScript script;
    script.then(chooseFile(csv)).then(answerBox(&done));
    form->ExportierenalsCSVDatei1->trigger();
    EXPECT_TRUE(script.done());
    EXPECT_TRUE(done.text.contains(QStringLiteral("2 Buchungen")));
    std::vector<QStringList> exported;
    for (bookings().First(); !bookings().Eof(); bookings().Next()) {
        QStringList values;
        for (int i = 0; i < bookings().FieldCount(); ++i) values << bookings().Fields(i).AsString();
        exported.push_back(values);
    }

    form->JahrEd->setValue(m_year - 3);
    ASSERT_EQ(bookings().RecordCount(), 0);
    ModalScript again;
    again.then(chooseFile(csv)).then(answerBox(nullptr));
    form->ImportierenausCSVDatei1->trigger();
    EXPECT_TRUE(again.done());
    std::vector<QStringList> imported;
    for (bookings().First(); !bookings().Eof(); bookings().Next()) {
        QStringList values;
        for (int i = 0; i < bookings().FieldCount(); ++i) values << bookings().Fields(i).AsString();
        imported.push_back(values);
    }
    EXPECT_EQ(imported, exported);
}

TEST_F(ExchangeCommandsTest, RecordWindowShowsTheBookingAndSavesTheEditedTextAsPdf) {
    start();
    post(QStringLiteral("Miete"), 119, QDate(m_year, 12, 31));
    TDruckeForm* window = appForms().DruckeForm;
    QString shown;
    const QString pdf = file(QStringLiteral("datensatz.pdf"));
    ModalScript script;
    script.then([&](QWidget*) {
        shown = window->RichEdit1->toPlainText();
        window->RichEdit1->append(QStringLiteral("Notiz"));
        // From the window's own event loop, so that the file dialog can be answered by the next step.
        QTimer::singleShot(0, window, [window] {
            QTest::mouseClick(window->PdfBtn, Qt::LeftButton);
            // The window stays open after saving; leave it with "Zurück".
            QTest::mouseClick(window->BackBtn, Qt::LeftButton);
        });
    });
    script.then(chooseFile(pdf));
    form->Datensatzdrucken1->trigger();
    EXPECT_TRUE(script.done());
    const QStringList lines = shown.split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 11);
    EXPECT_EQ(lines[0], QStringLiteral("DATUM:              \t31.12.%1").arg(m_year));
    EXPECT_EQ(lines[3], QStringLiteral("TEXT:               \tMiete"));
    EXPECT_EQ(lines[7], QStringLiteral("MWST2:              \t"));
    EXPECT_EQ(pdfPages(pdf), 1);
    EXPECT_EQ(bookings().Fields(3).AsString(), QStringLiteral("Miete"));
}

TEST_F(ExchangeCommandsTest, AllRecordsWithoutAPrinterGoIntoOnePdfPagePerFilteredBooking) {
    if (printerAvailable()) GTEST_SKIP() << "a printer is installed; the test would print";
    start();
    post(QStringLiteral("Miete Januar"), 100, QDate(m_year, 1, 2));
    post(QStringLiteral("Porto"), 5, QDate(m_year, 1, 3));
    post(QStringLiteral("Miete Februar"), 100, QDate(m_year, 2, 2));
    form->FilterEd->setText(QStringLiteral("Miete"));
    form->FilterbtnClick();
    ASSERT_EQ(bookings().RecordCount(), 2);
    const QString pdf = file(QStringLiteral("alle.pdf"));
    BoxSeen question, noPrinter;
    ModalScript script;
    script.then(answerBox(&question, QStringLiteral("Ja"))).then(answerBox(&noPrinter)).then(chooseFile(pdf));
    form->AlleDatenstzedrucken1->trigger();
    EXPECT_TRUE(script.done());
    EXPECT_EQ(question.title, QStringLiteral("Drucken"));
    EXPECT_EQ(question.text, QStringLiteral("Wollen Sie jetzt den Druck aller Datensätze beginnen? Jeweils ein "
                                            "Datensatz wird pro Blatt gedruckt!"));
    EXPECT_TRUE(noPrinter.text.contains(QStringLiteral("kein Drucker")));
    EXPECT_EQ(pdfPages(pdf), 2);
    EXPECT_EQ(bookings().RecNo(), 1);  // the grid ends on the last booking
}

}  // namespace

namespace {

TEST(RecordPrinting, OneJobTitledDatensatzGoingOnOverFurtherPages) {
    testsupport::TempFolder dir;
    QPrinter printer(QPrinter::HighResolution);
    TDruckeForm::preparePdf(printer, dir.file(QStringLiteral("job.pdf")));
    printer.setFullPage(false);
    QStringList lines;
    for (int i = 0; i < 150; ++i) lines << QStringLiteral("ZEILE %1:           \tWert").arg(i);
    TDruckeForm::printTexts(printer, {lines.join(QLatin1Char('\n'))}, false);
    EXPECT_EQ(printer.docName(), QStringLiteral("Datensatz"));
    EXPECT_FALSE(printer.fullPage());  // the shared printer's setting is given back
    const QByteArray pdf = testsupport::readFile(dir.file(QStringLiteral("job.pdf")));
    QByteArray title = QByteArray("\xfe\xff");
    for (const QChar c : QStringLiteral("Datensatz"))
        title += char(c.unicode() >> 8), title += char(c.unicode() & 0xff);
    EXPECT_TRUE(pdf.contains(title) || pdf.contains("Datensatz"));
    EXPECT_GE(pdfPages(dir.file(QStringLiteral("job.pdf"))), 2);  // a long text goes on over further pages
}

}  // namespace
