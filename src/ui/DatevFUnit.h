// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <functional>
#include <memory>

#include "datev/DatevKonten.h"

class DateField;
class FormStorage;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;
class TableSet;

// "Export für den Steuerberater (DATEV)...": the chart (SKR 03 or SKR 04), the adviser's numbers and the
// period of the booking batch, and the chart account of every income, expense and collective account. The
// assignment is kept in the year's DATEV accounts table: it is saved when exporting and when the window
// closes; a chart account the chart cannot take is refused and the window stays open. The export runs with
// a progress window and ends with what was exported and what was left out.
class TDatevForm : public QDialog {
    Q_OBJECT
public:
    TDatevForm(TableSet& tables, int mandantnr, int year, QWidget* parent = nullptr);
    ~TDatevForm() override;

    void done(int result) override;
    void ExportBtnClick();

    // Asks for the file to write; returns empty when the user cancels. Tests put their own here.
    std::function<QString(const QString& proposal)> askFileName;
    // Shows the result (summary, details); tests put their own here.
    std::function<void(const QString& summary, const QString& details)> showResult;

    QComboBox* KontenrahmenEd = nullptr;
    QLineEdit* BeraterEd = nullptr;
    QLineEdit* MandantEd = nullptr;
    QLineEdit* BezeichnungEd = nullptr;
    QLineEdit* DiktatEd = nullptr;
    DateField* VonEd = nullptr;
    DateField* BisEd = nullptr;
    QTableWidget* KontenGrid = nullptr;
    QLabel* HinweisLabel = nullptr;
    QPushButton* ExportBtn = nullptr;
    QPushButton* CloseBtn = nullptr;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void fillGrid();
    bool takeGrid();    // the grid's chart accounts into m_konten; false (message shown) on a refused one
    bool saveKonten();  // false (message shown) when it could not be saved
    QString chartCode() const;

    TableSet& m_tables;
    int m_mandantnr;
    int m_year;
    DatevKonten m_konten;
    QString m_gridChart;  // the chart the grid shows
    bool m_changed = false;
    std::unique_ptr<FormStorage> m_storage;
};
