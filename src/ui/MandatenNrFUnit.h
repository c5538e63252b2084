// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QPushButton;
class QSpinBox;

// "Mandantennummer auswählen": a free client number. It keeps the last number for the next opening.
class TMandantenNrForm : public QDialog {
    Q_OBJECT
public:
    explicit TMandantenNrForm(QWidget* parent = nullptr);

    int number() const;  // the chosen client number

private:
    QSpinBox* MandantEd = nullptr;
    QPushButton* OKBtn = nullptr;
};
