// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/data/ReportHeading.h"

#include "storage/DayNumber.h"
#include "storage/LocaleFormat.h"

namespace ReportHeading {

QString period(const Zeitraum& zeitraum) {
    return LocaleFormat::formatDate(DayNumber::toDate(zeitraum.vondatum)) + QStringLiteral(" - ") +
           LocaleFormat::formatDate(DayNumber::toDate(zeitraum.bisdatum));
}

QString totalResult(const Zeitraum& zeitraum) {
    return QStringLiteral("Gesamtergebnis ") + period(zeitraum);
}

QString list(ListKind kind, const Zeitraum& zeitraum, int nr, const QString& name) {
    QString prefix;
    switch (kind) {
        case ListKind::Ausgabenliste:
        case ListKind::Ausgabenkonto:
            prefix = QStringLiteral("Ausgaben ");
            break;
        case ListKind::Einnahmenliste:
        case ListKind::Einnahmekonto:
            prefix = QStringLiteral("Einnahmen ");
            break;
        case ListKind::Sammelkonto:
        case ListKind::Kostenstelle:
            prefix = QStringLiteral("Auswertung ");
            break;
        case ListKind::AlleBuchungen:
            prefix = QStringLiteral("Alle Buchungen ");
            break;
    }
    QString cap = prefix + period(zeitraum);
    if (ListReport::accountField(kind) >= 0)
        cap += QStringLiteral(" Konto ") + QString::number(nr) + QStringLiteral(": ") + name;
    return cap;
}

}  // namespace ReportHeading
