// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/FirmenanschriftFUnit.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include "ui/DialogParts.h"

TFirmenanschriftForm::TFirmenanschriftForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TFirmenanschriftForm"));
    setWindowTitle(QStringLiteral("Firmenangaben"));
    setModal(true);
    setFixedSize(523, 298);

    auto* label = new QLabel(QStringLiteral("Hinterlegen Sie hier Ihre Firmenadresse:"), this);
    label->move(8, 8);
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setGeometry(8, 32, 505, 145);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Enter starts a new address line; Tab leaves the field.
    Memo1->setTabChangesFocus(true);
    Memo1->setPlainText(
        QStringLiteral("Stellen Sie Ihre Firmenadresse in den Einstellungen ein. Diese erscheint dann hier."));
    label->setBuddy(Memo1);
    Memo1->setAccessibleName(label->text());

    auto* taxLabel = new QLabel(QStringLiteral("Steuernummer:"), this);
    taxLabel->move(8, 190);
    SteuernummerEd = new QLineEdit(this);
    SteuernummerEd->setObjectName(QStringLiteral("SteuernummerEd"));
    SteuernummerEd->setGeometry(120, 186, 220, 24);
    SteuernummerEd->setMaxLength(40);
    SteuernummerEd->setAccessibleName(QStringLiteral("Steuernummer"));
    taxLabel->setBuddy(SteuernummerEd);
    KleinunternehmerCheck = new QCheckBox(QStringLiteral("Kleinunternehmer (§ 19 UStG): keine Umsatzsteuer-Voranmeldung"), this);
    KleinunternehmerCheck->setObjectName(QStringLiteral("KleinunternehmerCheck"));
    KleinunternehmerCheck->setGeometry(8, 216, 505, 20);

    OKBtn = addOkStrip(this, QRect(8, 244, 507, 4), QRect(213, 256, 96, 33), false);
    // Tab leaves the address for "OK" as before; the tax fields follow it.
    setTabOrder(Memo1, OKBtn);
    setTabOrder(OKBtn, SteuernummerEd);
    setTabOrder(SteuernummerEd, KleinunternehmerCheck);
}

QStringList TFirmenanschriftForm::lines() const {
    const QString text = Memo1->toPlainText();
    if (text.isEmpty()) return {};
    return text.split(QLatin1Char('\n'));
}

void TFirmenanschriftForm::setLines(const QStringList& lines) {
    Memo1->setPlainText(lines.join(QLatin1Char('\n')));
}

void TFirmenanschriftForm::keyPressEvent(QKeyEvent* event) {
    if (pressFocusedButton(this, event)) return;
    QDialog::keyPressEvent(event);
}

QString TFirmenanschriftForm::taxNumber() const {
    return SteuernummerEd->text().trimmed();
}

void TFirmenanschriftForm::setTaxNumber(const QString& number) {
    SteuernummerEd->setText(number);
}

bool TFirmenanschriftForm::smallBusiness() const {
    return KleinunternehmerCheck->isChecked();
}

void TFirmenanschriftForm::setSmallBusiness(bool on) {
    KleinunternehmerCheck->setChecked(on);
}
