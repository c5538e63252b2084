// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "journal/TableModel.h"

// The journal grid's model over the bookings table. The columns named exactly "MWST2" and "NETTO" never
// show what is stored in them: they show the VAT (rounded to the cent) and the net amount of the row's
// BRUTTO and MWST (Booking::split; read by name, a missing or unreadable field counts as 0), in the
// two-decimal display form,
// right-aligned and read-only. A rate of -100 leaves those two cells empty (the split divides by zero).
class JournalModel : public TableModel {
    Q_OBJECT
public:
    using TableModel::TableModel;

    // A click on a column title: sort the table by that column, ascending. The first click on a column
    // adds an index named after the column's stored name; later clicks reuse it. Returns false (and keeps
    // the order as it was) when the index cannot be added or selected.
    bool sortByColumn(int column);

    // A kind other than "E", "A", "N" or "S" typed into ART is refused (editFailed with the German
    // message, nothing written); trailing blanks are the field's padding. Other cells as TableModel.
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

protected:
    QString fieldText(int column) const override;
    bool isComputedColumn(int column) const override;
    bool isRightAligned(int column) const override;

private:
    enum class Computed { None, Mwst2, Netto };
    Computed computedKind(int column) const;
    double readByName(const QString& name) const;
};
