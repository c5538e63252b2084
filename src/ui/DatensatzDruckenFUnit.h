#pragma once

#include <QDialog>

class QPushButton;

// The window of the record printing; its text area and print button are added with that feature.
class TDruckeForm : public QDialog {
    Q_OBJECT
public:
    explicit TDruckeForm(QWidget* parent = nullptr);

    QPushButton* BackBtn = nullptr;
};
