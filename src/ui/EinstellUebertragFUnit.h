#pragma once

#include <QDialog>

class QPushButton;

// The dialog of the year transfer of the master data; its controls are added with the transfer.
class TEinstellUebertragForm : public QDialog {
    Q_OBJECT
public:
    explicit TEinstellUebertragForm(QWidget* parent = nullptr);

    QPushButton* OKBtn = nullptr;
};
