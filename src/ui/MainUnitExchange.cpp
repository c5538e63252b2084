// SPDX-License-Identifier: GPL-3.0-or-later
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QCheckBox>
#include <QDate>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrinter>
#include <QProgressDialog>
#include <QPushButton>
#include <QSpinBox>
#include <QTextEdit>
#include <functional>
#include <memory>
#include <optional>

#include "exchange/CsvExport.h"
#include "exchange/CsvImport.h"
#include "exchange/RecordText.h"
#include "exchange/YearTransfer.h"
#include "journal/DetachedView.h"
#include "journal/JournalModel.h"
#include "storage/StorageError.h"
#include "ui/AppPrinter.h"
#include "ui/DatensatzDruckenFUnit.h"
#include "ui/EinstellUebertragFUnit.h"
#include "ui/MainUnit.h"
#include "ui/ProgressWindow.h"
#include "ui/UiMessages.h"
#include "ui/WaitCursor.h"

// CSV export and import, the year transfer of the master data and the printing of booking records.

namespace {

using UiMessages::appTitle;

const QString kCsvFilter = QStringLiteral("CSV Dateien (*.csv)");
constexpr qsizetype kProgressFromBytes = 256 * 1024;  // about 3,000 lines

QString askCsvFile(QWidget* parent, const QString& caption, QFileDialog::AcceptMode mode) {
    QFileDialog dialog(parent, caption);
    dialog.setObjectName(QStringLiteral("CsvFileDialog"));
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setNameFilter(kCsvFilter);
    dialog.setDefaultSuffix(QStringLiteral("csv"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().constFirst();
}

// Ja, Nein, Abbrechen; true for Ja.
bool askYesNoCancel(QWidget* parent, const QString& caption, const QString& text) {
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::NoButton, parent);
    box.setTextFormat(Qt::PlainText);
    QPushButton* yes = box.addButton(QStringLiteral("Ja"), QMessageBox::YesRole);
    box.addButton(QStringLiteral("Nein"), QMessageBox::NoRole);
    QPushButton* cancel = box.addButton(QStringLiteral("Abbrechen"), QMessageBox::RejectRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(cancel);
    box.exec();
    return box.clickedButton() == yes;
}

// A message box whose text is shown as written: file names and values from files never turn into markup.
void plainBox(QWidget* parent, QMessageBox::Icon icon, const QString& text) {
    QMessageBox box(icon, appTitle(), text, QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

CsvDuplicateChoice askDuplicates(QWidget* parent, int duplicates) {
    const QString text =
        duplicates == 1
            ? QStringLiteral("1 Zeile der Datei gleicht einer Buchung, die schon im Jahr steht oder weiter oben in "
                             "der Datei vorkommt (Datum, Art, Beleg, Text und Brutto gleich).\n\nSoll sie trotzdem "
                             "importiert werden?")
            : QStringLiteral("%1 Zeilen der Datei gleichen einer Buchung, die schon im Jahr steht oder weiter oben in "
                             "der Datei vorkommt (Datum, Art, Beleg, Text und Brutto gleich).\n\nSollen sie trotzdem "
                             "importiert werden?")
                  .arg(QString::number(duplicates));
    QMessageBox box(QMessageBox::Question, QStringLiteral("Doppelte Buchungen?"), text, QMessageBox::NoButton, parent);
    box.setObjectName(QStringLiteral("DuplicateQuestion"));
    box.setTextFormat(Qt::PlainText);
    QPushButton* importToo = box.addButton(QStringLiteral("Auch importieren"), QMessageBox::AcceptRole);
    QPushButton* skip = box.addButton(QStringLiteral("Überspringen"), QMessageBox::RejectRole);
    QPushButton* cancel = box.addButton(QStringLiteral("Import abbrechen"), QMessageBox::DestructiveRole);
    box.setDefaultButton(skip);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == importToo) return CsvDuplicateChoice::ImportToo;
    if (box.clickedButton() == skip) return CsvDuplicateChoice::Skip;
    return CsvDuplicateChoice::Cancel;
}

void requireOpen(const DbfTable& bookings) {
    if (!bookings.Active())
        throw QuorvelError(
            QStringLiteral("Die Buchungen dieses Jahres sind nicht geöffnet. Bitte wählen Sie ein "
                           "Buchungsjahr, dessen Tabellen geöffnet werden können."));
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// CSV

void TMainForm::ExportierenalsCSV1Click() {
    requireOpen(m_tables.Dbf1);
    postPendingEdits();
    const QString fileName =
        askCsvFile(this,
                   QStringLiteral("Exportieren als CSV Datei (die Buchungen, die das Journal zeigt, mit "
                                  "seinem Filter und seiner Sortierung)"),
                   QFileDialog::AcceptSave);
    if (fileName.isEmpty()) return;
    std::optional<int> count;
    {
        const WaitCursor wait;
        const DetachedView detached = detachJournalViews();
        const auto progress = m_tables.Dbf1.RecordCount() > ProgressWindow::kFromRows
                                  ? ProgressWindow::make(this, QStringLiteral("Buchungen werden exportiert..."))
                                  : nullptr;
        count = CsvExport::writeFile(m_tables.Dbf1, fileName, ProgressWindow::step(progress.get()));
    }
    if (!count) {
        plainBox(this, QMessageBox::Information,
                 QStringLiteral("Der Export wurde abgebrochen. Die Datei „%1“ ist unverändert geblieben.")
                     .arg(QDir::toNativeSeparators(fileName)));
        return;
    }
    plainBox(this, QMessageBox::Information,
             *count == 1 ? QStringLiteral("1 Buchung wurde nach %1 exportiert.").arg(QDir::toNativeSeparators(fileName))
                         : QStringLiteral("%1 Buchungen wurden nach %2 exportiert.")
                               .arg(QString::number(*count), QDir::toNativeSeparators(fileName)));
}

void TMainForm::ImportierenausCSVDatei1Click() {
    requireOpen(m_tables.Dbf1);
    const QString fileName = askCsvFile(this, QStringLiteral("Importieren aus CSV Datei"), QFileDialog::AcceptOpen);
    if (fileName.isEmpty()) return;
    QByteArray bytes;
    try {
        bytes = CsvImport::readFile(fileName);
    } catch (const QuorvelError& e) {
        plainBox(this, QMessageBox::Critical, e.message());
        return;
    }
    postPendingEdits();

    CsvImport csvImport(m_tables.Dbf1, JahrEd->value());
    csvImport.setSkipHeading(ErsteZeilederCSVDateimitberschriftenbeimImportberlesen1->isChecked());
    // Long files get a progress window that can stop the import; it is modal from the start, so that no
    // other command runs while the bookings are being written.
    const auto progress =
        bytes.size() > kProgressFromBytes ? ProgressWindow::make(this, QStringLiteral("Buchungen werden importiert...")) : nullptr;
    csvImport.setProgress(ProgressWindow::step(progress.get()));
    csvImport.setDuplicateQuestion([this, bar = progress.get()](int duplicates) {
        if (bar) bar->hide();
        const CsvDuplicateChoice choice = askDuplicates(this, duplicates);
        if (bar) bar->show();
        return choice;
    });
    CsvImportResult result;
    {
        const WaitCursor wait;
        // Neither the grid nor the VAT summary follows every record: the progress window lets events through,
        // and a summary recomputed at each of them would walk the growing table again and again.
        const DetachedView detached = detachJournalViews();
        result = csvImport.importBytes(bytes);
    }
    if (progress) progress->close();
    calcMwst();
    FindMaxBel();
    QMessageBox box(result.clean() ? QMessageBox::Information : QMessageBox::Warning, appTitle(), result.summary(),
                    QMessageBox::Ok, this);
    box.setTextFormat(Qt::PlainText);
    box.setObjectName(QStringLiteral("ImportSummary"));
    box.exec();
}

void TMainForm::ErsteZeilederCSVDateimitberschriftenbeimImportberlesen1Click() {
    // The checkable command has inverted its mark already; the form storage keeps it.
}

// ---------------------------------------------------------------------------------------------
// Year transfer

void TMainForm::EinstellungeninneuesJahrbertragen1Click() {
    TEinstellUebertragForm* dialog = m_dialogs.EinstellUebertragForm;
    const int today = QDate::currentDate().year();
    dialog->AltesJahrEd->setValue(today - 1);
    dialog->NeuesJahrEd->setValue(today);
    if (runModal(dialog) != QDialog::Accepted) return;
    const int oldYear = dialog->AltesJahrEd->value();
    const int newYear = dialog->NeuesJahrEd->value();
    if (oldYear == newYear) {
        QMessageBox box(QMessageBox::Critical, QStringLiteral("Fehler"), YearTransfer::equalYearsText, QMessageBox::Ok,
                        this);
        box.exec();
        return;
    }
    if (!askYesNoCancel(this, QStringLiteral("Einstellungen übernehmen?"),
                        YearTransfer::questionText(oldYear, newYear)))
        return;

    postPendingEdits();  // a change that cannot be written keeps the tables open and nothing is copied
    std::vector<YearTransfer::CopyFailure> failures;
    {
        const WaitCursor wait;
        m_tablesUsable = false;
        YearTransfer::closeTables(m_tables);
        failures = YearTransfer::copyTables(m_progpath, m_mandantnr, oldYear, newYear, dialog->chosen());
        if (dialog->KontenzuordnungCheck->isChecked()) {
            m_tables.Kontenzuordnung.Close();
            YearTransfer::CopyFailure failure;
            if (!YearTransfer::copyAssignments(m_progpath, m_mandantnr, oldYear, newYear, &failure))
                failures.push_back(failure);
        }
    }
    if (!failures.empty()) {
        QMessageBox box(QMessageBox::Information, appTitle(), YearTransfer::failuresText(failures), QMessageBox::Ok,
                        this);
        box.setObjectName(QStringLiteral("TransferFailures"));
        box.setTextFormat(Qt::PlainText);
        box.setWindowModality(Qt::ApplicationModal);
        box.exec();
    }
    openTableSet();
    calcMwst();
}

// ---------------------------------------------------------------------------------------------
// Record printing

void TMainForm::Druckereinrichten1Click() {
    setUpPrinter(this);
}

void TMainForm::Datensatzdrucken1Click() {
    requireOpen(m_tables.Dbf1);
    postPendingEdits();
    TDruckeForm* form = m_dialogs.DruckeForm;
    form->setRecordText(m_tables.Dbf1.RecNo() >= 0 ? RecordText::compose(m_tables.Dbf1) : QString());
    if (autodruck) {
        TDruckeForm::printTexts(*newPrintJob(), {form->RichEdit1->toPlainText()}, false);
        return;
    }
    runModal(form);
}

void TMainForm::AlleDatenstzedrucken1Click() {
    requireOpen(m_tables.Dbf1);
    if (!askYesNoCancel(this, QStringLiteral("Drucken"),
                        QStringLiteral("Wollen Sie jetzt den Druck aller Datensätze beginnen? Jeweils ein Datensatz "
                                       "wird pro Blatt gedruckt!")))
        return;
    postPendingEdits();
    if (m_tables.Dbf1.RecordCount() == 0) return;  // an empty journal prints nothing
    const PrintChoice choice = choosePrintOrPdf(this);
    if (choice == PrintChoice::Cancel) return;
    DbfTable& bookings = m_tables.Dbf1;
    if (choice == PrintChoice::Print) {
        // The grid follows the walk and ends on the last booking; one job per booking.
        const DetachedView detached = detachJournalViews();
        for (bookings.First(); !bookings.Eof(); bookings.Next()) {
            autodruck = true;
            try {
                Datensatzdrucken1Click();
            } catch (...) {
                autodruck = false;
                throw;
            }
            autodruck = false;
        }
        return;
    }
    // Without a printer: every booking on a page of its own in one PDF file.
    const QString fileName = TDruckeForm::askPdfFileName(this);
    if (fileName.isEmpty()) return;
    QStringList texts;
    {
        const DetachedView detached = detachJournalViews();
        for (bookings.First(); !bookings.Eof(); bookings.Next()) texts << RecordText::compose(bookings);
    }
    if (texts.isEmpty()) return;
    const WaitCursor wait;
    TDruckeForm::savePdf(fileName, texts);
}
