// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/KontoAuswahlenFUnit.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

#include "ui/DialogParts.h"

TKontoAuswaehlenForm::TKontoAuswaehlenForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TKontoAuswaehlenForm"));
    setWindowTitle(QStringLiteral("Konto auswählen"));
    setModal(true);
    setFixedSize(418, 154);

    auto* label = new QLabel(QStringLiteral("Konto:"), this);
    label->move(8, 8);
    EAKontoEd = new QComboBox(this);
    EAKontoEd->setObjectName(QStringLiteral("EAKontoEd"));
    EAKontoEd->setEditable(false);
    EAKontoEd->setGeometry(8, 32, 273, EAKontoEd->sizeHint().height());
    label->setBuddy(EAKontoEd);

    OKBtn = addOkStrip(this, QRect(8, 100, 402, 4), QRect(162, 112, 94, 33));
}

void TKontoAuswaehlenForm::setAccounts(const QStringList& entries) {
    EAKontoEd->setUpdatesEnabled(false);
    EAKontoEd->clear();
    EAKontoEd->addItems(entries);
    EAKontoEd->setCurrentIndex(entries.isEmpty() ? -1 : 0);
    EAKontoEd->setUpdatesEnabled(true);
}

int TKontoAuswaehlenForm::chosenIndex() const {
    return EAKontoEd->currentIndex();
}
