#include "ui/DialogParts.h"

#include <QDialog>
#include <QFrame>
#include <QPushButton>

QPushButton* addOkStrip(QDialog* dialog, const QRect& line, const QRect& button, bool isDefault) {
    auto* separator = new QFrame(dialog);
    separator->setFrameShape(QFrame::HLine);
    separator->setFrameShadow(QFrame::Sunken);
    separator->setGeometry(line);

    auto* ok = new QPushButton(QStringLiteral("OK"), dialog);
    ok->setObjectName(QStringLiteral("OKBtn"));
    ok->setGeometry(button);
    if (isDefault)
        ok->setDefault(true);
    else
        ok->setAutoDefault(false);
    QObject::connect(ok, &QPushButton::clicked, dialog, &QDialog::accept);
    return ok;
}
