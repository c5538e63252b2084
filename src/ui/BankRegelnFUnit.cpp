// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/BankRegelnFUnit.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "bank/BankReview.h"
#include "journal/AmountFormat.h"
#include "ui/UiMessages.h"

namespace {

enum Column { cGegenseite, cVerwendung, cKonto, cMwst, cBuchtext, cNeutral, cCount };

}  // namespace

TBankRegelnForm::TBankRegelnForm(const std::vector<BankRule>& rules, const MasterLists&, QWidget* parent)
    : QDialog(parent), m_rules(rules) {
    setObjectName(QStringLiteral("BankRegelnForm"));
    setWindowTitle(QStringLiteral("Regeln für Kontoauszüge"));
    resize(860, 420);
    auto* layout = new QVBoxLayout(this);
    Grid = new QTableWidget(0, cCount, this);
    Grid->setObjectName(QStringLiteral("Grid"));
    Grid->setAccessibleName(QStringLiteral("Regeln, in der Reihenfolge ihrer Anwendung"));
    Grid->setHorizontalHeaderLabels({QStringLiteral("Gegenseite enthält"), QStringLiteral("Verwendung enthält"),
                                     QStringLiteral("Konto-Nr."), QStringLiteral("MwSt %"),
                                     QStringLiteral("Buchungstext"), QStringLiteral("Neutral")});
    Grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    for (const BankRule& r : rules) addRow(r);
    layout->addWidget(Grid, 1);

    auto* row = new QHBoxLayout;
    NeuBtn = new QPushButton(QStringLiteral("&Neu"), this);
    LoeschenBtn = new QPushButton(QStringLiteral("&Löschen"), this);
    HochBtn = new QPushButton(QStringLiteral("Nach &oben"), this);
    RunterBtn = new QPushButton(QStringLiteral("Nach &unten"), this);
    for (QPushButton* b : {NeuBtn, LoeschenBtn, HochBtn, RunterBtn}) {
        b->setAutoDefault(false);
        row->addWidget(b);
    }
    row->addStretch(1);
    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    box->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Abbrechen"));
    row->addWidget(box);
    layout->addLayout(row);
    connect(NeuBtn, &QPushButton::clicked, this, [this] {
        addRow(BankRule{});
        Grid->setCurrentCell(Grid->rowCount() - 1, cGegenseite);
        Grid->setFocus();
    });
    connect(LoeschenBtn, &QPushButton::clicked, this, [this] {
        if (Grid->currentRow() >= 0 && UiMessages::confirmDelete(this)) Grid->removeRow(Grid->currentRow());
    });
    connect(HochBtn, &QPushButton::clicked, this, [this] { moveRow(-1); });
    connect(RunterBtn, &QPushButton::clicked, this, [this] { moveRow(1); });
    connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void TBankRegelnForm::addRow(const BankRule& r) {
    const int row = Grid->rowCount();
    Grid->insertRow(row);
    Grid->setItem(row, cGegenseite, new QTableWidgetItem(r.gegenseite));
    Grid->setItem(row, cVerwendung, new QTableWidgetItem(r.verwendung));
    Grid->setItem(row, cKonto, new QTableWidgetItem(QString::number(r.konto)));
    Grid->setItem(row, cMwst, new QTableWidgetItem(formatAmount(r.mwst)));
    Grid->setItem(row, cBuchtext, new QTableWidgetItem(r.buchtext));
    auto* neutral = new QTableWidgetItem;
    neutral->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    neutral->setCheckState(r.neutral ? Qt::Checked : Qt::Unchecked);
    Grid->setItem(row, cNeutral, neutral);
}

void TBankRegelnForm::moveRow(int delta) {
    const int from = Grid->currentRow();
    const int to = from + delta;
    if (from < 0 || to < 0 || to >= Grid->rowCount()) return;
    for (int c = 0; c < cCount; ++c) {
        QTableWidgetItem* a = Grid->takeItem(from, c);
        QTableWidgetItem* b = Grid->takeItem(to, c);
        Grid->setItem(from, c, b);
        Grid->setItem(to, c, a);
    }
    Grid->setCurrentCell(to, Grid->currentColumn());
}

void TBankRegelnForm::done(int result) {
    if (result != QDialog::Accepted) {
        QDialog::done(result);
        return;
    }
    std::vector<BankRule> rules;
    auto text = [this](int row, int c) {
        return Grid->item(row, c) ? Grid->item(row, c)->text().trimmed() : QString();
    };
    for (int row = 0; row < Grid->rowCount(); ++row) {
        BankRule r;
        r.gegenseite = text(row, cGegenseite);
        r.verwendung = text(row, cVerwendung);
        r.buchtext = text(row, cBuchtext);
        r.neutral = Grid->item(row, cNeutral) && Grid->item(row, cNeutral)->checkState() == Qt::Checked;
        bool ok = false;
        r.konto = text(row, cKonto).toInt(&ok);
        QString why;
        if (r.gegenseite.isEmpty() && r.verwendung.isEmpty())
            why = QStringLiteral("Bitte geben Sie an, was Gegenseite oder Verwendung enthalten müssen.");
        else if (!ok)
            why = QStringLiteral("„%1“ ist keine Kontonummer.").arg(text(row, cKonto));
        else {
            r.mwst = parseAmount(text(row, cMwst), &ok);
            if (!ok) why = amountMessage(text(row, cMwst));
        }
        for (const QString& t : {r.gegenseite, r.verwendung, r.buchtext}) {
            if (why.isEmpty() && t.size() > 60) why = QStringLiteral("„%1“ ist länger als 60 Zeichen.").arg(t);
        }
        if (!why.isEmpty()) {
            UiMessages::showWarning(this, QStringLiteral("Regel %1: %2").arg(row + 1).arg(why));
            Grid->setCurrentCell(row, cGegenseite);
            return;
        }
        rules.push_back(r);
    }
    m_rules = rules;
    QDialog::done(result);
}
