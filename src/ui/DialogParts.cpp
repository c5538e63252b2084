// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/DialogParts.h"

#include <QDialog>
#include <QFrame>
#include <QKeyEvent>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include "ui/DBGrid.h"

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

bool pressFocusedButton(QDialog* dialog, QKeyEvent* event) {
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) return false;
    if (event->modifiers() & ~Qt::KeypadModifier) return false;
    QWidget* focus = dialog->focusWidget();
    auto* button = qobject_cast<QAbstractButton*>(focus);
    if (!button || !(qobject_cast<QPushButton*>(button) || qobject_cast<QToolButton*>(button))) return false;
    event->accept();
    if (button->isEnabled()) button->click();
    return true;
}

DBGrid* addGridBelow(QDialog* dialog, QWidget* top, TableModel* model) {
    auto* grid = new DBGrid(dialog);
    grid->setObjectName(QStringLiteral("DBGrid1"));
    grid->setTableModel(model);
    auto* layout = new QVBoxLayout(dialog);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(top);
    layout->addWidget(grid, 1);
    return grid;
}
