// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QString>
#include <vector>

#include "bank/BankPosting.h"
#include "bank/BankReview.h"
#include "bank/BankRules.h"
#include "exchange/BankMovement.h"

class BankLedger;
class KontoauszugModel;
class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTableView;
class TMainForm;

// "Kontoauszug übernehmen...": one row per bank movement with the booking proposed for it. Every cell of
// the booking is edited with the keyboard (F2 or typing opens the editor, the lists are those of the entry
// panel, space ticks); rows already booked, of another year or another currency are greyed. "Buchen" posts
// the ticked rows through the entry panel's posting, with progress and cancel, and says what was booked.
// "Regel aus dieser Zeile" stores the assignment of the current row as a rule for the movements to come.
class TKontoauszugForm : public QDialog {
    Q_OBJECT
public:
    struct Input {
        Statement statement;
        std::vector<ReviewRow> rows;
        MasterLists lists;
        std::vector<BankRule> rules;
        QString rulesFile;
        int year = 0;
        qint64 firstReceipt = 1;
    };

    TKontoauszugForm(TMainForm& mainForm, BankLedger& ledger, Input input, QWidget* parent = nullptr);
    ~TKontoauszugForm() override;

    QLabel* InfoLabel = nullptr;
    QPlainTextEdit* ProblemeMemo = nullptr;
    QTableView* Grid = nullptr;
    QCheckBox* BankrefCheck = nullptr;  // "Bankreferenz als Beleg"
    QPushButton* RegelBtn = nullptr;    // "Regel aus dieser Zeile"
    QPushButton* RegelnBtn = nullptr;   // "Regeln..."
    QPushButton* BuchenBtn = nullptr;
    QPushButton* SchliessenBtn = nullptr;

    KontoauszugModel* model() const { return m_model; }
    const std::vector<BankRule>& rules() const { return m_rules; }
    const BankPostingResult& lastResult() const { return m_result; }

    void BuchenBtnClick();
    void RegelBtnClick();
    void RegelnBtnClick();
    void BankrefCheckClick();

    // Shows the summary after "Buchen" in a message box (off in tests that read lastResult()).
    bool showSummary = true;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void commitEditor();
    void refocus();
    void updateInfo();
    void applyRules();

    TMainForm& m_main;
    BankLedger& m_ledger;
    Statement m_statement;
    std::vector<BankRule> m_rules;
    QString m_rulesFile;
    KontoauszugModel* m_model = nullptr;
    BankPostingResult m_result;
};
