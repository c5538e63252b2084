// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <memory>

#include "ui/FormStorage.h"

class OptionStore;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QToolButton;

// "Admin Menü": the choice of the data folder. The choice is a stored option and takes effect at the
// next start; the main window restores it before this dialog is ever shown and fills Edit3.
class TAdminForm : public QDialog {
    Q_OBJECT
public:
    explicit TAdminForm(QWidget* parent = nullptr, OptionStore* store = nullptr);
    ~TAdminForm() override;

    FormStorage& storage() { return *m_storage; }

    QRadioButton* UserFolderCheck = nullptr;
    QLineEdit* Edit3 = nullptr;  // the per-user folder, read-only
    QRadioButton* ProgramFolderCheck = nullptr;
    QRadioButton* UseSpecialFolderCheck = nullptr;
    QLineEdit* DirectoryEdit1 = nullptr;
    QToolButton* DirectoryBtn = nullptr;  // "..." opens the folder picker
    QPushButton* OKBtn = nullptr;

private:
    void DirectoryBtnClick();

    std::unique_ptr<FormStorage> m_storage;
};
