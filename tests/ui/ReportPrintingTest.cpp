// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <deque>

#include "startup/OptionStore.h"
#include "storage/DayNumber.h"
#include "support/TestSupport.h"
#include "storage/StorageError.h"
#include "ui/AppPrinter.h"
#include "ui/DatensatzDruckenFUnit.h"
#include "ui/DruckeErgebnisFUnit.h"

// "Drucken..." against a real CUPS queue whose PDF output is read back, and the path without any printer.
namespace {

QString run(const QString& program, const QStringList& args, int* exitCode = nullptr) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    env.insert(QStringLiteral("LANG"), QStringLiteral("C"));
    p.setProcessEnvironment(env);
    p.start(program, args);
    if (!p.waitForFinished(30000)) {
        p.kill();
        p.waitForFinished();
    }
    if (exitCode) *exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError());
}

bool schedulerRunning() {
    return run(QStringLiteral("lpstat"), {QStringLiteral("-r")}).contains(QStringLiteral("scheduler is running"));
}

// A CUPS scheduler for the test: the running one, or one the test starts and stops again.
class Scheduler {
public:
    Scheduler() {
        if (schedulerRunning()) {
            m_ok = true;
            return;
        }
        if (!QFileInfo::exists(QStringLiteral("/usr/sbin/cupsd"))) {
            m_reason = "cupsd is not installed (Debian package cups)";
            return;
        }
        m_own.start(QStringLiteral("/usr/sbin/cupsd"), {QStringLiteral("-f")});
        if (!m_own.waitForStarted(5000)) {
            m_reason = "cupsd could not be started";
            return;
        }
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < 15000 && !schedulerRunning()) QTest::qWait(200);
        m_ok = schedulerRunning();
        if (!m_ok)
            m_reason = "cupsd started but does not answer: " + run(QStringLiteral("lpstat"), {"-r"}).toStdString();
    }
    ~Scheduler() {
        if (m_own.state() != QProcess::NotRunning) {
            m_own.terminate();
            if (!m_own.waitForFinished(10000)) m_own.kill();
        }
    }
    bool ok() const { return m_ok; }
    const std::string& reason() const { return m_reason; }

private:
    QProcess m_own;
    bool m_ok = false;
    std::string m_reason;
};

class ListWindow {
public:
    explicit ListWindow(const QString& cap) : store(folder.file(QStringLiteral("Quorvel.ini"))), form(nullptr, &store) {
        for (int i = 0; i < 120; ++i) {
            TKontoRec* r = ein.Add();
            r->konto = 8400;
            r->mwstsatz = i % 2 ? 19 : -19;
            r->brutto = (i % 2 ? 1 : -1) * (100 + i);
            r->mwst = r->brutto * r->mwstsatz / (r->mwstsatz + 100);
            r->netto = r->brutto * 100 / (r->mwstsatz + 100);
            strings.push_back(u"Buchung");
            r->beleg = strings.back().data();
            r->text = strings.back().data();
            r->datum = DayNumber::fromDate(QDate(2026, 5, 4));
        }
        form.report.modus = 3;
        form.report.cap = cap;
        form.report.ein = &ein;
        form.report.akonto = &akonto;
        form.setSources(
            {[] { return QStringList{QStringLiteral("Muster GmbH")}; }, [] { return QStringLiteral("€"); }, {}, {}});
        form.show();
        form.reportChanged();
        QApplication::processEvents();
    }

    testsupport::TempFolder folder;
    OptionStore store;
    TKontoRec* akonto = nullptr;
    TKontoArray ein{&akonto};
    std::deque<std::u16string> strings;
    TDruckeErgebnisForm form;
};

TEST(ReportPrintingTest, PrintsEveryPageAsOneJobOnARealCupsQueue) {
    for (const char* tool : {"/usr/sbin/lpadmin", "/usr/bin/lpstat", "/usr/bin/pdfinfo"})
        if (!QFileInfo::exists(QString::fromLatin1(tool)))
            GTEST_SKIP() << tool << " is missing (Debian packages cups, poppler-utils)";
    const QString ppd = QStringLiteral("/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd");
    if (!QFileInfo::exists(ppd)) GTEST_SKIP() << "the cups-pdf printer driver is missing (printer-driver-cups-pdf)";
    Scheduler scheduler;
    if (!scheduler.ok()) GTEST_SKIP() << "no CUPS scheduler: " << scheduler.reason();

    const QString queue = QStringLiteral("QuorvelTestPdf");
    int code = 0;
    const QString added = run(QStringLiteral("lpadmin"), {"-p", queue, "-E", "-v", "cups-pdf:/", "-P", ppd}, &code);
    ASSERT_EQ(code, 0) << added.toStdString();
    struct RemoveQueue {
        QString name;
        ~RemoveQueue() { run(QStringLiteral("lpadmin"), {QStringLiteral("-x"), name}); }
    } removeQueue{queue};

    const QString token = QStringLiteral("Testdruck%1").arg(QDateTime::currentMSecsSinceEpoch());
    ListWindow w(token + QStringLiteral(" Auswertung"));
    ASSERT_TRUE(printerAvailable());
    appPrinter().setPrinterName(queue);
    ASSERT_EQ(appPrinter().printerName(), queue);
    w.form.PaintBox1->repaint();
    const int pages = w.form.pageCount();
    ASSERT_GE(pages, 3);
    QTest::mouseClick(w.form.DruckenBtn, Qt::LeftButton);

    // cups-pdf writes into the PDF folder of the job owner's home, named after the job title.
    const QString outFolder = QString::fromLocal8Bit(::getpwuid(::geteuid())->pw_dir) + QStringLiteral("/PDF");
    QString found;
    QElapsedTimer timer;
    timer.start();
    while (found.isEmpty() && timer.elapsed() < 90000) {
        for (const QFileInfo& f : QDir(outFolder).entryInfoList({QStringLiteral("*.pdf")}, QDir::Files))
            if (f.fileName().contains(token) && f.size() > 0) found = f.absoluteFilePath();
        if (found.isEmpty()) QTest::qWait(300);
    }
    ASSERT_FALSE(found.isEmpty()) << "no PDF from the queue in " << outFolder.toStdString()
                                  << "; jobs: " << run(QStringLiteral("lpstat"), {"-W", "all", "-o"}).toStdString();
    QTest::qWait(1000);  // the backend may still be closing the file
    // The queue re-distils the job through PostScript into Type 3 fonts whose text pdftotext cannot
    // map back; the document's title and page count come through intact.
    const QString info = run(QStringLiteral("pdfinfo"), {found});
    QFile::remove(found);
    EXPECT_TRUE(info.contains(QStringLiteral("Title:"))) << info.toStdString();
    EXPECT_TRUE(info.contains(token + QStringLiteral(" Auswertung"))) << info.toStdString();
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+%1\\n").arg(pages)))) << info.toStdString();
    EXPECT_TRUE(info.contains(QStringLiteral("A4"))) << info.toStdString();
}

// The program runs before the queue exists: a job started then fails with a German message; the queue
// added afterwards is chosen and prints the record, each job on a printer of its own.
TEST(ReportPrintingTest, AQueueAddedWhileTheProgramRunsPrintsAlsoAfterAFailedJob) {
    for (const char* tool : {"/usr/sbin/lpadmin", "/usr/bin/lpstat", "/usr/bin/pdfinfo"})
        if (!QFileInfo::exists(QString::fromLatin1(tool)))
            GTEST_SKIP() << tool << " is missing (Debian packages cups, poppler-utils)";
    const QString ppd = QStringLiteral("/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd");
    if (!QFileInfo::exists(ppd)) GTEST_SKIP() << "the cups-pdf printer driver is missing (printer-driver-cups-pdf)";
    Scheduler scheduler;
    if (!scheduler.ok()) GTEST_SKIP() << "no CUPS scheduler: " << scheduler.reason();
    const QString queue = QStringLiteral("QuorvelLaterPdf");
    run(QStringLiteral("lpadmin"), {QStringLiteral("-x"), queue});

    appPrinter();  // the printer choice of a program that is already running
    if (!printerAvailable()) {
        try {
            TDruckeForm::printTexts(*newPrintJob(), {QStringLiteral("nichts")}, false);
            ADD_FAILURE() << "a job without any printer started";
        } catch (const QuorvelError& e) {
            EXPECT_TRUE(e.message().startsWith(QStringLiteral("Der Druck konnte nicht gestartet werden")));
        }
    }

    int code = 0;
    const QString added = run(QStringLiteral("lpadmin"), {"-p", queue, "-E", "-v", "cups-pdf:/", "-P", ppd}, &code);
    ASSERT_EQ(code, 0) << added.toStdString();
    struct RemoveQueue {
        QString name;
        ~RemoveQueue() { run(QStringLiteral("lpadmin"), {QStringLiteral("-x"), name}); }
    } removeQueue{queue};
    ASSERT_TRUE(QPrinterInfo::availablePrinterNames().contains(queue));
    appPrinter().setPrinterName(queue);  // as "Drucker einrichten..." stores the choice
    ASSERT_EQ(appPrinter().printerName(), queue);

    const QString outFolder = QString::fromLocal8Bit(::getpwuid(::geteuid())->pw_dir) + QStringLiteral("/PDF");
    const QStringList before = QDir(outFolder).entryList({QStringLiteral("*.pdf")}, QDir::Files);
    TDruckeForm::printTexts(*newPrintJob(), {QStringLiteral("DATUM:              \t31.12.2014")}, false);
    QString found;
    QElapsedTimer timer;
    timer.start();
    while (found.isEmpty() && timer.elapsed() < 90000) {
        for (const QFileInfo& f : QDir(outFolder).entryInfoList({QStringLiteral("*.pdf")}, QDir::Files))
            if (!before.contains(f.fileName()) && f.fileName().contains(QStringLiteral("Datensatz")) && f.size() > 0)
                found = f.absoluteFilePath();
        if (found.isEmpty()) QTest::qWait(300);
    }
    ASSERT_FALSE(found.isEmpty()) << "no PDF from the queue in " << outFolder.toStdString()
                                  << "; jobs: " << run(QStringLiteral("lpstat"), {"-W", "all", "-o"}).toStdString();
    QTest::qWait(1000);
    const QString info = run(QStringLiteral("pdfinfo"), {found});
    QFile::remove(found);
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\n")))) << info.toStdString();
}

TEST(ReportPrintingTest, WithoutAPrinterItSaysSoAndOffersThePdf) {
    // No scheduler to ask: the system knows no printer.
    qputenv("CUPS_SERVER", "/nonexistent/quorvel-test/cups.sock");
    if (printerAvailable()) GTEST_SKIP() << "the printer list of an earlier test is still known to this process";
    ListWindow w(QStringLiteral("Auswertung 01.01.2026 - 31.12.2026 Konto 1: Kasse"));

    // First "Nein": nothing happens.
    QString question;
    QTimer no;
    no.setInterval(10);
    QObject::connect(&no, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            no.stop();
            question = box->text();
            box->button(QMessageBox::No)->click();
        }
    });
    no.start();
    QTest::mouseClick(w.form.DruckenBtn, Qt::LeftButton);
    EXPECT_TRUE(question.contains(QStringLiteral("kein Drucker"))) << question.toStdString();
    EXPECT_TRUE(question.contains(QStringLiteral("PDF")));

    // Then "Ja": the PDF file dialog proposes the heading as file name; the file is written.
    const QString target = w.folder.file(QStringLiteral("bericht.pdf"));
    QString proposed;
    QTimer yes;
    yes.setInterval(10);
    QObject::connect(&yes, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            box->button(QMessageBox::Yes)->click();
        } else if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
            yes.stop();
            proposed = dialog->selectedFiles().value(0);
            dialog->selectFile(target);
            static_cast<QDialog*>(dialog)->done(QDialog::Accepted);
        }
    });
    yes.start();
    QTest::mouseClick(w.form.DruckenBtn, Qt::LeftButton);
    EXPECT_TRUE(QFileInfo(proposed).fileName().startsWith(QStringLiteral("Auswertung 01.01.2026 - 31.12.2026")))
        << proposed.toStdString();
    EXPECT_TRUE(proposed.endsWith(QStringLiteral(".pdf")));
    EXPECT_GT(QFileInfo(target).size(), 1000);
    qunsetenv("CUPS_SERVER");
}

}  // namespace
