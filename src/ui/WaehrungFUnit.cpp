// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/WaehrungFUnit.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "ui/DialogParts.h"

TWaehrungForm::TWaehrungForm(QWidget* parent, OptionStore* store) : QDialog(parent) {
    setObjectName(QStringLiteral("TWaehrungForm"));
    setWindowTitle(QStringLiteral("Währung"));
    setModal(true);
    setFixedSize(401, 164);

    auto* label = new QLabel(QStringLiteral("Währung:"), this);
    label->move(8, 8);
    Edit1 = new QLineEdit(QStringLiteral("€"), this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setGeometry(8, 32, 121, Edit1->sizeHint().height());
    label->setBuddy(Edit1);

    OKBtn = addOkStrip(this, QRect(8, 108, 385, 4), QRect(163, 120, 86, 33));

    m_storage = std::make_unique<FormStorage>(this, QStringLiteral("TWaehrungForm"), true, store);
}

TWaehrungForm::~TWaehrungForm() = default;

QString TWaehrungForm::currency() const {
    return Edit1->text();
}
