// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QString>

// Reads a date typed into a date field, the way it is written in German: "16.04.2026", "16.4.2026",
// "16.04.26", "16.4." or "16.4" (the booking year), "16042026", "160426", "1604", and the ISO form
// "2026-04-16". One- and two-digit years belong to the century of the booking year. Blanks around the
// text are ignored.
namespace DateInput {

enum class Problem {
    None,
    Empty,       // nothing typed
    Unreadable,  // not written as a date
    NoSuchDate,  // written as a date that does not exist (31.02., month 13)
};

struct Result {
    QDate date;  // valid exactly when problem is None
    Problem problem = Problem::None;
    bool ok() const { return problem == Problem::None; }
};

Result parse(const QString& text, int bookingYear);

// "16.04.2026": the one form dates are shown in.
QString format(const QDate& date);
inline constexpr const char* displayFormat = "dd.MM.yyyy";

// The German message for a refused text, saying what to type instead. Empty for Problem::None.
QString message(const QString& text, Problem problem);

}  // namespace DateInput
