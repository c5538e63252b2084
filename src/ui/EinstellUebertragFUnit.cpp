#include "ui/EinstellUebertragFUnit.h"

#include <QPushButton>

TEinstellUebertragForm::TEinstellUebertragForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TEinstellUebertragForm"));
    setWindowTitle(QStringLiteral("Einstellungen in neues Jahr übertragen..."));
    setModal(true);
    setFixedSize(428, 240);

    OKBtn = new QPushButton(QStringLiteral("OK"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setGeometry(8, 200, 94, 33);
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
}
