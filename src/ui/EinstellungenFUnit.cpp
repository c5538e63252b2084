// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/EinstellungenFUnit.h"

#include <QKeyEvent>
#include <QPushButton>

#include "journal/TableModel.h"
#include "ui/DBGrid.h"
#include "ui/DBNavigator.h"
#include "ui/DialogParts.h"
#include "ui/PendingPost.h"

TEinstellungenForm::TEinstellungenForm(QWidget* parent) : QDialog(parent), m_model(std::make_unique<TableModel>()) {
    setObjectName(QStringLiteral("TEinstellungenForm"));
    setWindowTitle(QStringLiteral("Einstellungen bearbeiten..."));
    setModal(true);

    auto* strip = new QWidget(this);
    strip->setObjectName(QStringLiteral("Panel1"));
    strip->setFixedHeight(73);
    OKBtn = new QPushButton(QStringLiteral("OK"), strip);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setGeometry(8, 8, 75, 25);
    // Enter belongs to the grid's cell editing, not to a default button.
    OKBtn->setAutoDefault(false);
    DBNavigator1 = new DBNavigator(strip);
    DBNavigator1->setObjectName(QStringLiteral("DBNavigator1"));
    DBNavigator1->move(8, 40);

    DBGrid1 = addGridBelow(this, strip, m_model.get());
    resize(550, 436);

    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(DBNavigator1, &DBNavigator::beforeAction, DBGrid1, &DBGrid::commitEditor);
}

TEinstellungenForm::~TEinstellungenForm() {
    unbind();
}

void TEinstellungenForm::bind(DbfTable* table) {
    m_model->bind(table);
    DBNavigator1->setTable(table);
}

void TEinstellungenForm::unbind() {
    DBNavigator1->setTable(nullptr);
    m_model->unbind();
}

DbfTable* TEinstellungenForm::table() const {
    return m_model->table();
}

void TEinstellungenForm::done(int result) {
    if (!PendingPost::commitAndPost(this, DBGrid1, m_model->table())) return;
    QDialog::done(result);
}

void TEinstellungenForm::keyPressEvent(QKeyEvent* event) {
    if (pressFocusedButton(this, event)) return;
    QDialog::keyPressEvent(event);
}
