// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <memory>

#include "ui/FormStorage.h"

class OptionStore;
class QLineEdit;
class QPushButton;

// "Währung": the currency text shown after amounts. Only the placement is stored; the text is "€"
// at every start.
class TWaehrungForm : public QDialog {
    Q_OBJECT
public:
    explicit TWaehrungForm(QWidget* parent = nullptr, OptionStore* store = nullptr);
    ~TWaehrungForm() override;

    QString currency() const;
    FormStorage& storage() { return *m_storage; }

private:
    QLineEdit* Edit1 = nullptr;
    QPushButton* OKBtn = nullptr;

private:
    std::unique_ptr<FormStorage> m_storage;
};
