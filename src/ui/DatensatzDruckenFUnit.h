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

    // Prints each text as a job of its own on `printer`, or, when `oneFile` is set (a PDF), all of them into
    // one file, each starting on a new page. The printable area is the page less half an inch on every side.
    // Throws QuorvelError when the printer cannot be started.
    static void printTexts(QPrinter& printer, const QStringList& texts, bool oneFile);

    // Asks for a PDF file name; empty when cancelled.
    static QString askPdfFileName(QWidget* parent);
    // A PDF printer with the page layout of the shared printer.
    static void preparePdf(QPrinter& pdf, const QString& fileName);

protected:
    void resizeEvent(QResizeEvent* event) override;
};
