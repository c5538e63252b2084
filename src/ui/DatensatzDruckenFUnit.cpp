#include "ui/DatensatzDruckenFUnit.h"

#include <QPushButton>

TDruckeForm::TDruckeForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TDruckeForm"));
    setWindowTitle(QStringLiteral("Datensatz drucken"));
    setModal(true);
    resize(418, 282);

    BackBtn = new QPushButton(QStringLiteral("Zurück"), this);
    BackBtn->setObjectName(QStringLiteral("BackBtn"));
    BackBtn->setGeometry(8, 8, 97, 33);
    connect(BackBtn, &QPushButton::clicked, this, &QDialog::accept);
}
