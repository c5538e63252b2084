#pragma once

#include <QDialog>
#include <memory>

#include "reports/data/ReportData.h"
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

    // What the report command hands over; read while the window is shown.
    ReportData report;
    // Shows the report modally; returns the dialog's result.
    int showReport();

private:
    std::unique_ptr<FormStorage> m_storage;
};
