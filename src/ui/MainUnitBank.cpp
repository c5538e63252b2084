// SPDX-License-Identifier: GPL-3.0-or-later
#include <QAction>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QSpinBox>

#include "bank/BankLedger.h"
#include "bank/BankReview.h"
#include "bank/BankRules.h"
#include "bank/DuplicateCheck.h"
#include "exchange/BankCsvReader.h"
#include "exchange/StatementFiles.h"
#include "journal/DetachedView.h"
#include "journal/ReceiptProposal.h"
#include "startup/OptionStore.h"
#include "storage/StorageError.h"
#include "ui/BankCsvProfilFUnit.h"
#include "ui/KontoauszugFUnit.h"
#include "ui/MainUnit.h"
#include "ui/UiMessages.h"
#include "ui/WaitCursor.h"

// Bank statements: read, reviewed in their window, posted.

void TMainForm::Kontoauszugbernehmen1Click() {
    if (!m_tables.Dbf1.Active())
        throw QuorvelError(
            QStringLiteral("Die Buchungen dieses Jahres sind nicht geöffnet. Bitte wählen Sie ein "
                           "Buchungsjahr, dessen Tabellen geöffnet werden können."));
    postPendingEdits();
    QFileDialog dialog(this, QStringLiteral("Kontoauszug übernehmen"));
    dialog.setObjectName(QStringLiteral("KontoauszugFileDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setNameFilter(StatementFiles::dialogFilter);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;

    const int year = JahrEd->value();
    TKontoauszugForm::Input input;
    input.year = year;
    OptionStore store;
    for (const QString& fileName : dialog.selectedFiles()) {
        if (StatementFiles::kindOf(fileName) != StatementFiles::Kind::Csv) {
            const WaitCursor wait;
            StatementFiles::readCamtOrZip(fileName, input.statement);
            continue;
        }
        QFile file(fileName);
        if (!file.open(QIODevice::ReadOnly)) {
            const int index = input.statement.addFile(QFileInfo(fileName).fileName());
            input.statement.addProblem(index, {}, {},
                                       QStringLiteral("Die Datei lässt sich nicht öffnen: %1").arg(file.errorString()));
            continue;
        }
        const QByteArray bytes = file.readAll();
        const std::optional<BankCsvProfile> known = BankCsvProfiles::recognise(store, bytes);
        TBankCsvProfilForm profileForm(bytes, QFileInfo(fileName).fileName(),
                                       known ? *known : BankCsvReader::guess(bytes), store, this);
        if (profileForm.exec() != QDialog::Accepted) continue;  // this file is left out
        BankCsvReader::read(bytes, QFileInfo(fileName).fileName(), profileForm.profile(), input.statement);
    }
    if (input.statement.files.empty()) return;

    BankLedger ledger;
    ledger.open(m_progpath, m_mandantnr, year);
    input.rulesFile = BankRules::fileName(m_progpath, m_mandantnr, year);
    input.rules = BankRules::load(input.rulesFile);
    std::vector<DuplicateCheck::Verdict> verdicts;
    {
        const WaitCursor wait;
        const DetachedView detached = detachJournalViews();
        // The duplicate check looks at the whole year, whatever the journal filter shows; the receipt
        // proposal at what the journal shows, as in the entry panel.
        const bool filtered = m_tables.Dbf1.Filtered();
        m_tables.Dbf1.setFiltered(false);
        try {
            verdicts = DuplicateCheck::check(input.statement, ledger.table(), m_tables.Dbf1);
        } catch (...) {
            m_tables.Dbf1.setFiltered(filtered);
            throw;
        }
        m_tables.Dbf1.setFiltered(filtered);
        input.firstReceipt = ::FindMaxBel(m_tables.Dbf1);
        input.lists = MasterLists(m_tables);
        input.rows = BankReview::propose(input.statement, verdicts, input.rules, input.lists, year, input.firstReceipt);
    }
    if (input.rows.empty()) {
        QStringList problems;
        for (const StatementProblem& p : input.statement.problems) problems << p.text();
        UiMessages::showWarning(this,
                                QStringLiteral("Die Datei enthält keine Umsätze, die gelesen werden konnten.\n\n") +
                                    problems.mid(0, 15).join(u'\n'));
        return;
    }
    TKontoauszugForm form(*this, ledger, std::move(input), this);
    form.exec();
}
