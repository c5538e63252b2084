// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <array>

class QCheckBox;
class QLabel;
class QPushButton;
class QSpinBox;

// The dialog of the year transfer: which master tables to carry from which year into which. The check
// boxes keep their state between openings; the years are preset by the command at every opening.
class TEinstellUebertragForm : public QDialog {
    Q_OBJECT
public:
    explicit TEinstellUebertragForm(QWidget* parent = nullptr);

    QCheckBox* CheckBox1 = nullptr;  // "Einnahmekonten"
    QCheckBox* CheckBox2 = nullptr;  // "Ausgabekonten"
    QCheckBox* CheckBox3 = nullptr;  // "MwSt-Sätze"
    QCheckBox* CheckBox4 = nullptr;  // "Buchungstexte"
    QCheckBox* CheckBox5 = nullptr;  // "Dauerbuchungen"
    QCheckBox* CheckBox6 = nullptr;  // "Sammelkonten"
    QCheckBox* CheckBox7 = nullptr;  // "Kostenkonten"
    QCheckBox* KontenzuordnungCheck = nullptr;  // "Kontenzuordnung"
    QSpinBox* AltesJahrEd = nullptr;
    QSpinBox* NeuesJahrEd = nullptr;
    QPushButton* OKBtn = nullptr;

    // The ticks of CheckBox1 .. CheckBox7.
    std::array<bool, 7> chosen() const;

protected:
    void showEvent(QShowEvent* event) override;
};
