// SPDX-License-Identifier: GPL-3.0-or-later
// The change log from the main window: a booking posted through the entry panel is found in the log, the
// check of the menu "Admin" finds the log whole, and the log window lists and filters its entries.
#include <QAbstractItemModelTester>
#include <QMessageBox>
#include <QSpinBox>
#include <QTimer>

#include "MainWindowFixture.h"
#include "ShowHook.h"
#include "audit/LogFormat.h"
#include "audit/LogNotes.h"
#include "audit/LogReader.h"
#include "audit/LogTableModel.h"
#include "ui/ProtokollFUnit.h"

namespace {

class AuditWindowTest : public MainWindowFixture {};

}  // namespace

TEST_F(AuditWindowTest, PostedBookingIsLoggedCheckedAndListed) {
    start();
    ASSERT_NE(form->logNotes(), nullptr);
    post(QStringLiteral("Büromaterial"), 119.5);
    post(QStringLiteral("Porto"), 2.5);
    ASSERT_EQ(bookings().physicalRecordCount(), 2);
    const QString logFile = userFolder() + QStringLiteral("protokoll_1_%1.dbf").arg(m_year);
    {
        audit::LogReader reader(logFile, bookings().absoluteFileName());
        ASSERT_EQ(reader.count(), 3);
        const audit::LogEntry entry = reader.entry(1);
        EXPECT_EQ(entry.kind, audit::LogEntry::Kind::Insert);
        EXPECT_EQ(entry.record(), 0);
        EXPECT_TRUE(reader.describe(entry.after).contains(QStringLiteral("Text Büromaterial, Brutto 119,50")))
            << reader.describe(entry.after).toStdString();
    }
    form->logNotes()->note({QStringLiteral("Festschreibung"), -1, QStringLiteral("Januar festgeschrieben")});

    QString said;
    auto boxes = uitest::onShow<QMessageBox>([&](QMessageBox* box) {
        said = box->text();
        QTimer::singleShot(0, box, [box] { box->accept(); });
    });
    form->findChild<QAction*>(QStringLiteral("Protokollprfen1"))->trigger();
    EXPECT_TRUE(said.contains(QStringLiteral("vollständig und unverändert: 4 Einträge"))) << said.toStdString();

    int shown = -1, filtered = -1;
    QString firstAction;
    auto windows = uitest::onShow<TProtokollForm>([&](TProtokollForm* w) {
        QTimer::singleShot(0, w, [&, w] {
            QAbstractItemModelTester tester(w->model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
            shown = w->model()->rowCount();
            w->SatzEd->setValue(2);  // record 2: "Porto"
            w->FilterBtnClick();
            filtered = w->model()->rowCount();
            firstAction = w->model()->index(0, audit::LogTableModel::Aktion).data().toString();
            w->accept();
        });
    });
    form->findChild<QAction*>(QStringLiteral("Protokollanzeigen1"))->trigger();
    EXPECT_EQ(shown, 4);
    EXPECT_EQ(filtered, 1);
    EXPECT_EQ(firstAction, QStringLiteral("Erfassung"));
}
