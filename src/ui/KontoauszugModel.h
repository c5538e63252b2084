// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractTableModel>
#include <vector>

#include "bank/BankReview.h"

// The rows of the review window: one bank movement each, with the booking proposed for it. The model owns
// the rows; edits go through setData, which refuses (and reports through editRefused) what cannot be
// booked: a date outside the booking year, an amount of 0, a text longer than its field.
class KontoauszugModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column {
        Buchen,
        Datum,
        Betrag,
        Gegenseite,
        Verwendung,
        EA,
        Konto,
        MwSt,
        Buchungstext,
        Beleg,
        Neutral,
        Regel,
        Hinweis,
        ColumnCount
    };

    KontoauszugModel(std::vector<ReviewRow> rows, const MasterLists& lists, int year, qint64 firstReceipt,
                     QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    std::vector<ReviewRow>& rows() { return m_rows; }
    const MasterLists& lists() const { return m_lists; }
    int year() const { return m_year; }

    // The entries a list column offers (E/A, Konto, MwSt, Buchungstext) for a row.
    QStringList choices(int row, int column) const;
    // Tells the views that rows changed outside setData (after posting or applying a rule).
    void refresh();
    int tickedCount() const;
    // Numbers the ticked rows with automatic receipts from the receipt proposal on.
    void renumber() { BankReview::numberReceipts(m_rows, m_firstReceipt); }

signals:
    void editRefused(const QString& message);

private:
    bool refuse(const QString& message);

    std::vector<ReviewRow> m_rows;
    MasterLists m_lists;
    int m_year = 0;
    qint64 m_firstReceipt = 1;  // the receipt proposal the automatic numbers start from
};
