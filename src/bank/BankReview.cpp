// SPDX-License-Identifier: GPL-3.0-or-later
#include "bank/BankReview.h"

#include "journal/AmountFormat.h"
#include "journal/EntryLookups.h"
#include "startup/TableSet.h"
#include "storage/DbfTable.h"

namespace {

std::vector<int> numbers(DbfTable& accounts) {
    std::vector<int> out;
    if (!accounts.Active()) return out;
    for (accounts.First(); !accounts.Eof(); accounts.Next()) out.push_back(accounts.Fields(0).AsInteger());
    return out;
}

}  // namespace

MasterLists::MasterLists(TableSet& t) {
    if (t.EinnahmeKonten.Active()) incomeEntries = EntryLookups::accountEntries(t.EinnahmeKonten);
    if (t.AusgabeKonten.Active()) expenseEntries = EntryLookups::accountEntries(t.AusgabeKonten);
    if (t.MwstSaetze.Active()) rateEntries = EntryLookups::vatEntries(t.MwstSaetze);
    if (t.buchungstexte.Active()) textEntries = EntryLookups::textEntries(t.buchungstexte);
    incomeNrs = numbers(t.EinnahmeKonten);
    expenseNrs = numbers(t.AusgabeKonten);
    if (t.MwstSaetze.Active()) {
        for (t.MwstSaetze.First(); !t.MwstSaetze.Eof(); t.MwstSaetze.Next())
            rates.push_back(t.MwstSaetze.Fields(0).AsFloat());
    }
}

int MasterLists::accountRow(bool einnahme, int nr) const {
    const std::vector<int>& nrs = einnahme ? incomeNrs : expenseNrs;
    for (size_t i = 0; i < nrs.size(); ++i) {
        if (nrs[i] == nr) return int(i);
    }
    return -1;
}

int MasterLists::rateRow(double rate) const {
    for (size_t i = 0; i < rates.size(); ++i) {
        if (rates[i] == rate) return int(i);
    }
    return -1;
}

int MasterLists::accountNr(bool einnahme, int row) const {
    const std::vector<int>& nrs = einnahme ? incomeNrs : expenseNrs;
    return row >= 0 && row < int(nrs.size()) ? nrs[size_t(row)] : 0;
}

double MasterLists::rate(int row) const {
    return row >= 0 && row < int(rates.size()) ? rates[size_t(row)] : 0.0;
}

namespace BankReview {

QString defaultText(const BankMovement& m) {
    QString text = m.counterparty.simplified();
    const QString purpose = m.text.simplified();
    if (!purpose.isEmpty()) text += (text.isEmpty() ? QString() : QStringLiteral(": ")) + purpose;
    return text.left(60);
}

void applyRule(ReviewRow& row, const BankRule& rule, int ruleIndex, const MasterLists& lists) {
    row.rule = ruleIndex;
    row.ruleText = rule.description();
    row.neutral = rule.neutral;
    row.kontoIndex = lists.accountRow(row.einnahme(), rule.konto);
    row.mwstIndex = lists.rateRow(rule.mwst);
    if (!rule.buchtext.isEmpty()) row.buchtext = rule.buchtext;
    if (row.kontoIndex < 0 || row.mwstIndex < 0) {
        row.note += QStringLiteral(" Die Regel nennt %1, das es in diesem Jahr nicht gibt; bitte wählen.")
                        .arg(row.kontoIndex < 0 ? QStringLiteral("Konto %1").arg(rule.konto)
                                                : QStringLiteral("den MwSt-Satz %1%").arg(formatAmount(rule.mwst)));
        row.note = row.note.trimmed();
    }
}

BankRule ruleFromRow(const ReviewRow& row, const MasterLists& lists) {
    BankRule rule;
    rule.gegenseite = row.movement.counterparty.simplified().left(60);
    if (rule.gegenseite.isEmpty()) rule.verwendung = row.movement.text.simplified().left(60);
    rule.konto = lists.accountNr(row.einnahme(), row.kontoIndex);
    rule.mwst = lists.rate(row.mwstIndex);
    rule.neutral = row.neutral;
    if (row.buchtext != defaultText(row.movement)) rule.buchtext = row.buchtext.left(60);
    return rule;
}

void numberReceipts(std::vector<ReviewRow>& rows, qint64 first) {
    for (ReviewRow& row : rows) {
        if (row.ticked && row.belegAuto) row.beleg = QString::number(first++);
    }
}

std::vector<ReviewRow> propose(const Statement& statement, const std::vector<DuplicateCheck::Verdict>& verdicts,
                               const std::vector<BankRule>& rules, const MasterLists& lists, int year,
                               qint64 firstReceipt) {
    using State = ReviewRow::State;
    std::vector<ReviewRow> rows;
    rows.reserve(statement.movements.size());
    const BankRules::Matcher matcher(rules);
    for (size_t i = 0; i < statement.movements.size(); ++i) {
        const BankMovement& m = statement.movements[i];
        ReviewRow row;
        row.movement = m;
        row.datum = m.datum;
        row.cents = m.cents;
        row.kontoIndex = (row.einnahme() ? lists.incomeNrs : lists.expenseNrs).empty() ? -1 : 0;
        row.mwstIndex = lists.rates.empty() ? -1 : 0;
        row.buchtext = defaultText(m);
        const DuplicateCheck::Verdict verdict = i < verdicts.size() ? verdicts[i] : DuplicateCheck::Verdict{};
        if (!statement.fileComplete(m.fileIndex)) {
            row.state = State::Unreadable;
            row.note = QStringLiteral("Die Datei ist nicht vollständig lesbar; aus ihr wird nichts gebucht.");
        } else if (m.currency != u"EUR") {
            row.state = State::Currency;
            row.note = QStringLiteral("Betrag in %1: wird nicht gebucht.").arg(m.currency);
        } else if (!m.bookedByBank) {
            row.state = State::Pending;
            row.note = QStringLiteral("Von der Bank noch nicht gebucht (vorgemerkt).");
        } else if (m.cents == 0) {
            row.state = State::Zero;
            row.note = QStringLiteral("Betrag 0,00: nichts zu buchen.");
        } else if (m.datum.year() != year) {
            row.state = State::OtherYear;
            row.note = QStringLiteral("Datum außerhalb des Buchungsjahres %1: wird übersprungen.").arg(year);
        } else if (verdict.kind != DuplicateCheck::Verdict::Kind::New) {
            row.state = verdict.kind == DuplicateCheck::Verdict::Kind::Booked       ? State::Booked
                        : verdict.kind == DuplicateCheck::Verdict::Kind::LedgerOnly ? State::LedgerOnly
                                                                                    : State::Repeated;
            row.note = verdict.note;
        }
        if (m.reversal) row.note = (QStringLiteral("Rückbuchung. ") + row.note).trimmed();
        const int rule = matcher.firstMatch(m);
        if (rule >= 0) applyRule(row, rules[size_t(rule)], rule, lists);
        row.ticked = row.state == State::New;
        rows.push_back(std::move(row));
    }
    numberReceipts(rows, firstReceipt);
    return rows;
}

}  // namespace BankReview
