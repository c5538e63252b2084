#include "ui/MandatenNrFUnit.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

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
