#pragma once

#include <QDialog>
#include <memory>

#include "ui/FormStorage.h"

class OptionStore;
class QCheckBox;
class QPushButton;

// The report window. This holds its frame: the "Zurück" button, the stored check box
// "Vergrößern auf Seitenbreite" and the stored placement; the preview and printing build on it.
class TDruckeErgebnisForm : public QDialog {
    Q_OBJECT
public:
    explicit TDruckeErgebnisForm(QWidget* parent = nullptr, OptionStore* store = nullptr);
    ~TDruckeErgebnisForm() override;

    FormStorage& storage() { return *m_storage; }

    QPushButton* BackBtn = nullptr;
    QCheckBox* ResizeToPageWidthCheck = nullptr;

private:
    std::unique_ptr<FormStorage> m_storage;
};
