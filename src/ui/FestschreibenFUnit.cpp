// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/FestschreibenFUnit.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "journal/DateInput.h"
#include "ui/UiMessages.h"

TFestschreibenForm::TFestschreibenForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FestschreibenForm"));
    setWindowTitle(QStringLiteral("Zeitraum festschreiben"));
    auto* column = new QVBoxLayout(this);
    StandLabel = new QLabel(this);
    StandLabel->setObjectName(QStringLiteral("StandLabel"));
    StandLabel->setWordWrap(true);
    column->addWidget(StandLabel);
    auto* label = new QLabel(QStringLiteral("&Buchungen festschreiben bis einschließlich:"), this);
    column->addWidget(label);
    BisdatumEd = new QComboBox(this);
    BisdatumEd->setObjectName(QStringLiteral("BisdatumEd"));
    BisdatumEd->setEditable(true);
    BisdatumEd->setInsertPolicy(QComboBox::NoInsert);
    BisdatumEd->setAccessibleName(QStringLiteral("Festschreiben bis"));
    label->setBuddy(BisdatumEd);
    column->addWidget(BisdatumEd);
    auto* buttons = new QDialogButtonBox(this);
    OKBtn = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    AbbrechenBtn = buttons->addButton(QStringLiteral("Abbrechen"), QDialogButtonBox::RejectRole);
    OKBtn->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    column->addWidget(buttons);
}

void TFestschreibenForm::setup(int bookingYear, const QDate& closedUntil, const QList<QDate>& offered,
                               DateCheck check) {
    m_year = bookingYear;
    m_check = std::move(check);
    m_chosen = QDate();
    const QString stand =
        closedUntil.isValid()
            ? QStringLiteral("Festgeschrieben sind die Buchungen bis %1.").arg(DateInput::format(closedUntil))
            : QStringLiteral("Im Jahr %1 ist noch nichts festgeschrieben.").arg(bookingYear);
    StandLabel->setText(stand);
    StandLabel->setAccessibleName(stand);
    BisdatumEd->clear();
    for (const QDate& d : offered) BisdatumEd->addItem(DateInput::format(d));
    // The latest month end already over is the likely choice.
    int pick = 0;
    for (int i = 0; i < offered.size(); ++i)
        if (offered[i] < QDate::currentDate()) pick = i;
    BisdatumEd->setCurrentIndex(offered.isEmpty() ? -1 : pick);
    BisdatumEd->lineEdit()->selectAll();
    BisdatumEd->setFocus();
}

void TFestschreibenForm::accept() {
    const QString typed = BisdatumEd->currentText();
    const DateInput::Result date = DateInput::parse(typed, m_year);
    QString why = date.ok() ? QString() : DateInput::message(typed, date.problem);
    if (why.isEmpty() && m_check) why = m_check(date.date);
    if (!why.isEmpty()) {
        UiMessages::showWarning(this, why);
        BisdatumEd->setFocus();
        BisdatumEd->lineEdit()->selectAll();
        return;
    }
    m_chosen = date.date;
    QDialog::accept();
}
