// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QComboBox;
class QPushButton;

// "Konto auswählen": the account choice of the single-account reports. It has no logic of its own;
// the report handlers fill EAKontoEd and read its selection.
class TKontoAuswaehlenForm : public QDialog {
    Q_OBJECT
public:
    explicit TKontoAuswaehlenForm(QWidget* parent = nullptr);

    QComboBox* EAKontoEd = nullptr;
    QPushButton* OKBtn = nullptr;
};
