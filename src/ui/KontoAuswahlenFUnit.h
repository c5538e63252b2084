// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QComboBox;
class QPushButton;

// "Konto auswählen": the account choice of the single-account reports. It has no logic of its own;
// the report handlers fill the list and read its selection.
class TKontoAuswaehlenForm : public QDialog {
    Q_OBJECT
public:
    explicit TKontoAuswaehlenForm(QWidget* parent = nullptr);

    // The accounts offered, the first one selected (none when the list is empty).
    void setAccounts(const QStringList& entries);
    int chosenIndex() const;  // -1 when nothing is selected

private:
    QComboBox* EAKontoEd = nullptr;
    QPushButton* OKBtn = nullptr;
};
