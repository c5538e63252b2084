// SPDX-License-Identifier: GPL-3.0-or-later
#include "bank/BankPosting.h"

#include "bank/BankLedger.h"
#include "journal/Posting.h"
#include "journal/ReceiptProposal.h"
#include "startup/TableSet.h"
#include "storage/DayNumber.h"
#include "storage/ErrorText.h"
#include "storage/StorageError.h"

QString BankPostingResult::summary() const {
    QStringList lines;
    lines << (booked == 1 ? QStringLiteral("1 Umsatz wurde gebucht.")
                          : QStringLiteral("%1 Umsätze wurden gebucht.").arg(booked));
    if (!error.isEmpty())
        lines << QStringLiteral("Das Buchen wurde abgebrochen: %1\nDie übrigen Umsätze bleiben im Fenster.").arg(error);
    if (cancelled) lines << QStringLiteral("Das Buchen wurde angehalten; die übrigen Umsätze bleiben im Fenster.");
    if (!skipped.isEmpty()) {
        lines << QStringLiteral("Nicht gebucht:");
        const int shown = std::min<int>(int(skipped.size()), 20);
        for (int i = 0; i < shown; ++i) lines << QStringLiteral("– ") + skipped[i];
        if (skipped.size() > shown) lines << QStringLiteral("… und %1 weitere.").arg(skipped.size() - shown);
    }
    if (notTicked > 0)
        lines << (notTicked == 1 ? QStringLiteral("1 Umsatz war nicht angehakt (bereits gebucht, anderes Jahr, "
                                                  "andere Währung oder nicht lesbar).")
                                 : QStringLiteral("%1 Umsätze waren nicht angehakt (bereits gebucht, anderes Jahr, "
                                                  "andere Währung oder nicht lesbar).")
                                       .arg(notTicked));
    return lines.join(u'\n');
}

namespace BankPosting {

namespace {

QString rowName(const ReviewRow& row) {
    return row.movement.where + QStringLiteral(" (") + row.movement.counterparty.left(30) + QStringLiteral(")");
}

// Why a ticked row cannot be booked as it stands; empty when it can.
QString refusal(const ReviewRow& row, const TableSet& tables, int year) {
    if (!row.tickable()) return QStringLiteral("kann nicht gebucht werden: %1").arg(row.note);
    if (!row.datum.isValid() || row.datum.year() != year)
        return QStringLiteral("das Datum liegt nicht im Buchungsjahr %1").arg(year);
    if (row.cents == 0) return QStringLiteral("der Betrag ist 0,00");
    if (row.kontoIndex < 0) return QStringLiteral("es ist kein Konto gewählt");
    if (row.mwstIndex < 0) return QStringLiteral("es ist kein MwSt-Satz gewählt");
    const CodePage& cp = tables.Dbf1.codePage();
    for (const QString& text : {row.buchtext.left(60), row.beleg.left(20)}) {
        const QStringList bad = cp.unencodable(text, int(text.size()));
        if (!bad.isEmpty())
            return QStringLiteral("die Zeichen %1 in „%2“ kann die Buchungstabelle nicht speichern; bitte ändern")
                .arg(bad.join(QStringLiteral(" ")), text);
    }
    return {};
}

}  // namespace

BankPostingResult post(TableSet& tables, BankLedger& ledger, std::vector<ReviewRow>& rows, int year,
                       const Progress& progress) {
    BankPostingResult result;
    if (!tables.Dbf1.Active())
        throw QuorvelError(QStringLiteral("Die Buchungen dieses Jahres sind nicht geöffnet; es wurde nichts gebucht."));
    int total = 0;
    for (const ReviewRow& row : rows) {
        if (row.ticked)
            ++total;
        else if (row.state != ReviewRow::State::BookedNow)
            ++result.notTicked;
    }
    qint64 next = FindMaxBel(tables.Dbf1);
    int done = 0;
    for (ReviewRow& row : rows) {
        if (!row.ticked) continue;
        const QString why = refusal(row, tables, year);
        if (!why.isEmpty()) {
            result.skipped << rowName(row) + QStringLiteral(": ") + why;
        } else {
            const QString beleg = row.belegAuto ? QString::number(next) : row.beleg;
            BookingEntry entry;
            entry.datum = DayNumber::fromDate(row.datum);
            entry.einnahme = row.einnahme();
            entry.neutral = row.neutral;
            entry.beleg = beleg;
            entry.text = row.buchtext;
            entry.brutto = row.brutto();
            entry.mwstIndex = row.mwstIndex;
            entry.kontoIndex = row.kontoIndex;
            try {
                const int record = ledger.add(row.movement, beleg);
                try {
                    postBooking(tables.Dbf1, tables.MwstSaetze, tables.EinnahmeKonten, tables.AusgabeKonten,
                                tables.Sammelkonten, tables.kostenkonten, entry);
                } catch (...) {
                    try {
                        ledger.remove(record);
                    } catch (...) {
                        // The record then stands without booking: the next check marks the movement.
                    }
                    throw;
                }
            } catch (const ChangeRefusedError& e) {
                // Refused by a rule of the books (a closed period): this row stays, the others go on.
                result.skipped << rowName(row) + QStringLiteral(": ") + e.message();
                ++done;
                if (progress && !progress(done, total)) {
                    result.cancelled = done < total;
                    break;
                }
                continue;
            } catch (const std::exception& e) {
                result.error = rowName(row) + QStringLiteral(": ") + ErrorText::forUser(e);
                break;
            }
            if (row.belegAuto) ++next;
            row.beleg = beleg;
            row.state = ReviewRow::State::BookedNow;
            row.note = QStringLiteral("Gebucht mit Beleg %1.").arg(beleg);
            row.ticked = false;
            ++result.booked;
        }
        ++done;
        if (progress && !progress(done, total)) {
            result.cancelled = done < total;
            break;
        }
    }
    return result;
}

}  // namespace BankPosting
