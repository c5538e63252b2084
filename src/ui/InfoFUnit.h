// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QPushButton;

// "Info": what the program is.
class TInfoForm : public QDialog {
    Q_OBJECT
public:
    explicit TInfoForm(QWidget* parent = nullptr);

    QPushButton* OKBtn = nullptr;
};
