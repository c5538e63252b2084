// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QSpinBox>
#include <QTest>
#include <set>

#include "GuideWindows.h"
#include "SampleData.h"
#include "support/TestSupport.h"
#include "ui/AppForms.h"
#include "ui/MainUnit.h"

namespace {

// Each window the guide shows opens from the menu command the guide names, and its picture is there; also
// the windows a command creates each time (the tax forms in the report window, the account assignment, the
// bank statement and the columns of a bank CSV file after the file dialog). A window renamed or removed, or a
// command that no longer opens it, fails here until the guide follows.
TEST(GuideWindowsTest, EveryWindowOfTheGuideOpensFromItsCommand) {
    testsupport::TempFolder dataHome;
    testsupport::TempFolder configHome;
    qputenv("XDG_DATA_HOME", dataHome.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", configHome.path().toUtf8());
    QDir().mkpath(dataHome.path() + QStringLiteral("ZAN-TOR/Quorvel"));
    SampleData::write(dataHome.path() + QStringLiteral("ZAN-TOR/Quorvel/"));
    const QString statement = SampleData::writeStatement(configHome.path());
    const QString bankCsv = SampleData::writeBankCsv(configHome.path());

    const QString docs = QStringLiteral(QUORVEL_DOCS);
    const std::vector<GuideWindow> windows = readGuideWindows(docs + QStringLiteral("/handbuch.md"));
    ASSERT_GE(windows.size(), 17u);

    TMainForm* main = createAppForms();
    main->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(main));
    QTest::qWait(50);
    main->findChild<QSpinBox*>(QStringLiteral("JahrEd"))->setValue(SampleData::year);

    std::set<QString> seen;
    for (const GuideWindow& w : windows) {
        SCOPED_TRACE(w.window.toStdString());
        EXPECT_TRUE(QFileInfo::exists(docs + QStringLiteral("/bilder/") + w.picture)) << w.picture.toStdString();
        QString shownName;
        const QString problem = showGuideWindow(
            *main, w, [&](QWidget* window) { shownName = window->objectName(); },
            [&](const GuideWindow& g) { return SampleData::sampleFileFor(g.window, statement, bankCsv); });
        EXPECT_TRUE(problem.isEmpty()) << problem.toStdString();
        EXPECT_EQ(shownName, w.action.isEmpty() ? main->objectName() : w.window);
        seen.insert(w.window);
    }
    // Every window the program creates at start has its place in the guide.
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        const QString name = widget->objectName();
        if (name.startsWith(QLatin1Char('T')) && name.endsWith(QStringLiteral("Form"))) {
            EXPECT_TRUE(seen.count(name)) << "not in the guide: " << name.toStdString();
        }
    }
    main->close();
    destroyAppForms();
}

}  // namespace
