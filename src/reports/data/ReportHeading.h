// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include "journal/Period.h"
#include "reports/data/ListReport.h"

// The headings (cap) of the reports; the dates in the locale's short date format.
namespace ReportHeading {

// from " - " to
QString period(const Zeitraum& zeitraum);
// "Gesamtergebnis " from " - " to
QString totalResult(const Zeitraum& zeitraum);
// "Ausgaben ", "Einnahmen ", "Auswertung " or "Alle Buchungen " and the period; the reports with an
// account add " Konto " nr ": " name.
QString list(ListKind kind, const Zeitraum& zeitraum, int nr, const QString& name);

}  // namespace ReportHeading
