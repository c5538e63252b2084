#include "ui/KontoAuswahlenFUnit.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>

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

    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setGeometry(8, 100, 402, 4);

    OKBtn = new QPushButton(QStringLiteral("OK"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setGeometry(162, 112, 94, 33);
    OKBtn->setDefault(true);
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
}
