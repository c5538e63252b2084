// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

#include "storage/FieldDef.h"

// The bookings table in one place: its fields by position and the schema a new table is created with.
// Every part of the program, and every test, reads a booking's fields by these names (journal/Booking.h
// adds the kinds and the VAT split).
namespace Booking {

// Positions in the bookings table; a table may carry further fields after Kostenstelle.
enum Field : int {
    Datum = 0,
    Art = 1,
    Beleg = 2,
    Text = 3,
    Brutto = 4,
    MwSt = 5,
    Konto = 6,
    MwSt2 = 7,  // never read: the journal and the reports compute VAT and net from Brutto and MwSt
    Netto = 8,
    Sammelkonto = 9,
    Kostenstelle = 10,
};

// Fields of the current layout; an older, shorter table is upgraded on opening.
constexpr int fieldCount = 11;

// The schema of a new bookings table, each field at its position above.
inline std::vector<FieldDef> schema() {
    std::vector<FieldDef> defs(fieldCount);
    defs[Datum] = {QStringLiteral("Datum"), FieldType::Date, 0};
    defs[Art] = {QStringLiteral("Art"), FieldType::String, 1};
    defs[Beleg] = {QStringLiteral("Beleg"), FieldType::String, 20};
    defs[Text] = {QStringLiteral("Text"), FieldType::String, 60};
    defs[Brutto] = {QStringLiteral("Brutto"), FieldType::Float, 0};
    defs[MwSt] = {QStringLiteral("MwSt"), FieldType::Float, 0};
    defs[Konto] = {QStringLiteral("Konto"), FieldType::Integer, 0};
    defs[MwSt2] = {QStringLiteral("MwSt2"), FieldType::Float, 0};
    defs[Netto] = {QStringLiteral("Netto"), FieldType::Float, 0};
    defs[Sammelkonto] = {QStringLiteral("Sammelkonto"), FieldType::Integer, 0};
    defs[Kostenstelle] = {QStringLiteral("Kostenstelle"), FieldType::Integer, 0};
    return defs;
}

}  // namespace Booking
