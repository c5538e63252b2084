// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/KontoauszugModel.h"

#include <QBrush>
#include <QGuiApplication>
#include <QPalette>
#include <cmath>

#include "journal/AmountFormat.h"
#include "journal/DateInput.h"

KontoauszugModel::KontoauszugModel(std::vector<ReviewRow> rows, const MasterLists& lists, int year, qint64 firstReceipt,
                                   QObject* parent)
    : QAbstractTableModel(parent),
      m_rows(std::move(rows)),
      m_lists(lists),
      m_year(year),
      m_firstReceipt(firstReceipt) {}

int KontoauszugModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_rows.size());
}

int KontoauszugModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant KontoauszugModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    static const char* const titles[] = {"Buchen",  "Datum", "Betrag", "Gegenseite",   "Verwendungszweck",
                                         "E/A",     "Konto", "MwSt",   "Buchungstext", "Beleg",
                                         "Neutral", "Regel", "Hinweis"};
    return section >= 0 && section < ColumnCount ? QString::fromUtf8(titles[section]) : QVariant();
}

QStringList KontoauszugModel::choices(int row, int column) const {
    const ReviewRow& r = m_rows[size_t(row)];
    switch (column) {
        case EA:
            return {QStringLiteral("Einnahme"), QStringLiteral("Ausgabe")};
        case Konto:
            return r.einnahme() ? m_lists.incomeEntries : m_lists.expenseEntries;
        case MwSt:
            return m_lists.rateEntries;
        case Buchungstext:
            return m_lists.textEntries;
        default:
            return {};
    }
}

QVariant KontoauszugModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= int(m_rows.size())) return {};
    const ReviewRow& r = m_rows[size_t(index.row())];
    const int c = index.column();
    if (role == Qt::CheckStateRole) {
        if (c == Buchen && r.tickable()) return r.ticked ? Qt::Checked : Qt::Unchecked;
        if (c == Neutral) return r.neutral ? Qt::Checked : Qt::Unchecked;
        return {};
    }
    if (role == Qt::ForegroundRole && r.greyed())
        return QGuiApplication::palette().brush(QPalette::Disabled, QPalette::Text);
    if (role == Qt::TextAlignmentRole && c == Betrag) return int(Qt::AlignRight | Qt::AlignVCenter);
    if (role == Qt::ToolTipRole) {
        if (c == Verwendung) return r.movement.text;
        if (c == Hinweis || c == Buchen) return r.note;
        if (c == Gegenseite) return r.movement.counterpartyIban;
        return {};
    }
    if (role != Qt::DisplayRole && role != Qt::EditRole && role != Qt::AccessibleTextRole) return {};
    auto entry = [](const QStringList& list, int i) { return i >= 0 && i < list.size() ? list[i] : QString(); };
    switch (c) {
        case Buchen:
            return role == Qt::AccessibleTextRole
                       ? (r.ticked ? QStringLiteral("angehakt") : QStringLiteral("nicht angehakt"))
                       : QVariant();
        case Datum:
            return DateInput::format(r.datum);
        case Betrag:
            return formatAmount(double(r.cents) / 100.0);
        case Gegenseite:
            return r.movement.counterparty;
        case Verwendung:
            return r.movement.text;
        case EA:
            return r.neutral
                       ? (r.einnahme() ? QStringLiteral("Einnahme (neutral)") : QStringLiteral("Ausgabe (neutral)"))
                       : (r.einnahme() ? QStringLiteral("Einnahme") : QStringLiteral("Ausgabe"));
        case Konto:
            return entry(choices(index.row(), Konto), r.kontoIndex);
        case MwSt:
            return entry(m_lists.rateEntries, r.mwstIndex);
        case Buchungstext:
            return r.buchtext;
        case Beleg:
            return r.ticked || r.state == ReviewRow::State::BookedNow || !r.belegAuto ? r.beleg : QString();
        case Neutral:
            return role == Qt::AccessibleTextRole ? (r.neutral ? QStringLiteral("neutral") : QString()) : QVariant();
        case Regel:
            return r.ruleText;
        case Hinweis:
            return r.note;
        default:
            return {};
    }
}

Qt::ItemFlags KontoauszugModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    const ReviewRow& r = m_rows[size_t(index.row())];
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (r.state == ReviewRow::State::BookedNow) return f;
    switch (index.column()) {
        case Buchen:
            if (r.tickable()) f |= Qt::ItemIsUserCheckable;
            break;
        case Neutral:
            f |= Qt::ItemIsUserCheckable;
            break;
        case Datum:
        case Betrag:
        case EA:
        case Konto:
        case MwSt:
        case Buchungstext:
        case Beleg:
            f |= Qt::ItemIsEditable;
            break;
        default:
            break;
    }
    return f;
}

bool KontoauszugModel::refuse(const QString& message) {
    emit editRefused(message);
    return false;
}

bool KontoauszugModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || !(flags(index) & (Qt::ItemIsEditable | Qt::ItemIsUserCheckable))) return false;
    ReviewRow& r = m_rows[size_t(index.row())];
    const int c = index.column();
    if (role == Qt::CheckStateRole) {
        const bool on = value.toInt() == Qt::Checked;
        if (c == Buchen) {
            r.ticked = on;
            // The receipts shown follow the ticks: numbered in row order from the proposal on.
            BankReview::numberReceipts(m_rows, m_firstReceipt);
            emit dataChanged(this->index(0, Beleg), this->index(rowCount() - 1, Beleg));
        } else {
            r.neutral = on;
        }
        emit dataChanged(this->index(index.row(), 0), this->index(index.row(), ColumnCount - 1));
        return true;
    }
    if (role != Qt::EditRole) return false;
    const QString text = value.toString();
    switch (c) {
        case Datum: {
            const DateInput::Result d = DateInput::parse(text, m_year);
            if (!d.ok()) return refuse(DateInput::message(text, d.problem));
            if (d.date.year() != m_year)
                return refuse(QStringLiteral("Das Datum %1 liegt nicht im Buchungsjahr %2.")
                                  .arg(DateInput::format(d.date))
                                  .arg(m_year));
            r.datum = d.date;
            break;
        }
        case Betrag: {
            bool ok = false;
            const double amount = parseAmount(text, &ok);
            if (!ok) return refuse(amountMessage(text));
            if (amount == 0) return refuse(QStringLiteral("Ein Betrag von 0,00 kann nicht gebucht werden."));
            if (std::abs(amount) >= 1e9)
                return refuse(QStringLiteral("Der Betrag %1 ist zu groß für die Buchungstabelle.").arg(text));
            const bool wasEinnahme = r.einnahme();
            r.cents = std::llround(amount * 100);
            if (r.einnahme() != wasEinnahme) r.kontoIndex = choices(index.row(), Konto).isEmpty() ? -1 : 0;
            break;
        }
        case EA: {
            const bool einnahme = text.startsWith(QStringLiteral("Einnahme"));
            if (einnahme != r.einnahme()) {
                r.cents = -r.cents;
                const int count = int(choices(index.row(), Konto).size());
                r.kontoIndex = count == 0 ? -1 : std::min(std::max(r.kontoIndex, 0), count - 1);
            }
            break;
        }
        case Konto:
        case MwSt: {
            const int i = int(choices(index.row(), c).indexOf(text));
            if (i < 0) return refuse(QStringLiteral("„%1“ steht nicht in der Liste.").arg(text));
            (c == Konto ? r.kontoIndex : r.mwstIndex) = i;
            break;
        }
        case Buchungstext:
            if (text.size() > 60)
                return refuse(
                    QStringLiteral("Der Buchungstext hat %1 Zeichen; eine Buchung fasst 60.").arg(text.size()));
            r.buchtext = text;
            break;
        case Beleg:
            if (text.size() > 20)
                return refuse(QStringLiteral("Der Beleg hat %1 Zeichen; eine Buchung fasst 20.").arg(text.size()));
            r.beleg = text;
            r.belegAuto = false;
            break;
        default:
            return false;
    }
    emit dataChanged(this->index(index.row(), 0), this->index(index.row(), ColumnCount - 1));
    return true;
}

void KontoauszugModel::refresh() {
    beginResetModel();
    endResetModel();
}

int KontoauszugModel::tickedCount() const {
    int n = 0;
    for (const ReviewRow& r : m_rows) n += r.ticked ? 1 : 0;
    return n;
}
