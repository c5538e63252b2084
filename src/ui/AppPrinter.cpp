// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/AppPrinter.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <algorithm>

#include "ui/UiMessages.h"

namespace {

const QString kNoPrinter = QStringLiteral("Es ist kein Drucker eingerichtet.");

}  // namespace

QPrinter& appPrinter() {
    static QPrinter printer(QPrinter::HighResolution);
    return printer;
}

std::unique_ptr<QPrinter> newPrintJob() {
    const QPrinter& choice = appPrinter();
    QPrinterInfo info = QPrinterInfo::printerInfo(choice.printerName());
    if (info.isNull()) info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) {
        const QStringList names = QPrinterInfo::availablePrinterNames();
        if (!names.isEmpty()) info = QPrinterInfo::printerInfo(names.constFirst());
    }
    auto printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    const QPageLayout layout = choice.pageLayout();
    if (!printer->setPageLayout(layout)) {
        // Paper the chosen printer does not know: keep at least the size and orientation.
        printer->setPageSize(layout.pageSize());
        printer->setPageOrientation(layout.orientation());
    }
    printer->setCreator(QStringLiteral("Quorvel"));
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
        UiMessages::showInformation(
            parent, kNoPrinter + QStringLiteral("\nRichten Sie einen Drucker im System ein, oder speichern Sie "
                                                "die Seiten mit \"Als PDF speichern...\"."));
        return false;
    }
    // The printer and, on the chosen one, paper and orientation. Qt's page setup dialog alone offers no
    // choice of printer on this platform, its print dialog would offer to print.
    QPrinter& printer = appPrinter();
    QDialog dialog(parent);
    dialog.setWindowTitle(QStringLiteral("Drucker einrichten"));
    auto* form = new QFormLayout(&dialog);
    auto* printers = new QComboBox(&dialog);
    printers->setObjectName(QStringLiteral("PrinterCombo"));
    printers->addItems(QPrinterInfo::availablePrinterNames());
    const QString current =
        printer.printerName().isEmpty() ? QPrinterInfo::defaultPrinterName() : printer.printerName();
    printers->setCurrentIndex(std::max(0, printers->findText(current)));
    auto* label = new QLabel(QStringLiteral("&Drucker:"), &dialog);
    label->setBuddy(printers);
    form->addRow(label, printers);

    QPrinter pageSetup(QPrinter::HighResolution);
    pageSetup.setPrinterName(printers->currentText());
    pageSetup.setPageLayout(printer.pageLayout());
    auto* paper = new QPushButton(QStringLiteral("&Papier und Ausrichtung..."), &dialog);
    paper->setAutoDefault(false);
    form->addRow(QString(), paper);
    QObject::connect(printers, &QComboBox::currentTextChanged, &dialog, [&pageSetup](const QString& name) {
        const QPageLayout layout = pageSetup.pageLayout();
        pageSetup.setPrinterName(name);
        pageSetup.setPageLayout(layout);
    });
    QObject::connect(paper, &QPushButton::clicked, &dialog, [&pageSetup, &dialog] {
        QPageSetupDialog setup(&pageSetup, &dialog);
        setup.exec();
    });

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    form->addRow(buttons);

    if (dialog.exec() != QDialog::Accepted) return false;
    printer.setPrinterName(printers->currentText());
    printer.setPageLayout(pageSetup.pageLayout());
    return true;
}
