// SPDX-License-Identifier: GPL-3.0-or-later
// The export of the booking batch for the tax adviser (DATEV format).
#include "storage/StorageError.h"
#include "ui/DatevFUnit.h"
#include "ui/MainUnit.h"

void TMainForm::ExportfrdenSteuerberaterDATEV1Click() {
    if (!m_tables.Dbf1.Active())
        throw QuorvelError(
            QStringLiteral("Die Buchungen dieses Jahres sind nicht geöffnet. Bitte wählen Sie ein "
                           "Buchungsjahr, dessen Tabellen geöffnet werden können."));
    postPendingEdits();
    TDatevForm dialog(m_tables, m_openedMandant, m_openedYear, this);
    runModal(&dialog);
}
