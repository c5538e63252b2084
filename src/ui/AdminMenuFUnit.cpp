// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/AdminMenuFUnit.h"

#include <QButtonGroup>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

TAdminForm::TAdminForm(QWidget* parent, OptionStore* store) : QDialog(parent) {
    setObjectName(QStringLiteral("TAdminForm"));
    setWindowTitle(QStringLiteral("Admin Menü"));
    setModal(true);

    UserFolderCheck = new QRadioButton(QStringLiteral("Alle Datenbanken in diesem Verzeichnis ablegen:"), this);
    UserFolderCheck->setObjectName(QStringLiteral("UserFolderCheck"));
    UserFolderCheck->setChecked(true);
    Edit3 = new QLineEdit(this);
    Edit3->setObjectName(QStringLiteral("Edit3"));
    Edit3->setReadOnly(true);
    Edit3->setAccessibleName(UserFolderCheck->text());

    ProgramFolderCheck = new QRadioButton(QStringLiteral("Alle Datenbanken im Programmverzeichnis ablegen"), this);
    ProgramFolderCheck->setObjectName(QStringLiteral("ProgramFolderCheck"));

    UseSpecialFolderCheck = new QRadioButton(QStringLiteral("Datenbanken in folgendem Verzeichnis ablegen:"), this);
    UseSpecialFolderCheck->setObjectName(QStringLiteral("UseSpecialFolderCheck"));
    DirectoryEdit1 = new QLineEdit(this);
    DirectoryEdit1->setObjectName(QStringLiteral("DirectoryEdit1"));
    DirectoryEdit1->setAccessibleName(UseSpecialFolderCheck->text());
    DirectoryBtn = new QToolButton(this);
    DirectoryBtn->setObjectName(QStringLiteral("DirectoryBtn"));
    DirectoryBtn->setText(QStringLiteral("..."));
    DirectoryBtn->setAccessibleName(QStringLiteral("Verzeichnis auswählen"));
    DirectoryBtn->setToolTip(QStringLiteral("Verzeichnis auswählen"));

    auto* group = new QButtonGroup(this);
    group->addButton(UserFolderCheck);
    group->addButton(ProgramFolderCheck);
    group->addButton(UseSpecialFolderCheck);

    auto* note = new QLabel(QStringLiteral("Das neue Verzeichnis wird nach dem Programmneustart aktiviert."), this);
    note->setWordWrap(true);

    OKBtn = new QPushButton(QStringLiteral("OK"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setDefault(true);

    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(DirectoryEdit1, 1);
    folderRow->addWidget(DirectoryBtn);
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addStretch(1);
    buttonRow->addWidget(OKBtn);
    buttonRow->addStretch(1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(UserFolderCheck);
    layout->addWidget(Edit3);
    layout->addWidget(ProgramFolderCheck);
    layout->addSpacing(8);
    layout->addWidget(UseSpecialFolderCheck);
    layout->addLayout(folderRow);
    layout->addWidget(note);
    layout->addStretch(1);
    layout->addLayout(buttonRow);
    resize(480, 260);

    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(DirectoryBtn, &QToolButton::clicked, this, &TAdminForm::DirectoryBtnClick);

    // Restored in this order so that, should the store hold more than one True, the per-user folder wins.
    m_storage = std::make_unique<FormStorage>(this, QStringLiteral("TAdminForm"), true, store);
    m_storage->addCheck(ProgramFolderCheck, false);
    m_storage->addCheck(UseSpecialFolderCheck, false);
    m_storage->addText(DirectoryEdit1, QString());
    m_storage->addCheck(UserFolderCheck, true);
}

TAdminForm::~TAdminForm() = default;

void TAdminForm::DirectoryBtnClick() {
    const QString start = DirectoryEdit1->text().isEmpty() ? QDir::homePath() : DirectoryEdit1->text();
    const QString folder = QFileDialog::getExistingDirectory(this, QStringLiteral("Verzeichnis auswählen"), start);
    if (folder.isEmpty()) return;
    DirectoryEdit1->setText(QDir::toNativeSeparators(folder));
}
