#include "ui/WaehrungFUnit.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

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

    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setGeometry(8, 108, 385, 4);

    OKBtn = new QPushButton(QStringLiteral("OK"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setGeometry(163, 120, 86, 33);
    OKBtn->setDefault(true);
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);

    m_storage = std::make_unique<FormStorage>(this, QStringLiteral("TWaehrungForm"), true, store);
}

TWaehrungForm::~TWaehrungForm() = default;

QString TWaehrungForm::currency() const {
    return Edit1->text();
}
