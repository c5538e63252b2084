#include "ui/DruckeErgebnisFUnit.h"

#include <QCheckBox>
#include <QPushButton>

TDruckeErgebnisForm::TDruckeErgebnisForm(QWidget* parent, OptionStore* store) : QDialog(parent) {
    setObjectName(QStringLiteral("TDruckeErgebnisForm"));
    setWindowTitle(QStringLiteral("Datensatz drucken"));
    setModal(true);
    resize(640, 495);

    BackBtn = new QPushButton(QStringLiteral("Zurück"), this);
    BackBtn->setObjectName(QStringLiteral("BackBtn"));
    BackBtn->setGeometry(8, 8, 97, 33);
    connect(BackBtn, &QPushButton::clicked, this, &QDialog::accept);

    ResizeToPageWidthCheck = new QCheckBox(QStringLiteral("Vergrößern auf Seitenbreite"), this);
    ResizeToPageWidthCheck->setObjectName(QStringLiteral("ResizeToPageWidthCheck"));
    ResizeToPageWidthCheck->setGeometry(8, 48, 353, 17);

    m_storage = std::make_unique<FormStorage>(this, QStringLiteral("TDruckeErgebnisForm"), true, store);
    m_storage->addCheck(ResizeToPageWidthCheck, false);
}

TDruckeErgebnisForm::~TDruckeErgebnisForm() = default;

int TDruckeErgebnisForm::showReport() {
    return exec();
}
