// SPDX-License-Identifier: GPL-3.0-or-later
// The data export for a tax audit (menu "Datei"): asks for a ZIP file or a folder, runs the export with a
// progress window that can stop it, and says what was written.
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <memory>

#include "audit/AuditExport.h"
#include "ui/MainUnit.h"
#include "ui/UiMessages.h"
#include "ui/WaitCursor.h"

using UiMessages::appTitle;

namespace {

// The target chosen by the user: a ZIP file, or a new folder inside the chosen one. Empty when cancelled.
QString askTarget(QWidget* parent, const QString& proposed, bool* zip) {
    QMessageBox box(QMessageBox::Question, QStringLiteral("Datenexport für die Betriebsprüfung"),
                    QStringLiteral("Die Buchungen, Konten, Umsatzsteuersätze, die Kontenzuordnung und das "
                                   "Änderungsprotokoll des Jahres werden als CSV-Dateien mit Beschreibung "
                                   "(index.xml nach dem GDPdU-Beschreibungsstandard) ausgegeben.\n\n"
                                   "Wohin sollen sie geschrieben werden?"),
                    QMessageBox::NoButton, parent);
    box.setObjectName(QStringLiteral("AuditExportChoice"));
    box.setTextFormat(Qt::PlainText);
    QPushButton* zipButton = box.addButton(QStringLiteral("In eine ZIP-Datei..."), QMessageBox::AcceptRole);
    QPushButton* folderButton = box.addButton(QStringLiteral("In einen Ordner..."), QMessageBox::AcceptRole);
    QPushButton* cancel = box.addButton(QStringLiteral("Abbrechen"), QMessageBox::RejectRole);
    box.setDefaultButton(zipButton);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() != zipButton && box.clickedButton() != folderButton) return {};
    *zip = box.clickedButton() == zipButton;

    QFileDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("AuditExportFileDialog"));
    dialog.setDirectory(QDir::homePath());
    if (*zip) {
        dialog.setWindowTitle(QStringLiteral("Datenexport als ZIP-Datei speichern"));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setNameFilter(QStringLiteral("ZIP-Dateien (*.zip)"));
        dialog.setDefaultSuffix(QStringLiteral("zip"));
        dialog.selectFile(proposed + QStringLiteral(".zip"));
    } else {
        dialog.setWindowTitle(QStringLiteral("Ordner wählen, in dem der Ordner %1 angelegt wird").arg(proposed));
        dialog.setFileMode(QFileDialog::Directory);
        dialog.setOption(QFileDialog::ShowDirsOnly, true);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    const QString chosen = dialog.selectedFiles().constFirst();
    return *zip ? chosen : QDir(chosen).filePath(proposed);
}

QString summary(const AuditExport::Result& result, const QString& target) {
    QStringList lines{
        QStringLiteral("Der Datenexport für die Betriebsprüfung steht in „%1“:").arg(QDir::toNativeSeparators(target)),
        QString()};
    for (const AuditExport::TableResult& table : result.tables)
        lines << QStringLiteral("%1 (%2): %3")
                     .arg(table.name, table.fileName,
                          table.rows == 1 ? QStringLiteral("1 Datensatz")
                                          : QStringLiteral("%1 Datensätze").arg(table.rows));
    if (!result.notes.isEmpty()) lines << QString() << QStringLiteral("Hinweise:") << result.notes;
    return lines.join(u'\n');
}

}  // namespace

void TMainForm::DatenexportfrdieBetriebsprfung1Click() {
    if (!m_tablesUsable || m_openedYear == 0)
        throw QuorvelError(
            QStringLiteral("Die Tabellen dieses Jahres sind nicht geöffnet; es gibt nichts zu exportieren."));
    postPendingEdits();
    bool zip = true;
    const QString target = askTarget(this, AuditExport::proposedName(m_openedMandant, m_openedYear), &zip);
    if (target.isEmpty()) return;

    QProgressDialog progress(QStringLiteral("Datenexport für die Betriebsprüfung wird geschrieben..."),
                             QStringLiteral("Abbrechen"), 0, 1000, this);
    progress.setObjectName(QStringLiteral("AuditExportProgress"));
    progress.setWindowTitle(appTitle());
    progress.setWindowModality(Qt::ApplicationModal);
    progress.setMinimumDuration(500);
    progress.setAutoReset(false);
    progress.setAutoClose(false);
    AuditExport::Result result;
    {
        const WaitCursor wait;
        result = AuditExport::run({m_progpath, m_openedMandant, m_openedYear, target, zip},
                                  [&progress](qint64 done, qint64 total) {
                                      progress.setValue(total > 0 ? int(done * 1000 / total) : 1000);
                                      return !progress.wasCanceled();
                                  });
    }
    progress.close();
    QMessageBox box(QMessageBox::Information, appTitle(),
                    result.cancelled ? QStringLiteral("Der Datenexport wurde abgebrochen; es wurde nichts angelegt.")
                                     : summary(result, target),
                    QMessageBox::Ok, this);
    box.setObjectName(QStringLiteral("AuditExportSummary"));
    box.setTextFormat(Qt::PlainText);
    if (!result.cancelled && !result.notes.isEmpty()) box.setIcon(QMessageBox::Warning);
    box.exec();
}
