// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/EinstellUebertragFUnit.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <iterator>

namespace {

QCheckBox* checkBox(QWidget* parent, const QString& caption, const char* name, int top) {
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(QLatin1String(name));
    box->setGeometry(8, top, 180, 17);
    box->setChecked(true);
    return box;
}

QSpinBox* yearField(QWidget* parent, const QString& label, const char* name, int top) {
    auto* field = new QSpinBox(parent);
    field->setObjectName(QLatin1String(name));
    field->setRange(1900, 3000);
    field->setAlignment(Qt::AlignRight);
    field->setGeometry(104, top, 81, 21);
    auto* caption = new QLabel(label, parent);
    caption->setBuddy(field);
    caption->move(8, top + 3);
    caption->adjustSize();
    field->setAccessibleName(QString(label).remove(QLatin1Char(':')));
    return field;
}

}  // namespace

TEinstellUebertragForm::TEinstellUebertragForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TEinstellUebertragForm"));
    setWindowTitle(QStringLiteral("Einstellungen in neues Jahr übertragen..."));
    setModal(true);
    setFixedSize(428, 240);

    CheckBox1 = checkBox(this, QStringLiteral("Einnahmekonten"), "CheckBox1", 8);
    CheckBox2 = checkBox(this, QStringLiteral("Ausgabekonten"), "CheckBox2", 24);
    CheckBox3 = checkBox(this, QStringLiteral("MwSt-Sätze"), "CheckBox3", 40);
    CheckBox4 = checkBox(this, QStringLiteral("Buchungstexte"), "CheckBox4", 56);
    CheckBox5 = checkBox(this, QStringLiteral("Dauerbuchungen"), "CheckBox5", 72);
    CheckBox6 = checkBox(this, QStringLiteral("Sammelkonten"), "CheckBox6", 88);
    CheckBox7 = checkBox(this, QStringLiteral("Kostenkonten"), "CheckBox7", 104);
    KontenzuordnungCheck = checkBox(this, QStringLiteral("Kontenzuordnung"), "KontenzuordnungCheck", 8);
    KontenzuordnungCheck->move(220, 8);
    AltesJahrEd = yearField(this, QStringLiteral("Altes Jahr:"), "AltesJahrEd", 128);
    NeuesJahrEd = yearField(this, QStringLiteral("Neues Jahr:"), "NeuesJahrEd", 152);

    OKBtn = new QPushButton(QStringLiteral("OK"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setGeometry(176, 200, 75, 25);
    OKBtn->setDefault(true);
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);

    // Tab order: the first four boxes, the two years, OK, then the last three boxes.
    QWidget* order[] = {CheckBox1,   CheckBox2, CheckBox3, CheckBox4, AltesJahrEd,
                        NeuesJahrEd, OKBtn,     CheckBox5, CheckBox6, CheckBox7};
    for (size_t i = 0; i + 1 < std::size(order); ++i) setTabOrder(order[i], order[i + 1]);
    setTabOrder(CheckBox7, KontenzuordnungCheck);
}

std::array<bool, 7> TEinstellUebertragForm::chosen() const {
    return {CheckBox1->isChecked(), CheckBox2->isChecked(), CheckBox3->isChecked(), CheckBox4->isChecked(),
            CheckBox5->isChecked(), CheckBox6->isChecked(), CheckBox7->isChecked()};
}

void TEinstellUebertragForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    CheckBox1->setFocus();
}
