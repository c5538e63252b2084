// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/MandatenNrFUnit.h"

#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

#include "ui/DialogParts.h"

TMandantenNrForm::TMandantenNrForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TMandantenNrForm"));
    setWindowTitle(QStringLiteral("Mandantennummer auswählen"));
    setModal(true);
    setFixedSize(418, 154);

    auto* label = new QLabel(QStringLiteral("Mandanten Nummer:"), this);
    label->move(8, 8);
    MandantEd = new QSpinBox(this);
    MandantEd->setObjectName(QStringLiteral("MandantEd"));
    MandantEd->setRange(1, 1000000);
    MandantEd->setValue(1);
    MandantEd->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    MandantEd->setGeometry(8, 32, 121, MandantEd->sizeHint().height());
    label->setBuddy(MandantEd);

    OKBtn = addOkStrip(this, QRect(8, 100, 402, 4), QRect(162, 112, 94, 33));
}

int TMandantenNrForm::number() const {
    return MandantEd->value();
}
