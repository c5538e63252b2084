// SPDX-License-Identifier: GPL-3.0-or-later
#include "audit/LogTableModel.h"

#include <QDateTime>
#include <numeric>

namespace audit {

void LogTableModel::open(const QString& logFile, const QString& bookingsFile) {
    auto reader = std::make_unique<LogReader>(logFile, bookingsFile);
    beginResetModel();
    m_reader = std::move(reader);
    m_rows.resize(size_t(m_reader->count()));
    std::iota(m_rows.begin(), m_rows.end(), 0);
    endResetModel();
}

void LogTableModel::close() {
    beginResetModel();
    m_reader.reset();
    m_rows.clear();
    m_rows.shrink_to_fit();
    endResetModel();
}

void LogTableModel::select(int record, const QDate& from, const QDate& to) {
    if (!m_reader) return;
    std::vector<int> rows = m_reader->select(record, from, to);
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

int LogTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_rows.size());
}

int LogTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant LogTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= int(m_rows.size()) || !m_reader) return {};
    if (role == Qt::TextAlignmentRole && (index.column() == Nr || index.column() == Datensatz))
        return QVariant(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
    const LogEntry e = m_reader->entry(m_rows[size_t(index.row())]);
    switch (index.column()) {
        case Nr:
            return e.number;
        case Zeit: {
            const QDateTime local = QDateTime::fromString(e.local, Qt::ISODateWithMs);
            return local.isValid() ? local.toString(QStringLiteral("dd.MM.yyyy hh:mm:ss")) : e.local;
        }
        case Aktion:
            return e.action;
        case Datensatz:
            return e.record() >= 0 ? QVariant(e.record() + 1) : QVariant(QString());
        case Vorher:
            return m_reader->describe(e.before);
        case Nachher:
            if (e.kind == LogEntry::Kind::Note) return e.noteText();
            if (e.kind == LogEntry::Kind::Start)
                return QStringLiteral("%1 Buchungen vorgefunden, SHA-256 %2")
                    .arg(e.satz)
                    .arg(QString::fromLatin1(e.after));
            return m_reader->describe(e.after);
        case Version:
            return e.version;
        default:
            return {};
    }
}

QVariant LogTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    static const char* const titles[] = {"Nr.", "Zeit", "Aktion", "Datensatz", "Vorher", "Nachher", "Version"};
    return section >= 0 && section < ColumnCount ? QString::fromUtf8(titles[section]) : QVariant();
}

}  // namespace audit
