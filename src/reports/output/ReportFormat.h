// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHash>
#include <QString>

// The text forms of the report pages, all in the default locale.
class ReportFormat {
public:
    // "12,50 €": the program's amount form, one blank, the currency text.
    static QString amount(double value, const QString& currency);
    // The rate of a "Summe MwSt. " label: shortest form, up to 15 digits, then "%": "19%", "7,5%".
    static QString rateLabel(double rate);
    // The list column "MwSt. %": "19,00 %", "-19,00 %".
    static QString rateColumn(double rate);
    // The locale's short date of a day number.
    static QString date(double datum);
    // The line under the heading of a report restricted by the journal's text filter:
    // "Nur Buchungen mit »müller«"; empty for an empty filter.
    static QString filterNote(const QString& filtertext);
};

// Short dates of day numbers, each formatted once per layout run (a year has few distinct days).
class DateTexts {
public:
    const QString& text(double datum);

private:
    QHash<qint64, QString> m_texts;
};
