// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <memory>

#include "ui/AmountField.h"

class DBGrid;
class DBNavigator;
class DbfTable;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class TMainForm;
class NumberFieldLink;
class TableModel;

// "Dauerbuchungen": the recurring booking templates of the open client and year. The grid edits the
// main window's template table while the window is shown; "Hinzufügen" adds a template from the entry
// form; "Markierte Buchung übernehmen..." copies the template under the cursor into the main window's
// entry panel and closes. The lists read the main window's master tables: entry i is row i.
//
// Closing posts what is still pending in the grid; a post that fails keeps the window open.
class TDauerForm : public QDialog {
    Q_OBJECT
public:
    explicit TDauerForm(TMainForm& mainForm, QWidget* parent = nullptr);
    ~TDauerForm() override;

    void bind(DbfTable* dauer);
    void unbind();

    // Rebuilds MwStEd, BuchTextEd and EAKontoEd from the master tables (errors are shown).
    void FillCombos();
    void KontoNrEdChange();
    void MwstZahlEdChange();
    void BuchenBtnClick();  // "Hinzufügen"
    void BitBtn2Click();    // "Markierte Buchung übernehmen..."

    void done(int result) override;

    QPushButton* BitBtn1 = nullptr;  // "OK"
    QPushButton* BitBtn2 = nullptr;  // "Markierte Buchung übernehmen..."
    QRadioButton* RadioButton1 = nullptr;
    QRadioButton* RadioButton2 = nullptr;
    QLineEdit* BelegEd = nullptr;
    QComboBox* BuchTextEd = nullptr;
    AmountField* BruttoEd = nullptr;
    QComboBox* MwStEd = nullptr;
    AmountField* MwstZahlEd = nullptr;
    QComboBox* EAKontoEd = nullptr;
    QSpinBox* KontoNrEd = nullptr;
    QPushButton* BuchenBtn = nullptr;
    DBNavigator* DBNavigator1 = nullptr;
    DBGrid* DBGrid1 = nullptr;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    DbfTable& accountTable() const;  // eaccounts with "Einnahme", else aaccounts
    void fillCombosUnguarded();

    TMainForm& m_main;
    std::unique_ptr<TableModel> m_model;
    NumberFieldLink* m_kontoLink = nullptr;
    NumberFieldLink* m_rateLink = nullptr;
};
