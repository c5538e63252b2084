// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <functional>
#include <memory>

#include "journal/Period.h"

class DbfTable;

// The record filter of the bookings table: a text filter (filtertext, already upper-cased) and the period
// filter (a period and an on/off switch). The filter belongs to the table, not to the grid: every walk
// over the bookings table sees only what passes it. A record passes when, with the period filter on, its
// Datum (field 0) lies within the period (both ends inclusive), and some field's text contains filtertext
// (an empty filtertext is contained in every text).
//
// Field texts are the table layer's renderings (dates dd.MM.yyyy, floats with up to 15 significant digits
// and the locale's separator, integers in decimal, empty values empty), upper-cased with the ASCII rule:
// only a-z become A-Z, so "müller" finds MüLLER and Müller but not MÜLLER.
//
// The commands keep the table's filtering switch on exactly when the callback has something to reject.
// The callback holds its own share of the state, so a table never calls into a destroyed filter.
class JournalFilter {
public:
    JournalFilter();
    ~JournalFilter();
    JournalFilter(const JournalFilter&) = delete;
    JournalFilter& operator=(const JournalFilter&) = delete;

    // Maps only a-z to A-Z.
    static QString asciiUpper(const QString& text);

    // Installs the callback and sets the table's filtering switch from the held state (after every
    // opening of the table set, so that the filter carries over to the reopened table).
    void attachTo(DbfTable& bookings);

    // Start of the program: no text filter; filtering on exactly when the period filter is on.
    void startUp(DbfTable& bookings, bool periodFilter, const Zeitraum& zeitraum);

    // "Filtern": the edit's text becomes the text filter.
    void FilterbtnClick(DbfTable& bookings, const QString& editText);
    // "Alle zeigen": drops the text filter, keeps the period filter.
    void AllezeigenBtnClick(DbfTable& bookings);
    // "Filtern nach Zeitraum" was toggled (the check mark is now `nowChecked`). Filtering goes on when the
    // edit's text, upper-cased, is not empty or the period filter is now on; filtertext stays as it was.
    // Call setZeitraum first (the command recomputes the period before toggling).
    void FilternnachZeitraumToggled(DbfTable& bookings, bool nowChecked, const QString& editText);
    // A period item was chosen: the new period applies at once while the period filter is on.
    void periodChanged(DbfTable& bookings, const Zeitraum& zeitraum);

    // Sets the period without re-filtering (it applies at the next switch).
    void setZeitraum(const Zeitraum& zeitraum);

    const QString& filtertext() const;
    bool periodFilter() const;
    const Zeitraum& zeitraum() const;
    // The table's filtering switch as the commands set it.
    bool filtering() const;

    // The decision for the record the table stands on, exactly as the callback makes it.
    bool accepts(const DbfTable& bookings) const;

    // Runs `walk` while the table lets through what the text filter alone accepts: the period filter is
    // lifted for the call, and the table's filtering is restored afterwards, also when `walk` throws (the
    // visible records are then the same as before). For walks that must see the bookings before the
    // period although the journal hides them. Without a period filter `walk` simply runs.
    void withTextFilterOnly(DbfTable& bookings, const std::function<void()>& walk);

    struct State;

private:
    void switchFiltering(DbfTable& bookings, bool on);

    std::shared_ptr<State> m_state;
};
