// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class QSpinBox;
class QTableView;
class DateField;
namespace audit {
class LogTableModel;
}

// "Protokoll anzeigen": the change log of the open year, filtered by record and by date. Reads the log
// file on demand (audit::LogTableModel); the window only reads its controls and shows the rows.
class TProtokollForm : public QDialog {
    Q_OBJECT
public:
    explicit TProtokollForm(QWidget* parent = nullptr);
    ~TProtokollForm() override;

    // Shows the log of `logFile` (throws German errors), every entry, the date fields in `year`.
    void load(const QString& logFile, const QString& bookingsFile, int year);
    void unload();  // lets go of the file

    QSpinBox* SatzEd = nullptr;  // 0: every record
    DateField* VonEd = nullptr;
    DateField* BisEd = nullptr;
    QPushButton* FilterBtn = nullptr;
    QPushButton* AlleBtn = nullptr;
    QTableView* Grid = nullptr;
    QLabel* AnzahlLabel = nullptr;

    void FilterBtnClick();
    void AlleBtnClick();
    audit::LogTableModel* model() const { return m_model; }

private:
    void showCount();
    audit::LogTableModel* m_model = nullptr;
};
