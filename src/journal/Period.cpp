// SPDX-License-Identifier: GPL-3.0-or-later
#include "journal/Period.h"

#include <QDate>

#include "storage/DayNumber.h"
#include "storage/StorageError.h"

namespace {

struct ItemInfo {
    const char* caption;  // UTF-8
    const char* component;
    int firstMonth;
    int lastMonth;
};

// Indexed by PeriodItem.
constexpr ItemInfo itemInfo[] = {
    {"Ganzes Jahr", "GanzesJahr1", 1, 12},
    {"1. Halbjahr", "N1Halbjahr1", 1, 6},
    {"2. Halbjahr", "N2Halbjahr1", 7, 12},
    {"1. Quartal", "N1Quartal1", 1, 3},
    {"2. Quartal", "N2Quartal1", 4, 6},
    {"3. Quartal", "N3Quartal1", 7, 9},
    {"4. Quartal", "N4Quartal1", 10, 12},
    {"Januar", "Januar1", 1, 1},
    {"Februar", "Februar1", 2, 2},
    {"März", "Mrz1", 3, 3},
    {"April", "April1", 4, 4},
    {"Mai", "Mai1", 5, 5},
    {"Juni", "Juni1", 6, 6},
    {"Juli", "Juli1", 7, 7},
    {"August", "August1", 8, 8},
    {"September", "September1", 9, 9},
    {"Oktober", "Oktober1", 10, 10},
    {"November", "November1", 11, 11},
    {"Dezember", "Dezember1", 12, 12},
};
static_assert(std::size(itemInfo) == allPeriodItems.size());

const ItemInfo& info(PeriodItem item) {
    const auto index = static_cast<std::size_t>(item);
    if (index >= std::size(itemInfo)) throw QuorvelError(QStringLiteral("Unbekannter Zeitraum."));
    return itemInfo[index];
}

}  // namespace

bool isLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int lastDayOfMonth(int year, int month) {
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) throw QuorvelError(QStringLiteral("Ungültiger Monat: %1").arg(month));
    if (month == 2 && isLeapYear(year)) return 29;
    return days[month - 1];
}

Zeitraum CalcZeitraum(PeriodItem item, int year) {
    // Dates exist for the years 1 to 9999; the year field may hold anything while being typed.
    if (year < 1 || year > 9999) {
        throw QuorvelError(
            QStringLiteral("Das Buchungsjahr %1 ergibt kein gültiges Datum. Bitte geben Sie ein Jahr zwischen 1 und "
                           "9999 ein.")
                .arg(year));
    }
    const ItemInfo& i = info(item);
    const QDate first(year, i.firstMonth, 1);
    const QDate last(year, i.lastMonth, lastDayOfMonth(year, i.lastMonth));
    return {DayNumber::fromDate(first), DayNumber::fromDate(last)};
}

PeriodItem monthItem(int month) {
    if (month < 1 || month > 12) throw QuorvelError(QStringLiteral("Ungültiger Monat: %1").arg(month));
    return static_cast<PeriodItem>(static_cast<int>(PeriodItem::Januar) + month - 1);
}

QString periodCaption(PeriodItem item) {
    return QString::fromUtf8(info(item).caption);
}

QString periodComponentName(PeriodItem item) {
    return QString::fromLatin1(info(item).component);
}
