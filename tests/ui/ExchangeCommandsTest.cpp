// SPDX-License-Identifier: GPL-3.0-or-later
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
#include "storage/StorageError.h"
#include "support/SmallDisk.h"
#include "journal/JournalModel.h"
#include "startup/TableSet.h"
#include "ui/AppPrinter.h"
#include "ui/DatensatzDruckenFUnit.h"
#include "ui/EinstellUebertragFUnit.h"
#include "ui/UiMessages.h"

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
    Qt::TextFormat format = Qt::AutoText;
};

ModalScript::Step answerBox(BoxSeen* seen, const QString& button = {}) {
    return [seen, button](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        ASSERT_NE(box, nullptr) << "expected a message box, got " << w->metaObject()->className();
        if (seen) *seen = BoxSeen{box->windowTitle(), box->text(), box->icon(), box->textFormat()};
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
        // A dialog opened again in the folder it last showed may not take a full path before its model has
        // read the folder; the name typed into its name field is taken all the same.
        if (dialog->selectedFiles().isEmpty()) {
            if (auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
                edit->setText(QFileInfo(fileName).fileName());
        }
        dialog->setOption(QFileDialog::DontConfirmOverwrite);  // the question would block this step
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
    uitest::controls(form).JahrEd->setValue(2014);  // the booking year shown does not matter
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
    uitest::controls(form).EinstellungeninneuesJahrbertragen1->trigger();
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
    uitest::controls(form).EinstellungeninneuesJahrbertragen1->trigger();
    EXPECT_TRUE(script.done());
    EXPECT_EQ(order.join(QLatin1Char(' ')), QStringLiteral("CheckBox1 CheckBox2 CheckBox3 CheckBox4 AltesJahrEd "
                                                           "NeuesJahrEd OKBtn CheckBox5 CheckBox6 CheckBox7"));
    EXPECT_FALSE(dialog->CheckBox7->isChecked());
    EXPECT_TRUE(bookings().Active());
}

// Stops the first progress window that shows once its bar passes `at` (per mille), from the bar's own
// signal: the step is chosen by the work done, not by the clock.
class CancelAtProgress : public QObject {
public:
    explicit CancelAtProgress(int at) : m_at(at) { qApp->installEventFilter(this); }
    ~CancelAtProgress() override { qApp->removeEventFilter(this); }
    bool sawProgress = false;
    bool cancelled = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* dialog = qobject_cast<QProgressDialog*>(watched);
        if (dialog && event->type() == QEvent::Show && !m_watching.contains(dialog)) {
            m_watching << dialog;
            auto* bar = dialog->findChild<QProgressBar*>();
            QObject::connect(bar, &QProgressBar::valueChanged, dialog, [this, dialog](int value) {
                if (value > 0) sawProgress = true;
                if (value > m_at && !cancelled) {
                    cancelled = true;
                    dialog->cancel();
                }
            });
        }
        return false;
    }

private:
    int m_at;
    QList<QPointer<QProgressDialog>> m_watching;
};

TEST_F(ExchangeCommandsTest, LongImportShowsProgressAndCanBeStopped) {
    start();
    QByteArray lines;
    for (int i = 1; i <= 20000; ++i)
        lines += "01.03." + QByteArray::number(m_year) + ";A;" + QByteArray::number(i) + ";Porto Brief;0,85;19;0\r\n";
    const QString csv = file(QStringLiteral("lang.csv"));
    testsupport::writeFile(csv, lines);
    // The file is read whole first (the first third of the bar), then posted: stopped half-way through posting.
    CancelAtProgress canceller(666);
    BoxSeen summary;
    ModalScript script;
    script.then(chooseFile(csv)).then(answerBox(&summary));
    uitest::controls(form).ImportierenausCSVDatei1->trigger();
    EXPECT_TRUE(script.done());
    EXPECT_TRUE(canceller.sawProgress);
    EXPECT_TRUE(canceller.cancelled);
    const int kept = bookings().RecordCount();
    EXPECT_GT(kept, 5000);
    EXPECT_LT(kept, 15000);
    EXPECT_TRUE(summary.text.contains(QStringLiteral("Der Import wurde abgebrochen.")));
    EXPECT_TRUE(summary.text.contains(QStringLiteral("%1 Buchungen wurden importiert.").arg(kept)))
        << summary.text.toStdString();

    // A long export stopped on its way leaves the file that was there.
    const QString target = file(QStringLiteral("export.csv"));
    testsupport::writeFile(target, "alt\r\n");
    CancelAtProgress exportCanceller(100);
    BoxSeen stopped;
    ModalScript exporting;
    exporting.then(chooseFile(target)).then(answerBox(&stopped));
    uitest::controls(form).ExportierenalsCSVDatei1->trigger();
    EXPECT_TRUE(exporting.done());
    EXPECT_TRUE(exportCanceller.cancelled);
    EXPECT_TRUE(stopped.text.startsWith(QStringLiteral("Der Export wurde abgebrochen."))) << stopped.text.toStdString();
    EXPECT_EQ(testsupport::readFile(target), QByteArray("alt\r\n"));
    EXPECT_EQ(QDir(m_files.path()).entryList(QDir::Files), (QStringList{QStringLiteral("export.csv"),
                                                                         QStringLiteral("lang.csv")}));
}

TEST_F(ExchangeCommandsTest, EntryFieldsTakeNoMoreThanTheirFieldsAndUserTextNeverTurnsIntoMarkup) {
    start();
    EXPECT_EQ(uitest::controls(form).BelegEd->maxLength(), 20);
    QTest::keyClicks(uitest::controls(form).BuchTextEd->lineEdit(), QString(300, QLatin1Char('x')));
    EXPECT_EQ(uitest::controls(form).BuchTextEd->currentText(), QString(60, QLatin1Char('x')));
    for (QLabel* label : {uitest::controls(form).MwStLabel, uitest::controls(form).VorsteuerLabel, uitest::controls(form).AbfuhrEd, uitest::controls(form).NettoLabel})
        EXPECT_EQ(label->textFormat(), Qt::PlainText) << label->objectName().toStdString();
    BoxSeen error;
    ModalScript script;
    script.then(answerBox(&error));
    UiMessages::showError(form, QStringLiteral("„<h1>12</h1>“ ist kein Betrag."));
    EXPECT_TRUE(script.done());
    EXPECT_EQ(error.format, Qt::PlainText);
}

TEST_F(ExchangeCommandsTest, ImportingTheSameFileAgainAsksOnceAboutTheDuplicates) {
    start();
    const QString csv = file(QStringLiteral("zweimal.csv"));
    testsupport::writeFile(csv, QStringLiteral("15.01.%1;E;1;Miete;119\r\n16.01.%1;A;2;Porto;0,85\r\n")
                                    .arg(m_year)
                                    .toLatin1());
    ModalScript first;
    first.then(chooseFile(csv)).then(answerBox(nullptr));
    uitest::controls(form).ImportierenausCSVDatei1->trigger();
    ASSERT_EQ(bookings().RecordCount(), 2);

    BoxSeen question, summary;
    ModalScript again;
    again.then(chooseFile(csv)).then(answerBox(&question, QStringLiteral("Überspringen"))).then(answerBox(&summary));
    uitest::controls(form).ImportierenausCSVDatei1->trigger();
    EXPECT_TRUE(again.done());
    EXPECT_TRUE(question.text.startsWith(QStringLiteral("2 Zeilen der Datei gleichen einer Buchung")))
        << question.text.toStdString();
    EXPECT_EQ(question.icon, QMessageBox::Question);
    EXPECT_EQ(bookings().RecordCount(), 2);
    EXPECT_TRUE(summary.text.contains(QStringLiteral("0 Buchungen wurden importiert.")));
    EXPECT_TRUE(summary.text.contains(QStringLiteral("Sie wurden übersprungen."))) << summary.text.toStdString();
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
    uitest::controls(form).EinstellungeninneuesJahrbertragen1->trigger();  // answered "Nein": nothing happens
    EXPECT_EQ(uitest::controls(form).EAKontoEd->count(), 2);
    uitest::controls(form).EinstellungeninneuesJahrbertragen1->trigger();
    EXPECT_TRUE(script.done());
    EXPECT_EQ(question.title, QStringLiteral("Einstellungen übernehmen?"));
    EXPECT_EQ(question.text, QStringLiteral("Wollen Sie die Einstellungen aus dem Jahr %1 wirklich ins Jahr %2 "
                                            "übernehmen? Bestehende Einstellungen im Jahr %2 gehen dabei verloren.")
                                 .arg(m_year - 1)
                                 .arg(m_year));
    EXPECT_EQ(question.icon, QMessageBox::Question);
    ASSERT_TRUE(bookings().Active());
    EXPECT_EQ(bookings().RecordCount(), 1);  // bookings are not copied
    EXPECT_EQ(uitest::controls(form).EAKontoEd->count(), 3);
    EXPECT_TRUE(uitest::controls(form).EAKontoEd->itemText(2).contains(QStringLiteral("Erlöse Beratung")));
}

TEST_F(ExchangeCommandsTest, YearTransferFromAMissingYearSaysWhichFileAndKeepsTheTables) {
    start();
    BoxSeen failures;
    ModalScript script;
    script.then([](QWidget* w) {
        auto* dialog = static_cast<TEinstellUebertragForm*>(w);
        dialog->AltesJahrEd->setValue(1990);
        dialog->accept();
    });
    script.then(answerBox(nullptr, QStringLiteral("Ja"))).then(answerBox(&failures));
    uitest::controls(form).EinstellungeninneuesJahrbertragen1->trigger();
    EXPECT_TRUE(script.done());  // one message for all seven tables
    EXPECT_TRUE(failures.text.startsWith(QStringLiteral("7 Tabellen wurden nicht übertragen")));
    EXPECT_TRUE(failures.text.contains(
        QStringLiteral("Einnahmekonten: Konnte die Datei %1eaccounts_1_1990.dbf nicht nach %1eaccounts_1_%2.dbf "
                       "kopieren! Die Quelldatei gibt es nicht.")
            .arg(form->progpath(), QString::number(m_year))))
        << failures.text.toStdString();
    EXPECT_EQ(failures.icon, QMessageBox::Information);
    EXPECT_EQ(failures.format, Qt::PlainText);
    EXPECT_TRUE(failures.text.contains(QStringLiteral("Kostenkonten: Konnte die Datei %1kaccounts_1_1990.dbf")
                                           .arg(form->progpath())));
    EXPECT_TRUE(bookings().Active());
    EXPECT_EQ(uitest::controls(form).EAKontoEd->count(), 2);
}

TEST_F(ExchangeCommandsTest, ImportReportsWhatWasNotTakenAndRefreshesTheJournal) {
    start();
    uitest::controls(form).AutobelCheck->setChecked(true);
    // Markup in the file's name and values stays text in the summary.
    const QString csv = file(QStringLiteral("<b>bank<i>.csv"));
    testsupport::writeFile(csv, QStringLiteral("\"%1\";\"E\";\"41\";\"Miete Büro\";119,00;19;0\r\n"
                                               "\"%1\";\"E\";\"42\";\"Beratung\";<h1>12</h1>;19;0\r\n")
                                    .arg(QDate(m_year, 1, 15).toString(QStringLiteral("dd.MM.yyyy")))
                                    .toLatin1());
    const QString vatBefore = uitest::controls(form).MwStLabel->text();
    BoxSeen summary;
    ModalScript script;
    script.then(chooseFile(csv)).then(answerBox(&summary));
    uitest::controls(form).ImportierenausCSVDatei1->trigger();
    EXPECT_TRUE(script.done());
    EXPECT_TRUE(summary.text.contains(QStringLiteral("1 Buchung wurde importiert."))) << summary.text.toStdString();
    EXPECT_TRUE(summary.text.contains(QStringLiteral("Zeile 2, Feld 5 (BRUTTO): „<h1>12</h1>“ ist kein")))
        << summary.text.toStdString();
    EXPECT_EQ(summary.icon, QMessageBox::Warning);
    EXPECT_EQ(summary.format, Qt::PlainText);
    EXPECT_EQ(form->journalModel()->rowCount(), 1);
    EXPECT_NE(uitest::controls(form).MwStLabel->text(), vatBefore);
    EXPECT_EQ(uitest::controls(form).BelegEd->text(), QStringLiteral("42"));
}

TEST_F(ExchangeCommandsTest, ExportedJournalImportsBackIntoAnotherYear) {
    start();
    post(QStringLiteral("Tank; \"Aral\" C:\\Belege"), 50.45, QDate(m_year, 3, 1));
    post(QStringLiteral("Miete"), 119, QDate(m_year, 2, 1));
    const QString csv = file(QStringLiteral("journal.csv"));
    BoxSeen done;
    ModalScript script;
    script.then(chooseFile(csv)).then(answerBox(&done));
    uitest::controls(form).ExportierenalsCSVDatei1->trigger();
    EXPECT_TRUE(script.done());
    EXPECT_TRUE(done.text.contains(QStringLiteral("2 Buchungen")));
    std::vector<QStringList> exported;
    for (bookings().First(); !bookings().Eof(); bookings().Next()) {
        QStringList values;
        for (int i = 0; i < bookings().FieldCount(); ++i) values << bookings().Fields(i).AsString();
        exported.push_back(values);
    }

    uitest::controls(form).JahrEd->setValue(m_year - 3);
    ASSERT_EQ(bookings().RecordCount(), 0);
    ModalScript again;
    again.then(chooseFile(csv)).then(answerBox(nullptr));
    uitest::controls(form).ImportierenausCSVDatei1->trigger();
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
    uitest::controls(form).Datensatzdrucken1->trigger();
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
    // This process asks a print server that is not there, so no queue another test adds meanwhile counts
    // (taken when the process has not asked for printers before, as under CTest).
    qputenv("CUPS_SERVER", QFile::encodeName(file(QStringLiteral("no-cups.sock"))));
    if (printerAvailable()) GTEST_SKIP() << "this process knows a printer already; the test would print";
    start();
    post(QStringLiteral("Miete Januar"), 100, QDate(m_year, 1, 2));
    post(QStringLiteral("Porto"), 5, QDate(m_year, 1, 3));
    post(QStringLiteral("Miete Februar"), 100, QDate(m_year, 2, 2));
    uitest::controls(form).FilterEd->setText(QStringLiteral("Miete"));
    form->FilterbtnClick();
    ASSERT_EQ(bookings().RecordCount(), 2);
    const QString pdf = file(QStringLiteral("alle.pdf"));
    BoxSeen question, noPrinter;
    ModalScript script;
    script.then(answerBox(&question, QStringLiteral("Ja"))).then(answerBox(&noPrinter)).then(chooseFile(pdf));
    uitest::controls(form).AlleDatenstzedrucken1->trigger();
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

TEST(RecordPrinting, OnePdfTitledDatensatzGoingOnOverFurtherPages) {
    testsupport::TempFolder dir;
    QStringList lines;
    for (int i = 0; i < 150; ++i) lines << QStringLiteral("ZEILE %1:           \tWert").arg(i);
    const QString file = dir.file(QStringLiteral("job.pdf"));
    TDruckeForm::savePdf(file, {lines.join(QLatin1Char('\n')), QStringLiteral("ART:  \tE")});
    const QByteArray pdf = testsupport::readFile(file);
    QByteArray title = QByteArray("\xfe\xff");
    for (const QChar c : QStringLiteral("Datensatz"))
        title += char(c.unicode() >> 8), title += char(c.unicode() & 0xff);
    EXPECT_TRUE(pdf.contains(title) || pdf.contains("Datensatz"));
    EXPECT_GE(pdfPages(file), 3);  // a long text goes on over further pages; the next starts on a new one
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("job.pdf")});
}

TEST(RecordPrinting, PdfOnAFullDiskKeepsTheOldFileAndSaysSo) {
    testsupport::SmallDisk disk(256);
    if (!disk.ok()) GTEST_SKIP() << disk.skipReason().toStdString();
    const QString file = disk.file(QStringLiteral("datensatz.pdf"));
    testsupport::writeFile(file, "alte PDF");
    disk.fill();
    try {
        TDruckeForm::savePdf(file, {QStringLiteral("DATUM:              \t31.12.2014")});
        FAIL() << "no error on a full disk";
    } catch (const QuorvelError& e) {
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("Die PDF-Datei konnte nicht in"))) << e.message().toStdString();
        EXPECT_TRUE(e.message().contains(QStringLiteral("Datenträger ist voll"))) << e.message().toStdString();
    }
    EXPECT_EQ(testsupport::readFile(file), QByteArray("alte PDF"));
}

TEST(RecordPrinting, ValuesStandInOneColumnBehindTheWidestName) {
    testsupport::TempFolder dir;
    TDruckeForm window;
    const QString text = QStringLiteral("DATUM:              \t31.12.2014\nART:                \tE\n"
                                        "MWST:               \t19\nSAMMELKONT:         \t0");
    window.setRecordText(text);
    const QFontMetricsF metrics(window.RichEdit1->font());
    qreal widest = 0;
    for (const QString& line : text.split(QLatin1Char('\n')))
        widest = std::max(widest, metrics.horizontalAdvance(line.left(line.indexOf(QLatin1Char('\t')))));
    EXPECT_GT(window.RichEdit1->tabStopDistance(), widest);
    EXPECT_EQ(window.RichEdit1->toPlainText(), text);  // the text itself stays as it is
}

}  // namespace
