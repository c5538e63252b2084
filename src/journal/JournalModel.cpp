// SPDX-License-Identifier: GPL-3.0-or-later
#include "journal/JournalModel.h"

#include "journal/AmountFormat.h"
#include "journal/Booking.h"
#include "storage/DbfTable.h"
#include "storage/StorageError.h"

JournalModel::Computed JournalModel::computedKind(int column) const {
    if (!m_table || !m_table->Active() || column < 0 || column >= m_table->FieldCount()) return Computed::None;
    const QString& name = m_table->Fields(column).FieldName();
    if (name == QLatin1String("MWST2")) return Computed::Mwst2;
    if (name == QLatin1String("NETTO")) return Computed::Netto;
    return Computed::None;
}

double JournalModel::readByName(const QString& name) const {
    try {
        if (DbfField* field = m_table->FindField(name)) return field->AsFloat();
    } catch (const QuorvelError&) {
        // Unreadable counts as 0; the cell still shows a number.
    }
    return 0;
}

QString JournalModel::fieldText(int column) const {
    const Computed kind = computedKind(column);
    if (kind == Computed::None) return TableModel::fieldText(column);
    const double rate = readByName(QStringLiteral("MWST"));
    if (rate + 100 == 0) return {};
    const Booking::Split split = Booking::split(readByName(QStringLiteral("BRUTTO")), rate);
    return formatAmount(kind == Computed::Mwst2 ? split.mwst : split.netto);
}

bool JournalModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role == Qt::EditRole && index.isValid() && index.column() == Booking::Art &&
        flags(index) & Qt::ItemIsEditable) {
        QString kind = value.toString();
        while (kind.endsWith(QLatin1Char(' '))) kind.chop(1);
        if (!Booking::isKind(kind)) {
            emit editFailed(Booking::kindRefusal(value.toString()));
            return false;
        }
    }
    return TableModel::setData(index, value, role);
}

bool JournalModel::isComputedColumn(int column) const {
    return computedKind(column) != Computed::None;
}

bool JournalModel::isRightAligned(int column) const {
    return isComputedColumn(column) || TableModel::isRightAligned(column);
}

bool JournalModel::sortByColumn(int column) {
    if (!m_table || !m_table->Active() || column < 0 || column >= m_table->FieldCount()) return false;
    const QString name = m_table->Fields(column).FieldName();
    try {
        if (!m_table->indexNames().contains(name)) m_table->AddIndex(name, name);
    } catch (const QuorvelError&) {
        // Guarded like the selection below: the order simply stays as it was.
    }
    try {
        m_table->setIndexName(name);
        return true;
    } catch (const QuorvelError&) {
        return false;
    }
}
