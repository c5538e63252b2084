// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <vector>

#include "storage/StorageError.h"

// A tax form of one year as its data file describes it: the lines in the order of the form, each with its
// Kennzahl (empty where the official form could not be read), its text, its section, the rule the form
// applies to it, and the sources it was taken from. A new form year is a new data file, nothing else.
struct TaxFormLine {
    QString id;       // stable across years; the account assignment refers to lines by it
    QString kz;       // Kennzahl of the amount ("81"); empty when not confirmed from the official form
    QString kzTax;    // Kennzahl of the tax beside the base ("36"), if the form has one
    QString zeile;    // line number on the printed form ("23"); empty when not confirmed
    QString pruefen;  // why Kennzahl or line number still want checking against the official form; empty: sure
    QString label;
    QString section;
    QString rule;     // VAT return: base, baseComputedTax, baseBookedTax, reverseChargeTax, inputTax,
                      // reverseChargeInputTax, result
    QString kind;     // Anlage EÜR: smallBusinessIncome, income, vatReceived, vatRefunded, incomeTotal, expense, ...
    double rate = 0;  // baseComputedTax: the rate the form computes the tax with
    bool choice = false;  // offered in the account assignment
    QStringList sources;  // keys of TaxForm::sources

    // "Kz 81" or "Kz 35/36"; "Kz –" when the Kennzahl is not known.
    QString kzText() const;
    // The Kennzahl of the amount for a column of the form: "81", "–" when not known, with "*" when it
    // still wants checking (see pruefenNote).
    QString kzCell() const;
    // The line number for a column: "23", or "–".
    QString zeileCell() const;
};

struct TaxForm {
    QString form;  // "ustva" or "euer"
    int year = 0;  // year of the data file
    int requestedYear = 0;
    QString title;
    QMap<QString, QString> sources;
    std::vector<TaxFormLine> lines;

    const TaxFormLine* line(const QString& id) const;
    // The lines of a kind (EÜR) or a rule (VAT return), in form order.
    std::vector<const TaxFormLine*> linesOfKind(const QString& kind) const;
    // Said on the page when the booking year has no file of its own: which form year stands in for it.
    QString fallbackNote() const;
    // Said under the form when a line is marked "*": empty when every line is confirmed.
    QString pruefenNote() const;
};

class TaxDataError : public QuorvelError {
public:
    using QuorvelError::QuorvelError;
};

namespace TaxFormData {

inline const QString ustva = QStringLiteral("ustva");
inline const QString euer = QStringLiteral("euer");

// Reads a data file; throws TaxDataError naming `origin` and what is wrong.
TaxForm parse(const QByteArray& json, const QString& origin);

// The years that have a data file for the form, ascending.
QList<int> availableYears(const QString& form);

// The form of `year`, or of the newest earlier year that has a file (fallbackNote says so). Throws
// TaxDataError when there is none at all.
TaxForm load(const QString& form, int year);

}  // namespace TaxFormData
