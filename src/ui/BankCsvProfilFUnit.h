// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QDialog>

#include "exchange/BankCsvProfile.h"

class OptionStore;
class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QSpinBox;
class QTableWidget;

// "CSV-Spalten zuordnen": says for a bank's CSV file which column holds what, with the first lines of the
// file in a grid that follows every setting. The profile is saved under its name; the next file with the
// same heading line is recognised and the profile proposed.
class TBankCsvProfilForm : public QDialog {
    Q_OBJECT
public:
    TBankCsvProfilForm(const QByteArray& fileBytes, const QString& fileName, const BankCsvProfile& proposal,
                       OptionStore& store, QWidget* parent = nullptr);

    BankCsvProfile profile() const;

    QComboBox* ProfilEd = nullptr;
    QComboBox* KodierungEd = nullptr;
    QComboBox* TrennzeichenEd = nullptr;
    QComboBox* DezimalEd = nullptr;
    QSpinBox* UeberspringenEd = nullptr;
    QCheckBox* UeberschriftCheck = nullptr;
    QComboBox* DatumEd = nullptr;
    QComboBox* BetragEd = nullptr;
    QComboBox* SollEd = nullptr;
    QComboBox* HabenEd = nullptr;
    QComboBox* GegenseiteEd = nullptr;
    QComboBox* ReferenzEd = nullptr;
    QComboBox* WaehrungEd = nullptr;
    QListWidget* TextEd = nullptr;
    QTableWidget* Vorschau = nullptr;
    QLabel* VorschauLabel = nullptr;

    void done(int result) override;

private:
    void showProfile(const BankCsvProfile& p);
    void updatePreview();
    void fillColumnChoices();

    QByteArray m_bytes;
    OptionStore& m_store;
    bool m_updating = false;
};
