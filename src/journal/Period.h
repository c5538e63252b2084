// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <array>

// The periods of the menu "Zeitraum", in menu order (also the order in which the checked item is looked
// for), and their first and last days in a booking year. Both ends of a period belong to it.
enum class PeriodItem {
    GanzesJahr,
    N1Halbjahr,
    N2Halbjahr,
    N1Quartal,
    N2Quartal,
    N3Quartal,
    N4Quartal,
    Januar,
    Februar,
    Maerz,
    April,
    Mai,
    Juni,
    Juli,
    August,
    September,
    Oktober,
    November,
    Dezember,
};

inline constexpr std::array<PeriodItem, 19> allPeriodItems = {
    PeriodItem::GanzesJahr, PeriodItem::N1Halbjahr, PeriodItem::N2Halbjahr, PeriodItem::N1Quartal,
    PeriodItem::N2Quartal,  PeriodItem::N3Quartal,  PeriodItem::N4Quartal,  PeriodItem::Januar,
    PeriodItem::Februar,    PeriodItem::Maerz,      PeriodItem::April,      PeriodItem::Mai,
    PeriodItem::Juni,       PeriodItem::Juli,       PeriodItem::August,     PeriodItem::September,
    PeriodItem::Oktober,    PeriodItem::November,   PeriodItem::Dezember};

// vondatum .. bisdatum as day numbers (DayNumber.h), both inclusive.
struct Zeitraum {
    double vondatum = 0;
    double bisdatum = 0;
    bool contains(double datum) const { return datum >= vondatum && datum <= bisdatum; }
};

// Gregorian rule: divisible by 4 and not by 100, or divisible by 400.
bool isLeapYear(int year);
// 28..31; month 1..12.
int lastDayOfMonth(int year, int month);

// First and last day of the item in `year`. A year that makes no date (outside 1..9999, e.g. 0 typed
// into the year field) throws QuorvelError with a German message; the caller keeps its old period.
Zeitraum CalcZeitraum(PeriodItem item, int year);

// The month item for month 1..12 (the preselection of the current month at start); QuorvelError otherwise.
PeriodItem monthItem(int month);

// Menu caption: "Ganzes Jahr", "1. Halbjahr", ..., "1. Quartal", ..., "Januar", ..., "März", ...
QString periodCaption(PeriodItem item);
// Component name of the menu item: "GanzesJahr1", "N1Halbjahr1", ..., "Mrz1", ..., "Dezember1".
QString periodComponentName(PeriodItem item);
