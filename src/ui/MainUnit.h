#pragma once

#include <QMainWindow>

#include "startup/TableSet.h"

class QAction;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;

// The main window: entry panel, optional rows, journal bar and journal grid. It owns the open table
// set and the run-time state (data folder, client, year, period, journal text filter); the dialogs
// read and write its controls and tables as the entry panel does.
class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    explicit TMainForm(QWidget* parent = nullptr);
    ~TMainForm() override;

    TableSet& tables() { return m_tables; }
    const QString& progpath() const { return m_progpath; }
    int mandantnr() const { return m_mandantnr; }
    QString GetMandantPrefix() const;

    // Entry-panel controls other windows fill (the recurring bookings take-over).
    QRadioButton* RadioButton1 = nullptr;  // "Einnahme"
    QRadioButton* RadioButton2 = nullptr;  // "Ausgabe"
    QLineEdit* BelegEd = nullptr;
    QComboBox* BuchTextEd = nullptr;       // editable drop-down
    QDoubleSpinBox* BruttoEd = nullptr;
    QDoubleSpinBox* MwstZahlEd = nullptr;
    QSpinBox* KontoNrEd = nullptr;
    QComboBox* MwStEd = nullptr;
    QComboBox* EAKontoEd = nullptr;

    void KontoNrEdChange();
    void MwstZahlEdChange();
    void FillCombos();

private:
    TableSet m_tables;
    QString m_progpath;
    int m_mandantnr = 1;
};
