// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QRadioButton>
#include <QSettings>
#include <QTest>

#include "UiTestSupport.h"
#include "startup/OptionStore.h"
#include "support/TestSupport.h"
#include "ui/AdminMenuFUnit.h"
#include "ui/DruckeErgebnisFUnit.h"
#include "ui/FormStorage.h"
#include "ui/WaehrungFUnit.h"

namespace {

// A window whose own show handler records what its controls held at that moment.
class ProbeWindow : public QDialog {
public:
    explicit ProbeWindow(OptionStore* store) {
        setObjectName(QStringLiteral("TProbeForm"));
        check = new QCheckBox(this);
        check->setObjectName(QStringLiteral("SomeCheck"));
        edit = new QLineEdit(this);
        edit->setObjectName(QStringLiteral("SomeEdit"));
        action = new QAction(this);
        action->setObjectName(QStringLiteral("SomeAction1"));
        action->setCheckable(true);
        storage = std::make_unique<FormStorage>(this, QStringLiteral("TProbeForm"), true, store);
        storage->addCheck(check, false);
        storage->addText(edit, QStringLiteral("vorgabe"));
        storage->addAction(action, true);
    }
    ~ProbeWindow() override { storage.reset(); }

    QCheckBox* check = nullptr;
    QLineEdit* edit = nullptr;
    QAction* action = nullptr;
    std::unique_ptr<FormStorage> storage;
    bool checkAtShow = false;
    QString textAtShow;

protected:
    void showEvent(QShowEvent* event) override {
        checkAtShow = check->isChecked();
        textAtShow = edit->text();
        QDialog::showEvent(event);
    }
};

class FormStorageTest : public ::testing::Test {
protected:
    QString ini() const { return folder.file(QStringLiteral("Quorvel.ini")); }
    testsupport::TempFolder folder;
};

}  // namespace

TEST_F(FormStorageTest, RestoresBeforeTheWindowsOwnShowHandler) {
    {
        OptionStore store(ini());
        store.setBoolValue(QStringLiteral("TProbeForm"), QStringLiteral("SomeCheck_Checked"), true);
        store.setValue(QStringLiteral("TProbeForm"), QStringLiteral("SomeEdit_Text"), QStringLiteral("D:\\Daten"));
        store.setBoolValue(QStringLiteral("TProbeForm"), QStringLiteral("SomeAction1_Checked"), false);
        store.sync();
    }
    OptionStore store(ini());
    ProbeWindow window(&store);
    window.show();
    EXPECT_TRUE(window.checkAtShow);
    EXPECT_EQ(window.textAtShow, QStringLiteral("D:\\Daten"));
    EXPECT_FALSE(window.action->isChecked());
    window.hide();
}

TEST_F(FormStorageTest, MissingItemsTakeTheirDefaults) {
    OptionStore store(ini());
    ProbeWindow window(&store);
    window.check->setChecked(true);
    window.edit->setText(QStringLiteral("alt"));
    window.action->setChecked(false);
    window.storage->restore();
    EXPECT_FALSE(window.check->isChecked());
    EXPECT_EQ(window.edit->text(), QStringLiteral("vorgabe"));
    EXPECT_TRUE(window.action->isChecked());
}

TEST_F(FormStorageTest, SavesWhenClosedByCloseBoxAcceptOrDone) {
    const std::vector<std::function<void(QDialog&)>> closers = {
        [](QDialog& d) { d.close(); },
        [](QDialog& d) { d.accept(); },
        [](QDialog& d) { d.done(QDialog::Rejected); },
        [](QDialog& d) { QTest::keyClick(&d, Qt::Key_Escape); },
    };
    for (size_t i = 0; i < closers.size(); ++i) {
        const bool value = i % 2 == 0;
        {
            OptionStore store(ini());
            ProbeWindow window(&store);
            window.show();
            window.check->setChecked(value);
            window.edit->setText(QStringLiteral("Text %1").arg(i));
            closers[i](window);
            ASSERT_FALSE(window.isVisible()) << i;
            // Read back through a second store: the first must have written the file.
            OptionStore reader(ini());
            EXPECT_EQ(reader.boolValue(QStringLiteral("TProbeForm"), QStringLiteral("SomeCheck_Checked"), !value),
                      value)
                << i;
            EXPECT_EQ(reader.value(QStringLiteral("TProbeForm"), QStringLiteral("SomeEdit_Text")).value_or(QString()),
                      QStringLiteral("Text %1").arg(i));
        }
    }
    QSettings raw(ini(), QSettings::IniFormat);
    raw.beginGroup(QStringLiteral("TProbeForm"));
    const QString stored = raw.value(QStringLiteral("SomeCheck_Checked")).toString();
    EXPECT_TRUE(stored == QStringLiteral("True") || stored == QStringLiteral("False")) << stored.toStdString();
}

TEST_F(FormStorageTest, PlacementRoundTripAndStoredForm) {
    {
        OptionStore store(ini());
        ProbeWindow window(&store);
        window.show();
        window.setGeometry(QRect(110, 120, 300, 200));
        window.close();
        OptionStore reader(ini());
        const auto placement = reader.placement(QStringLiteral("TProbeForm"), window.screen()->size());
        ASSERT_TRUE(placement.has_value());
        EXPECT_EQ(placement->normPos, QRect(110, 120, 300, 200));
        EXPECT_EQ(placement->showCmd, 1);
        EXPECT_EQ(placement->pixelsPerInch, 96);
        EXPECT_EQ(placement->minPos, QPoint(-1, -1));
        EXPECT_EQ(placement->maxPos, QPoint(-1, -1));
    }
    OptionStore store(ini());
    ProbeWindow window(&store);
    window.show();
    EXPECT_EQ(window.geometry(), QRect(110, 120, 300, 200));
    window.close();
}

TEST_F(FormStorageTest, DestructionSavesOnlyWhatWasRestoredAndNotSaved) {
    {
        OptionStore store(ini());
        ProbeWindow window(&store);  // never shown, never restored: must not write its defaults
        window.check->setChecked(true);
    }
    EXPECT_FALSE(OptionStore(ini()).value(QStringLiteral("TProbeForm"), QStringLiteral("SomeCheck_Checked")));
    {
        OptionStore store(ini());
        ProbeWindow window(&store);
        window.storage->restore();
        window.check->setChecked(true);
    }
    EXPECT_TRUE(OptionStore(ini()).boolValue(QStringLiteral("TProbeForm"), QStringLiteral("SomeCheck_Checked"), false));
}

TEST_F(FormStorageTest, UnwritableStoreIsReportedAndTheProgramGoesOn) {
    // The store's file name is a folder: nothing can be written there.
    const QString blocked = folder.file(QStringLiteral("blocked.ini"));
    ASSERT_TRUE(QDir().mkpath(blocked));
    OptionStore store(blocked);
    ProbeWindow window(&store);
    window.show();
    window.check->setChecked(true);
    uitest::MessageBoxAnswer answer;
    window.accept();
    EXPECT_TRUE(answer.answered());
    EXPECT_EQ(answer.icon(), QMessageBox::Critical);
    EXPECT_FALSE(answer.text().isEmpty());
    EXPECT_FALSE(window.isVisible());
}

TEST_F(FormStorageTest, AdminDialogDefaultsAndStoredChoice) {
    {
        OptionStore store(ini());
        TAdminForm admin(nullptr, &store);
        admin.storage().restore();  // as the main window does before the dialog is ever shown
        EXPECT_TRUE(admin.UserFolderCheck->isChecked());
        EXPECT_FALSE(admin.ProgramFolderCheck->isChecked());
        EXPECT_FALSE(admin.UseSpecialFolderCheck->isChecked());
        EXPECT_EQ(admin.DirectoryEdit1->text(), QString());
        admin.show();
        admin.UseSpecialFolderCheck->setChecked(true);
        admin.DirectoryEdit1->setText(QStringLiteral("/srv/daten"));
        QTest::mouseClick(admin.OKBtn, Qt::LeftButton);
        EXPECT_FALSE(admin.isVisible());
    }
    OptionStore reader(ini());
    const QString group = QStringLiteral("TAdminForm");
    EXPECT_EQ(reader.value(group, QStringLiteral("UseSpecialFolderCheck_Checked")), QStringLiteral("True"));
    EXPECT_EQ(reader.value(group, QStringLiteral("UserFolderCheck_Checked")), QStringLiteral("False"));
    EXPECT_EQ(reader.value(group, QStringLiteral("ProgramFolderCheck_Checked")), QStringLiteral("False"));
    EXPECT_EQ(reader.value(group, QStringLiteral("DirectoryEdit1_Text")), QStringLiteral("/srv/daten"));
    EXPECT_TRUE(reader.placement(group, QGuiApplication::primaryScreen()->size()).has_value());

    OptionStore store(ini());
    TAdminForm admin(nullptr, &store);
    admin.storage().restore();
    EXPECT_TRUE(admin.UseSpecialFolderCheck->isChecked());
    EXPECT_FALSE(admin.UserFolderCheck->isChecked());
    EXPECT_EQ(admin.DirectoryEdit1->text(), QStringLiteral("/srv/daten"));
}

TEST_F(FormStorageTest, ContradictoryAdminChoiceFallsBackToThePerUserFolder) {
    {
        OptionStore store(ini());
        const QString group = QStringLiteral("TAdminForm");
        store.setBoolValue(group, QStringLiteral("ProgramFolderCheck_Checked"), true);
        store.setBoolValue(group, QStringLiteral("UserFolderCheck_Checked"), true);
        store.sync();
    }
    OptionStore store(ini());
    TAdminForm admin(nullptr, &store);
    admin.storage().restore();
    EXPECT_TRUE(admin.UserFolderCheck->isChecked());
    EXPECT_FALSE(admin.ProgramFolderCheck->isChecked());
}

TEST_F(FormStorageTest, CurrencyKeepsOnlyItsPlacement) {
    {
        OptionStore store(ini());
        TWaehrungForm currency(nullptr, &store);
        currency.show();
        uitest::child<QLineEdit>(&currency, "Edit1")->setText(QStringLiteral("CHF"));
        currency.accept();
        EXPECT_EQ(currency.currency(), QStringLiteral("CHF"));
    }
    OptionStore store(ini());
    EXPECT_FALSE(store.value(QStringLiteral("TWaehrungForm"), QStringLiteral("Edit1_Text")));
    EXPECT_TRUE(store.placement(QStringLiteral("TWaehrungForm"), QGuiApplication::primaryScreen()->size()));
    TWaehrungForm currency(nullptr, &store);
    currency.show();
    EXPECT_EQ(currency.currency(), QStringLiteral("€"));
    currency.accept();
}

TEST_F(FormStorageTest, ReportWindowStoresPageWidthCheck) {
    {
        OptionStore store(ini());
        TDruckeErgebnisForm report(nullptr, &store);
        report.show();
        EXPECT_FALSE(report.ResizeToPageWidthCheck->isChecked());
        QTest::mouseClick(report.ResizeToPageWidthCheck, Qt::LeftButton);
        report.close();
    }
    OptionStore store(ini());
    EXPECT_EQ(store.value(QStringLiteral("TDruckeErgebnisForm"), QStringLiteral("ResizeToPageWidthCheck_Checked")),
              QStringLiteral("True"));
    TDruckeErgebnisForm report(nullptr, &store);
    report.show();
    EXPECT_TRUE(report.ResizeToPageWidthCheck->isChecked());
    report.close();
}
