#include "ui/AppPrinter.h"

#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QPrinterInfo>

#include "ui/UiMessages.h"

namespace {

const QString kNoPrinter = QStringLiteral("Es ist kein Drucker eingerichtet.");

}  // namespace

QPrinter& appPrinter() {
    static QPrinter printer(QPrinter::HighResolution);
    return printer;
}

bool printerAvailable() {
    return !QPrinterInfo::availablePrinterNames().isEmpty();
}

PrintChoice choosePrintOrPdf(QWidget* parent) {
    if (printerAvailable()) return PrintChoice::Print;
    const auto answer = QMessageBox::question(
        parent, QStringLiteral("Drucken"),
        kNoPrinter + QStringLiteral(" Möchten Sie die Seiten stattdessen als PDF-Datei speichern?"),
        QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
    return answer == QMessageBox::Yes ? PrintChoice::SavePdf : PrintChoice::Cancel;
}

bool setUpPrinter(QWidget* parent) {
    if (!printerAvailable()) {
        UiMessages::showInformation(parent, kNoPrinter + QStringLiteral(
                                                "\nRichten Sie einen Drucker im System ein, oder speichern Sie "
                                                "die Seiten mit \"Als PDF speichern...\"."));
        return false;
    }
    QPageSetupDialog dialog(&appPrinter(), parent);
    return dialog.exec() == QDialog::Accepted;
}
