// SPDX-License-Identifier: GPL-3.0-or-later
#include "datev/DatevResultText.h"

#include <QDir>
#include <QLocale>

#include "datev/DatevExport.h"

namespace {

QString count(int n, const char* one, const char* many) {
    return n == 1 ? QString::fromUtf8(one) : QString::fromUtf8(many).arg(QLocale(QLocale::German).toString(n));
}

}  // namespace

DatevResultText DatevResultText::of(const DatevResult& r, const std::function<QString(char, int)>& accountName) {
    DatevResultText t;
    QStringList lines;
    const QString first = r.files.isEmpty() ? QString() : QDir::toNativeSeparators(r.files.constFirst());
    lines << count(r.exported, "1 Buchung wurde", "%1 Buchungen wurden") +
                 QStringLiteral(" nach „%1“ exportiert.").arg(first);
    if (r.files.size() > 1) {
        QStringList names;
        for (const QString& f : r.files) names << QDir::toNativeSeparators(f);
        lines << QStringLiteral(
                     "Eine DATEV-Datei nimmt höchstens %1 Buchungen auf; die Buchungen stehen deshalb in %2 "
                     "Dateien:\n%3")
                     .arg(QLocale(QLocale::German).toString(r.maxBookingsPerFile), QString::number(r.files.size()),
                          names.join(QLatin1Char('\n')));
    }
    if (r.skippedCount > 0) {
        lines << QString();
        lines << count(r.skippedCount, "1 Buchung wurde nicht exportiert.", "%1 Buchungen wurden nicht exportiert.");
        if (!r.unmappedAccounts.empty()) {
            lines << QStringLiteral(
                "Diesen Konten ist kein DATEV-Konto zugeordnet (Zuordnung in diesem Fenster "
                "eintragen und erneut exportieren):");
            for (const auto& [key, n] : r.unmappedAccounts)
                lines << QStringLiteral("  %1konto %2 – %3: %4")
                             .arg(key.first == 'E' ? QStringLiteral("Einnahme") : QStringLiteral("Ausgabe"))
                             .arg(key.second)
                             .arg(accountName(key.first, key.second), count(n, "1 Buchung", "%1 Buchungen"));
        }
        lines << QStringLiteral("Die einzelnen Buchungen und Gründe stehen in den Details.");
    }
    QStringList changes;
    if (r.shortenedTexts > 0)
        changes << count(r.shortenedTexts, "1 Buchungstext wurde", "%1 Buchungstexte wurden") +
                       QStringLiteral(" auf die Länge des DATEV-Feldes gekürzt.");
    if (r.changedReceipts > 0)
        changes << count(r.changedReceipts, "In 1 Beleg wurden", "In %1 Belegen wurden") +
                       QStringLiteral(" Zeichen weggelassen, die das DATEV-Belegfeld nicht annimmt.");
    if (r.changedCharacters > 0)
        changes << count(r.changedCharacters, "In 1 Buchungstext wurden", "In %1 Buchungstexten wurden") +
                       QStringLiteral(" Zeichen ersetzt, die DATEV nicht lesen kann.");
    if (!changes.isEmpty()) {
        lines << QString();
        lines << QStringLiteral("Hinweis: Ihre Buchungen selbst sind unverändert.") << changes;
    }
    t.summary = lines.join(QLatin1Char('\n'));

    QStringList details;
    for (const DatevSkipped& s : r.skipped)
        details << QStringLiteral("Nicht exportiert: %1, Beleg „%2“, „%3“: %4")
                       .arg(s.datum.toString(QStringLiteral("dd.MM.yyyy")), s.beleg, s.text, s.reason);
    if (r.skippedCount > int(r.skipped.size()))
        details << QStringLiteral("… und %1 weitere nicht exportierte Buchungen.")
                       .arg(r.skippedCount - int(r.skipped.size()));
    for (const QString& n : r.notes) details << QStringLiteral("Geändert: ") + n;
    t.details = details.join(QLatin1Char('\n'));
    return t;
}
