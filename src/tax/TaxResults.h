// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <set>
#include <vector>

#include "journal/Period.h"
#include "tax/TaxForm.h"

class Kontenzuordnung;
class TaxBookingSource;

// A booking the form could not place, with the reason; listed under the form.
struct TaxListedBooking {
    double datum = 0;
    QString beleg;
    QString text;
    double brutto = 0;
    double rate = 0;
    int konto = 0;
    char art = 0;
    QString reason;
};

struct UstvaLineValue {
    TaxFormLine line;
    double exactBase = 0;  // sum of the net amounts, to the cent
    double base = 0;       // whole euros, cents dropped
    double tax = 0;        // the form's tax (computed from the base, or booked)
    bool hasBase = true;
    bool hasTax = false;
    int count = 0;
};

// The VAT return of a period from the bookings dated in it.
struct UstvaResult {
    TaxForm form;
    Zeitraum zeitraum;
    std::vector<UstvaLineValue> lines;  // every line of the form, in form order
    double steuerFormular = 0;          // tax on the turnover as the form computes it
    double steuerGebucht = 0;           // VAT of the same bookings, summed per booking
    double vorsteuer = 0;               // Kz 66 and Kz 67
    double vorauszahlung = 0;           // Kz 83; a refund is negative
    std::vector<TaxListedBooking> unassigned;
    QStringList problems;  // missing or damaged tables and the like
    bool incomplete() const { return !unassigned.empty() || !problems.isEmpty(); }
    const UstvaLineValue* value(const QString& id) const;
};

struct EuerEntry {
    const char* record = nullptr;  // read through the booking source the result was computed from
    double amount = 0;
};

struct EuerLineValue {
    TaxFormLine line;
    double sum = 0;
    std::vector<EuerEntry> entries;  // the bookings behind the line, in table order
};

// The Anlage EÜR of a booking year.
struct EuerResult {
    TaxForm form;
    int year = 0;
    std::vector<EuerLineValue> lines;  // every line of the form, in form order
    double einnahmen = 0;
    double ausgaben = 0;
    double gewinn = 0;
    double entnahmen = 0;
    std::vector<TaxListedBooking> unassigned;
    QStringList problems;
    bool incomplete() const { return !unassigned.empty() || !problems.isEmpty(); }
    const EuerLineValue* value(const QString& id) const;
};

namespace TaxComputation {

// Amounts of the form: a base in whole euros (the cents dropped, towards zero) and a tax rounded to the cent.
double wholeEuros(double amount);
double computedTax(double base, double rate);

// Empty for the form's periods (a month, a quarter, the year); otherwise the German note that the tax
// office takes months or quarters.
QString periodNote(PeriodItem item);

// Cash basis: every booking dated in the period counts, whatever the journal shows.
UstvaResult ustva(const TaxBookingSource& bookings, const std::set<int>& einnahmeKonten,
                  const std::set<int>& ausgabeKonten, const Kontenzuordnung& zuordnung, const Zeitraum& zeitraum,
                  const TaxForm& form);

// `kleinunternehmer`: the client is a small business (§ 19 UStG): taxable takings on the small-business
// line, every amount gross, no VAT received and no input tax.
EuerResult euer(const TaxBookingSource& bookings, const std::set<int>& einnahmeKonten,
                const std::set<int>& ausgabeKonten, const Kontenzuordnung& zuordnung, int year, const TaxForm& form,
                bool kleinunternehmer = false);

}  // namespace TaxComputation
