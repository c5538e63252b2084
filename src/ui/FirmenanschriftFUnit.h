// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QStringList>

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// "Firmenangaben": the company address of the open client, one address line per text line. The main
// window loads and saves the lines; the reports print them at the top of their first page.
class TFirmenanschriftForm : public QDialog {
    Q_OBJECT
public:
    explicit TFirmenanschriftForm(QWidget* parent = nullptr);

    // The text split at line ends; an empty text has no lines. setLines(lines()) keeps the text.
    QStringList lines() const;
    void setLines(const QStringList& lines);

    // The tax number printed on the tax forms, and whether the client is a small business without a VAT
    // return; kept in a file of their own beside the address file.
    QString taxNumber() const;  // trimmed
    void setTaxNumber(const QString& number);
    bool smallBusiness() const;
    void setSmallBusiness(bool on);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QPlainTextEdit* Memo1 = nullptr;
    QLineEdit* SteuernummerEd = nullptr;
    QCheckBox* KleinunternehmerCheck = nullptr;
    QPushButton* OKBtn = nullptr;
};
