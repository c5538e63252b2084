// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

#include "UiTestSupport.h"
#include "ui/DatensatzDruckenFUnit.h"
#include "ui/EinstellUebertragFUnit.h"
#include "ui/FirmenanschriftFUnit.h"
#include "ui/InfoFUnit.h"
#include "ui/KontoAuswahlenFUnit.h"
#include "ui/MandatenNrFUnit.h"

namespace {

// The label whose buddy is the field named `name`, so that screen readers announce the field by its caption.
QString captionOf(QWidget* dialog, const char* name) {
    QWidget* field = uitest::child<QWidget>(dialog, name);
    for (QLabel* label : dialog->findChildren<QLabel*>())
        if (label->buddy() == field) return label->text();
    return {};
}

}  // namespace

TEST(Dialogs, CaptionsNamesAndLabels) {
    TMandantenNrForm mandant;
    TFirmenanschriftForm address;
    TKontoAuswaehlenForm account;
    const struct {
        QDialog* dialog;
        const char* caption;
        const char* objectName;
        QSize size;
    } cases[] = {
        {&mandant, "Mandantennummer auswählen", "TMandantenNrForm", {418, 154}},
        {&address, "Firmenangaben", "TFirmenanschriftForm", {523, 298}},
        {&account, "Konto auswählen", "TKontoAuswaehlenForm", {418, 154}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.dialog->windowTitle(), QString::fromUtf8(c.caption));
        EXPECT_EQ(c.dialog->objectName(), QString::fromUtf8(c.objectName));
        EXPECT_EQ(c.dialog->size(), c.size) << c.objectName;
        EXPECT_TRUE(c.dialog->isModal());
    }
    EXPECT_EQ(captionOf(&mandant, "MandantEd"), QStringLiteral("Mandanten Nummer:"));
    EXPECT_EQ(captionOf(&address, "Memo1"), QStringLiteral("Hinterlegen Sie hier Ihre Firmenadresse:"));
    EXPECT_EQ(captionOf(&account, "EAKontoEd"), QStringLiteral("Konto:"));
    EXPECT_FALSE(uitest::child<QComboBox>(&account, "EAKontoEd")->isEditable());

    TInfoForm info;
    TEinstellUebertragForm transfer;
    TDruckeForm print;
    EXPECT_EQ(info.windowTitle(), QStringLiteral("Info"));
    bool named = false;
    for (QLabel* label : info.findChildren<QLabel*>())
        named |= label->text() == QStringLiteral("ZAN-TOR Einnahmen-Überschuss-Rechnung 1.0");
    EXPECT_TRUE(named);
    EXPECT_EQ(transfer.windowTitle(), QStringLiteral("Einstellungen in neues Jahr übertragen..."));
    EXPECT_EQ(print.windowTitle(), QStringLiteral("Datensatz drucken"));
    EXPECT_EQ(print.BackBtn->text(), QStringLiteral("Zurück"));
}

TEST(Dialogs, ClientNumberRangeAndOk) {
    TMandantenNrForm dialog;
    QSpinBox* field = uitest::child<QSpinBox>(&dialog, "MandantEd");
    EXPECT_EQ(dialog.number(), 1);
    EXPECT_EQ(field->minimum(), 1);
    EXPECT_EQ(field->maximum(), 1000000);
    EXPECT_TRUE(field->alignment() & Qt::AlignRight);
    QTimer::singleShot(0, [&] {
        field->selectAll();
        QTest::keyClicks(field, QStringLiteral("1000000"));
        QTest::keyClick(field, Qt::Key_Return);  // the default button "OK"
    });
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
    EXPECT_EQ(dialog.number(), 1000000);
    // Beyond the range the field does not follow.
    field->setValue(2000000);
    EXPECT_EQ(dialog.number(), 1000000);
}

TEST(Dialogs, AddressLinesRoundTrip) {
    TFirmenanschriftForm dialog;
    EXPECT_EQ(dialog.lines(),
              QStringList{QStringLiteral(
                  "Stellen Sie Ihre Firmenadresse in den Einstellungen ein. Diese erscheint dann hier.")});
    QPlainTextEdit* memo = uitest::child<QPlainTextEdit>(&dialog, "Memo1");
    EXPECT_EQ(memo->lineWrapMode(), QPlainTextEdit::NoWrap);
    const QStringList cases[] = {
        {QStringLiteral("Muster GmbH"), QStringLiteral("Hauptstraße 1"), QStringLiteral("12345 Köln")},
        {QStringLiteral("eine Zeile")},
        {QStringLiteral("mit Leerzeile"), QString(), QStringLiteral("danach")},
        {QStringLiteral("endet leer"), QString()},
        {},
    };
    for (const QStringList& lines : cases) {
        dialog.setLines(lines);
        EXPECT_EQ(dialog.lines(), lines) << lines.join(QLatin1Char('|')).toStdString();
    }
    // Enter in the address starts a new line and does not close the dialog.
    dialog.show();
    dialog.setLines({QStringLiteral("A")});
    memo->setFocus();
    memo->moveCursor(QTextCursor::End);
    QTest::keyClick(memo, Qt::Key_Return);
    QTest::keyClicks(memo, QStringLiteral("B"));
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.lines(), (QStringList{QStringLiteral("A"), QStringLiteral("B")}));
    dialog.close();
}
