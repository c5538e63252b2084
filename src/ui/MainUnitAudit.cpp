// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's part of the change log: it owns the log of the open year, which watches the bookings
// table, and runs "Protokoll prüfen" and "Protokoll anzeigen" of the menu "Admin".
#include <QFileInfo>
#include <QMessageBox>
#include <QProgressDialog>
#include <QSpinBox>

#include "audit/ChangeLog.h"
#include "audit/LogCheck.h"
#include "storage/StorageError.h"
#include "ui/MainUnit.h"
#include "ui/ProtokollFUnit.h"

namespace {

QString noLogText() {
    return QStringLiteral("Für dieses Buchungsjahr gibt es noch kein Änderungsprotokoll.");
}

}  // namespace

QString TMainForm::openChangeLog() {
    closeChangeLog();
    if (!m_tables.Dbf1.Active()) return QString();
    // The names the table set was just opened under (m_opened... follow once the opening is done).
    m_changeLog = std::make_unique<audit::ChangeLog>(m_progpath, m_mandantnr, JahrEd->value());
    return m_changeLog->attach(m_tables.Dbf1);
}

void TMainForm::closeChangeLog() {
    if (auto* form = findChild<TProtokollForm*>(QStringLiteral("ProtokollForm"))) form->unload();
    m_changeLog.reset();
}

audit::LogNotes* TMainForm::logNotes() {
    if (m_logNotes) return m_logNotes;
    return m_changeLog && m_tables.Dbf1.Active() ? m_changeLog.get() : nullptr;
}

void TMainForm::Protokollprfen1Click() {
    if (!m_changeLog || !m_tables.Dbf1.Active())
        throw QuorvelError(QStringLiteral("Es ist kein Buchungsjahr geöffnet."));
    postPendingEdits();
    const QString logFile = m_changeLog->fileName();
    if (!QFileInfo::exists(logFile)) throw QuorvelError(noLogText());
    QProgressDialog progress(QStringLiteral("Das Änderungsprotokoll wird geprüft..."), QStringLiteral("Abbrechen"), 0,
                             1000, this);
    progress.setObjectName(QStringLiteral("ProtokollPruefenProgress"));
    progress.setWindowTitle(windowTitle());
    progress.setWindowModality(Qt::ApplicationModal);
    progress.setMinimumDuration(0);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    progress.show();
    const audit::LogCheckResult result =
        audit::LogCheck::run(logFile, m_tables.Dbf1.absoluteFileName(), [&progress](qint64 done, qint64 total) {
            progress.setValue(total > 0 ? int(done * 1000 / total) : 1000);
            return !progress.wasCanceled();
        });
    progress.close();
    QMessageBox box(result.ok() || result.cancelled ? QMessageBox::Information : QMessageBox::Warning,
                    QStringLiteral("Protokoll prüfen"), result.summary(), QMessageBox::Ok, this);
    box.setObjectName(QStringLiteral("ProtokollPruefenErgebnis"));
    box.setTextFormat(Qt::PlainText);
    box.exec();
    activateWindow();
}

void TMainForm::Protokollanzeigen1Click() {
    if (!m_changeLog || !m_tables.Dbf1.Active())
        throw QuorvelError(QStringLiteral("Es ist kein Buchungsjahr geöffnet."));
    postPendingEdits();
    if (!QFileInfo::exists(m_changeLog->fileName())) throw QuorvelError(noLogText());
    auto* form = findChild<TProtokollForm*>(QStringLiteral("ProtokollForm"));
    if (!form) form = new TProtokollForm(this);
    form->load(m_changeLog->fileName(), m_tables.Dbf1.absoluteFileName(), m_openedYear);
    runModal(form);
    form->unload();
}
