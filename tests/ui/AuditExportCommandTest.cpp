// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QProgressDialog>
#include <QTimer>
#include <deque>
#include <functional>

#include "MainWindowFixture.h"

namespace {

// Answers the modal windows of one command in order, one step per window.
class Modals {
public:
    using Step = std::function<void(QWidget*)>;
    explicit Modals(std::vector<Step> steps) : m_steps(steps.begin(), steps.end()) {
        m_timer.setInterval(10);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal || modal == m_last || m_steps.empty() || !modal->isVisible()) return;
            if (qobject_cast<QProgressDialog*>(modal)) return;
            m_last = modal;
            Step step = std::move(m_steps.front());
            m_steps.pop_front();
            step(modal);
        });
        m_timer.start();
    }
    bool done() const { return m_steps.empty(); }

private:
    QTimer m_timer;
    std::deque<Step> m_steps;
    QPointer<QWidget> m_last;
};

Modals::Step click(const QString& button, QString* text = nullptr) {
    return [button, text](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        ASSERT_NE(box, nullptr) << w->metaObject()->className();
        if (text) *text = box->text();
        for (QAbstractButton* b : box->buttons())
            if (button.isEmpty() || b->text() == button) return b->click();
    };
}

Modals::Step choose(const QString& path) {
    return [path](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        ASSERT_NE(dialog, nullptr) << w->metaObject()->className();
        if (QFileInfo(path).isDir()) {
            // As the user does: opens the folder and takes it with an empty name field.
            dialog->setDirectory(path);
            if (auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) edit->clear();
        } else {
            dialog->selectFile(path);
        }
        static_cast<QDialog*>(dialog)->done(QDialog::Accepted);
    };
}

class AuditExportCommandTest : public MainWindowFixture {
protected:
    testsupport::TempFolder m_files;
};

// The command of the menu "Datei" as a bookkeeper uses it: into a folder, then into a ZIP file.
TEST_F(AuditExportCommandTest, ExportsTheOpenYearIntoAFolderOrAZipFile) {
    start();
    post(QStringLiteral("Miete; Büro"), 119, QDate(m_year, 3, 1));
    post(QStringLiteral("Porto"), 0.85, QDate(m_year, 3, 2));
    const QString name = QStringLiteral("Betriebspruefung_Mandant1_%1").arg(m_year);
    for (const bool zip : {false, true}) {
        SCOPED_TRACE(zip ? "zip" : "folder");
        QString summary;
        Modals modals({click(zip ? QStringLiteral("In eine ZIP-Datei...") : QStringLiteral("In einen Ordner...")),
                       choose(zip ? m_files.file(name + QStringLiteral(".zip")) : m_files.path()),
                       click(QString(), &summary)});
        form->findChild<QAction*>(QStringLiteral("DatenexportfrdieBetriebsprfung1"))->trigger();
        EXPECT_TRUE(modals.done());
        EXPECT_TRUE(summary.contains(QStringLiteral("Buchungen (buchungen.csv): 2 Datensätze")))
            << summary.toStdString();
    }
    EXPECT_TRUE(QFileInfo::exists(m_files.file(name + QStringLiteral("/index.xml"))));
    EXPECT_TRUE(QFileInfo(m_files.file(name + QStringLiteral(".zip"))).size() > 1000);
    EXPECT_EQ(QDir(m_files.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              (QStringList{name, name + QStringLiteral(".zip")}));
}

}  // namespace
