// SPDX-License-Identifier: GPL-3.0-or-later
#include "journal/DateInput.h"

#include <QStringList>

namespace DateInput {

namespace {

bool allDigits(QStringView text) {
    if (text.isEmpty()) return false;
    for (QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return false;
    }
    return true;
}

// A year as typed: one or two digits belong to the booking year's century, four are taken as they are.
// Anything else (three digits, five) is not a year.
int readYear(QStringView text, int bookingYear) {
    if (!allDigits(text)) return -1;
    const int value = text.toInt();
    if (text.size() <= 2) return (bookingYear / 100) * 100 + value;
    if (text.size() == 4) return value;
    return -1;
}

Result build(int year, int month, int day) {
    if (year < 1000 || year > 9999) return {{}, Problem::Unreadable};
    const QDate date(year, month, day);
    if (!date.isValid()) return {{}, Problem::NoSuchDate};
    return {date, Problem::None};
}

Result parseDotted(const QString& text, int bookingYear) {
    QStringList parts = text.split(QLatin1Char('.'));
    if (parts.size() == 3 && parts.last().isEmpty()) parts.removeLast();  // "16.4."
    if (parts.size() != 2 && parts.size() != 3) return {{}, Problem::Unreadable};
    for (int i = 0; i < 2; ++i) {
        if (!allDigits(parts[i]) || parts[i].size() > 2) return {{}, Problem::Unreadable};
    }
    const int year = parts.size() == 3 ? readYear(parts[2], bookingYear) : bookingYear;
    if (year < 0) return {{}, Problem::Unreadable};
    return build(year, parts[1].toInt(), parts[0].toInt());
}

Result parseDigits(const QString& text, int bookingYear) {
    const QStringView v(text);
    switch (text.size()) {
        case 8:
            return build(v.mid(4, 4).toInt(), v.mid(2, 2).toInt(), v.mid(0, 2).toInt());
        case 6:
            return build(readYear(v.mid(4, 2), bookingYear), v.mid(2, 2).toInt(), v.mid(0, 2).toInt());
        case 4:
            return build(bookingYear, v.mid(2, 2).toInt(), v.mid(0, 2).toInt());
        default:
            return {{}, Problem::Unreadable};
    }
}

Result parseIso(const QString& text) {
    const QStringList parts = text.split(QLatin1Char('-'));
    if (parts.size() != 3 || parts[0].size() != 4) return {{}, Problem::Unreadable};
    for (const QString& part : parts) {
        if (!allDigits(part)) return {{}, Problem::Unreadable};
    }
    if (parts[1].size() > 2 || parts[2].size() > 2) return {{}, Problem::Unreadable};
    return build(parts[0].toInt(), parts[1].toInt(), parts[2].toInt());
}

}  // namespace

Result parse(const QString& text, int bookingYear) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty()) return {{}, Problem::Empty};
    if (trimmed.contains(QLatin1Char('.'))) return parseDotted(trimmed, bookingYear);
    if (trimmed.contains(QLatin1Char('-'))) return parseIso(trimmed);
    if (allDigits(trimmed)) return parseDigits(trimmed, bookingYear);
    return {{}, Problem::Unreadable};
}

QString format(const QDate& date) {
    return date.toString(QString::fromLatin1(displayFormat));
}

QString message(const QString& text, Problem problem) {
    switch (problem) {
        case Problem::None:
            return {};
        case Problem::Empty:
            return QStringLiteral("Bitte geben Sie ein Datum ein, zum Beispiel 16.04.2026.");
        case Problem::Unreadable:
            return QStringLiteral(
                       "„%1“ ist kein Datum.\nBitte geben Sie das Datum als Tag.Monat.Jahr ein, zum "
                       "Beispiel 16.04.2026.")
                .arg(text.trimmed());
        case Problem::NoSuchDate:
            return QStringLiteral(
                       "Das Datum „%1“ gibt es nicht.\nBitte geben Sie einen Tag ein, den es im "
                       "Kalender gibt, zum Beispiel 16.04.2026.")
                .arg(text.trimmed());
    }
    return {};
}

}  // namespace DateInput
