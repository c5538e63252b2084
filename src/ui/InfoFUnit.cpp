// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/InfoFUnit.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TInfoForm::TInfoForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TInfoForm"));
    setWindowTitle(QStringLiteral("Info"));
    setModal(true);

    auto* name = new QLabel(QStringLiteral("ZAN-TOR Einnahmen-Überschuss-Rechnung 1.0"), this);
    name->setObjectName(QStringLiteral("ProgramNameLabel"));
    QFont bold = name->font();
    bold.setBold(true);
    // The application font may be sized in pixels or in points.
    if (bold.pixelSize() > 0)
        bold.setPixelSize(bold.pixelSize() * 13 / 10);
    else
        bold.setPointSizeF(bold.pointSizeF() * 1.3);
    name->setFont(bold);
    auto* product = new QLabel(QStringLiteral("Quorvel 1.0"), this);
    product->setObjectName(QStringLiteral("ProductLabel"));
    auto* what = new QLabel(QStringLiteral("Buchführung für die Einnahmen-Überschuss-Rechnung: Einnahmen und Ausgaben "
                                           "erfassen, die Umsatzsteuer ermitteln und Auswertungen drucken."),
                            this);
    what->setObjectName(QStringLiteral("DescriptionLabel"));
    what->setWordWrap(true);

    OKBtn = new QPushButton(QStringLiteral("OK"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setDefault(true);
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(OKBtn);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(name);
    layout->addWidget(product);
    layout->addSpacing(8);
    layout->addWidget(what);
    layout->addStretch(1);
    layout->addLayout(buttons);
    resize(420, 200);
}
