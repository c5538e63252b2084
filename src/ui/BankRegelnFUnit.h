// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <vector>

#include "bank/BankRules.h"

class MasterLists;
class QPushButton;
class QTableWidget;

// "Regeln für Kontoauszüge": the assignment rules as a table the user reads and edits, in the order they
// are applied. OK checks every row and refuses, with the row named, what cannot be a rule.
class TBankRegelnForm : public QDialog {
    Q_OBJECT
public:
    TBankRegelnForm(const std::vector<BankRule>& rules, const MasterLists& lists, QWidget* parent = nullptr);

    std::vector<BankRule> rules() const { return m_rules; }

    QTableWidget* Grid = nullptr;
    QPushButton* NeuBtn = nullptr;
    QPushButton* LoeschenBtn = nullptr;
    QPushButton* HochBtn = nullptr;
    QPushButton* RunterBtn = nullptr;

    void done(int result) override;

private:
    void addRow(const BankRule& rule);
    void moveRow(int delta);

    std::vector<BankRule> m_rules;
};
