// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDate>
#include <QDateEdit>
#include <QDoubleSpinBox>
#include <QTest>

#include "storage/DbfTable.h"
#include "support/TestSupport.h"
#include "ui/AppForms.h"
#include "MainControls.h"
#include "ui/MainUnit.h"

// The program's windows, created in their order as at a start, over a per-user data folder and an
// option store of their own (XDG_DATA_HOME and XDG_CONFIG_HOME point at temporary folders).
class MainWindowFixture : public ::testing::Test {
protected:
    void SetUp() override {
        qputenv("XDG_DATA_HOME", m_dataHome.path().toUtf8());
        qputenv("XDG_CONFIG_HOME", m_configHome.path().toUtf8());
        m_year = QDate::currentDate().year();
    }
    void TearDown() override {
        destroyAppForms();
        form = nullptr;
    }

    QString userFolder() const { return m_dataHome.path() + QStringLiteral("ZAN-TOR/Quorvel/"); }

    // Creates the windows and shows the main window as the program does; its start-up runs.
    TMainForm* start() {
        form = createAppForms();
        form->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(form));
        QTest::qWait(50);
        QApplication::setActiveWindow(form);
        return form;
    }

    // Closes the window as the user does (options are stored) and starts the program again.
    TMainForm* restart() {
        form->close();
        destroyAppForms();
        return start();
    }

    void post(const QString& text, double gross, const QDate& date = {}) {
        EntryValue entry = form->entryValue();
        if (date.isValid()) entry.datum = date;
        entry.text = text;
        entry.brutto = gross;
        form->fillEntry(entry);
        form->post();
    }

    DbfTable& bookings() { return form->tables().Dbf1; }

    TMainForm* form = nullptr;
    int m_year = 0;

private:
    testsupport::TempFolder m_dataHome;
    testsupport::TempFolder m_configHome;
};
