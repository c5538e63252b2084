// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <functional>

#include "CliFixture.h"
#include "cli/CommandLine.h"
#include "journal/Period.h"
#include "support/TestSupport.h"
#include "ui/AppForms.h"
#include "ui/DruckeErgebnisFUnit.h"
#include "ui/KontoAuswahlenFUnit.h"
#include "ui/MainUnit.h"

namespace {

// Runs `action` on each modal window of type T as it shows, until disarmed with the object.
template <typename T>
class OnEveryModal {
public:
    explicit OnEveryModal(std::function<void(T*)> action) : m_action(std::move(action)) {
        m_timer.setInterval(10);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            auto* window = qobject_cast<T*>(QApplication::activeModalWidget());
            if (!window || window == m_last) return;
            m_last = window;
            m_action(window);
            m_last = nullptr;
        });
        m_timer.start();
    }

private:
    std::function<void(T*)> m_action;
    QTimer m_timer;
    T* m_last = nullptr;
};

// The windows of the program over a per-user folder and option store of their own; the command-line
// children get the same environment and so find the same data folder without being told.
class CliWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_env = QProcessEnvironment::systemEnvironment();
        // The children read and write numbers and dates as a German user's program does.
        m_env.insert(QStringLiteral("LC_ALL"), QStringLiteral("de_DE.UTF-8"));
        m_env.insert(QStringLiteral("LANG"), QStringLiteral("de_DE.UTF-8"));
        for (const auto& [name, path] : {std::pair{"XDG_DATA_HOME", m_dataHome.path()},
                                         std::pair{"XDG_CONFIG_HOME", m_configHome.path()}}) {
            qputenv(name, path.toUtf8());
            m_env.insert(QString::fromLatin1(name), path);
        }
        folder = m_dataHome.path() + QStringLiteral("ZAN-TOR/Quorvel/");
        QDir().mkpath(folder);
        clitest::writeSampleYear(folder, 1, 2025);
    }
    void TearDown() override { destroyAppForms(); }

    TMainForm* start() {
        TMainForm* form = createAppForms();
        form->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(form));
        QTest::qWait(50);
        form->findChild<QSpinBox*>(QStringLiteral("JahrEd"))->setValue(2025);
        return form;
    }

    clitest::Run cli(QStringList args) { return clitest::runQuorvel(args, m_env); }

    QString folder;
    QProcessEnvironment m_env;
    testsupport::TempFolder m_scratch;

private:
    testsupport::TempFolder m_dataHome;
    testsupport::TempFolder m_configHome;
};

// Every report of "Auswertungen" for the second quarter, saved as PDF by the report window and written by
// the command line: pdftotext reads the same text from both.
TEST_F(CliWindowTest, EveryReportReadsAsTheWindowsPdf) {
    if (!clitest::havePdfText()) GTEST_SKIP() << "pdftotext fehlt (poppler-utils)";
    TMainForm* form = start();
    form->findChild<QAction*>(periodComponentName(PeriodItem::N2Quartal))->trigger();

    struct Command {
        const char* bericht;
        void (TMainForm::*click)();
        int konto;
    };
    const Command commands[] = {
        {"gesamtergebnis", &TMainForm::Gesamtergebnis1Click, 0},
        {"ausgabenliste", &TMainForm::Ausgabenliste1Click, 0},
        {"einnahmenliste", &TMainForm::Einnahmenliste1Click, 0},
        {"ausgabenkonto", &TMainForm::Ausgabenkontoeinzeln1Click, 4},
        {"einnahmekonto", &TMainForm::Einnahmekontoeinzeln1Click, 1},
        {"sammelkonto", &TMainForm::Sammelkontoeinzeln1Click, 1},
        {"sammelkonto-anfangsbestand", &TMainForm::SammelkontomitAnfangsbestandeinzeln1Click, 1},
        {"kostenstelle", &TMainForm::Kostenstelleeinzeln1Click, 1},
        {"kostenstelle-anfangsbestand", &TMainForm::Kostenstelleeinzeln2Click, 1},
        {"alle-buchungen", &TMainForm::ListeallerBuchungen1Click, 0},
        {"alle-buchungen-anfangsbestand", &TMainForm::ListeallerBuchungenmitAnfangsbestand1Click, 0},
        {"anlage-euer", &TMainForm::AnlageER1Click, 0},  // always the whole year
    };
    // Every kind but the VAT return, which has no form for 2025 (the command line test covers it).
    ASSERT_EQ(std::size(commands) + 1, CommandLine::reportKinds().size());

    // The window first: it holds the data folder while it runs.
    int konto = 0;
    QString windowPdf;
    OnEveryModal<TKontoAuswaehlenForm> choose([&](TKontoAuswaehlenForm* dialog) {
        auto* list = dialog->findChild<QComboBox*>(QStringLiteral("EAKontoEd"));
        const int index = list->findText(QString::number(konto) + QStringLiteral(" - "), Qt::MatchStartsWith);
        ASSERT_GE(index, 0) << konto;
        list->setCurrentIndex(index);
        dialog->findChild<QPushButton*>(QStringLiteral("OKBtn"))->click();
    });
    OnEveryModal<TDruckeErgebnisForm> save([&](TDruckeErgebnisForm* window) {
        EXPECT_TRUE(window->savePdf(windowPdf));
        window->BackBtn->click();
    });
    for (const Command& c : commands) {
        konto = c.konto;
        windowPdf = m_scratch.file(QStringLiteral("fenster-%1.pdf").arg(QLatin1String(c.bericht)));
        (form->*c.click)();
        ASSERT_TRUE(QFileInfo::exists(windowPdf)) << c.bericht;
    }
    form->close();
    destroyAppForms();

    for (const Command& c : commands) {
        SCOPED_TRACE(c.bericht);
        const QString pdf = m_scratch.file(QStringLiteral("befehl-%1.pdf").arg(QLatin1String(c.bericht)));
        QStringList args{QStringLiteral("report"), QStringLiteral("--jahr"), QStringLiteral("2025"),
                         QStringLiteral("--bericht"), QString::fromLatin1(c.bericht), QStringLiteral("--pdf"), pdf};
        if (QLatin1String(c.bericht) != QLatin1String("anlage-euer"))
            args << QStringLiteral("--zeitraum") << QStringLiteral("Quartal") << QStringLiteral("--nummer")
                 << QStringLiteral("2");
        if (c.konto != 0) args << QStringLiteral("--konto") << QString::number(c.konto);
        const clitest::Run run = cli(args);
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        const QString expected =
            clitest::pdfText(m_scratch.file(QStringLiteral("fenster-%1.pdf").arg(QLatin1String(c.bericht))));
        EXPECT_FALSE(expected.trimmed().isEmpty());
        EXPECT_EQ(clitest::pdfText(pdf).toStdString(), expected.toStdString());
    }
}

// While the window runs on the data folder, no command writes: neither a report nor an import.
TEST_F(CliWindowTest, RunningWindowKeepsCommandsOut) {
    TMainForm* form = start();
    const int before = form->tables().Dbf1.RecordCount();
    const QString csv = m_scratch.file(QStringLiteral("neu.csv"));
    testsupport::writeFile(csv, "01.03.2025;E;9;Neu;10;19;0\r\n");
    const QString pdf = m_scratch.file(QStringLiteral("x.pdf"));

    const clitest::Run report =
        cli({QStringLiteral("report"), QStringLiteral("--jahr"), QStringLiteral("2025"), QStringLiteral("--bericht"),
             QStringLiteral("gesamtergebnis"), QStringLiteral("--pdf"), pdf});
    EXPECT_EQ(report.exitCode, 3);
    EXPECT_TRUE(report.err.contains(QStringLiteral("wird gerade von einem laufenden Quorvel verwendet")))
        << report.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(pdf));

    const clitest::Run import = cli({QStringLiteral("import-csv"), QStringLiteral("--jahr"), QStringLiteral("2025"),
                                     QStringLiteral("--datei"), csv});
    EXPECT_EQ(import.exitCode, 3);
    form->close();
    destroyAppForms();

    // Once the window is gone the same import goes through.
    const clitest::Run again = cli({QStringLiteral("import-csv"), QStringLiteral("--jahr"), QStringLiteral("2025"),
                                    QStringLiteral("--datei"), csv});
    EXPECT_EQ(again.exitCode, 0) << again.err.toStdString();
    EXPECT_TRUE(again.out.contains(QStringLiteral("1 Buchung wurde importiert."))) << again.out.toStdString();
    TMainForm* reopened = start();
    EXPECT_EQ(reopened->tables().Dbf1.RecordCount(), before + 1);
}

}  // namespace
