// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QStringList>

class QPrinter;
class QPushButton;
class QTextEdit;

// The window of the record printing: the record as editable text and the buttons that print it. What is
// printed is the text as it stands in RichEdit1, edits included; the booking itself never changes.
class TDruckeForm : public QDialog {
    Q_OBJECT
public:
    explicit TDruckeForm(QWidget* parent = nullptr);

    QPushButton* BackBtn = nullptr;  // "Zurück"
    QPushButton* BitBtn2 = nullptr;  // "Drucken..."
    QPushButton* PdfBtn = nullptr;   // "Als PDF speichern..."
    QTextEdit* RichEdit1 = nullptr;

    // Replaces the text by the given lines.
    void setRecordText(const QString& text);

    // "Drucken...": the whole text as one job titled "Datensatz" on the shared printer, no further dialog.
    // Without a printer it offers to save a PDF instead. Throws QuorvelError when printing fails.
    void BitBtn2Click();
    void PdfBtnClick();

    // Prints each text as a job of its own on `printer`, or, when `oneFile` is set, all of them in one job,
    // each starting on a new page. The printable area is the page less half an inch on every side.
    // Throws QuorvelError when the printer cannot be started.
    static void printTexts(QPrinter& printer, const QStringList& texts, bool oneFile);

    // Asks for a PDF file name; empty when cancelled.
    static QString askPdfFileName(QWidget* parent);
    // All texts into one PDF file titled "Datensatz", each on a new page, with the paper of the printer
    // choice, through a temporary file that replaces the target only when complete. Throws QuorvelError
    // with a German message (the one of the report PDF) when it cannot be written.
    static void savePdf(const QString& fileName, const QStringList& texts);

protected:
    void resizeEvent(QResizeEvent* event) override;
};
