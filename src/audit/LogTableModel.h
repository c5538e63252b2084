// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractTableModel>
#include <QDate>
#include <memory>
#include <vector>

#include "audit/LogReader.h"

namespace audit {

// The change log as a grid: one row per entry of the current selection, served on demand from the file.
class LogTableModel : public QAbstractTableModel {
public:
    enum Column { Nr, Zeit, Aktion, Datensatz, Vorher, Nachher, Version, ColumnCount };

    using QAbstractTableModel::QAbstractTableModel;

    // Reads the log (throws German errors); shows every entry.
    void open(const QString& logFile, const QString& bookingsFile);
    void close();
    // Only the entries about `record` (0-based, -1 every record) whose local date lies in from..to.
    void select(int record, const QDate& from, const QDate& to);
    qint64 totalCount() const { return m_reader ? m_reader->count() : 0; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    std::unique_ptr<LogReader> m_reader;
    std::vector<int> m_rows;
};

}  // namespace audit
