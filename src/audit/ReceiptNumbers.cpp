// SPDX-License-Identifier: GPL-3.0-or-later
#include "audit/ReceiptNumbers.h"

#include <limits>

#include "audit/PeriodClosing.h"
#include "startup/BookingSchema.h"
#include "storage/DbfTable.h"

namespace audit {

namespace {

bool isLive(const QByteArray& record) {
    return !record.isEmpty() && record[0] != '*';
}

// A stored receipt of plain digits between blanks as its number, read from the bytes; nothing for any
// other text (those go through number()).
std::optional<qint64> plainNumber(const DbfTable& table, const QByteArray& record, int field) {
    const int at = table.fieldOffset(field);
    const int width = table.Fields(field).Size();
    if (at + width > record.size()) return std::nullopt;
    const char* p = record.constData() + at;
    int first = 0, end = width;
    while (first < end && p[first] == ' ') ++first;
    while (end > first && p[end - 1] == ' ') --end;
    if (first == end || end - first > 10) return std::nullopt;
    qint64 value = 0;
    for (int i = first; i < end; ++i) {
        if (p[i] < '0' || p[i] > '9') return std::nullopt;
        value = value * 10 + (p[i] - '0');
    }
    if (value > std::numeric_limits<qint32>::max()) return std::nullopt;
    return value;
}

}  // namespace

std::optional<qint64> ReceiptNumbers::number(const QString& beleg) {
    QStringView text(beleg);
    while (text.startsWith(QLatin1Char(' '))) text = text.mid(1);
    while (text.endsWith(QLatin1Char(' '))) text.chop(1);
    if (text.isEmpty()) return std::nullopt;
    bool ok = false;
    qint64 value = 0;
    if (text.startsWith(QLatin1Char('$')) || text.startsWith(QLatin1Char('x'), Qt::CaseInsensitive))
        value = text.mid(1).toLongLong(&ok, 16);
    else if (text.startsWith(QStringLiteral("0x"), Qt::CaseInsensitive))
        value = text.mid(2).toLongLong(&ok, 16);
    else
        value = text.toLongLong(&ok, 10);
    if (!ok || value < std::numeric_limits<qint32>::min() || value > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return value;
}

void ReceiptNumbers::clear() {
    m_texts.clear();
    m_numbers.clear();
}

void ReceiptNumbers::count(const QString& beleg, int by) {
    const QString key = beleg.trimmed();
    if (key.isEmpty()) return;
    // A numeric receipt counts by its number only: a text with that number is in use exactly when the
    // number is, so isUsed() needs the texts of the others alone (and a year numbered throughout keeps no
    // hash of a million texts).
    if (const auto n = number(key))
        countNumber(*n, by);
    else if ((m_texts[key] += by) <= 0)
        m_texts.remove(key);
}

void ReceiptNumbers::countNumber(qint64 n, int by) {
    // Numbers mostly come in ascending order: a new largest one goes to the end without a search.
    auto it = !m_numbers.empty() && n > m_numbers.rbegin()->first ? m_numbers.end() : m_numbers.lower_bound(n);
    if (it == m_numbers.end() || it->first != n) it = m_numbers.emplace_hint(it, n, 0);
    if ((it->second += by) <= 0) m_numbers.erase(it);
}

void ReceiptNumbers::count(const DbfTable& table, const QByteArray& record, int by) {
    if (const auto n = plainNumber(table, record, Booking::Beleg))
        countNumber(*n, by);
    else
        count(storedText(table, record, Booking::Beleg), by);
}

void ReceiptNumbers::load(const DbfTable& bookings) {
    clear();
    // A table of its own over the same file: the journal's filter hides bookings whose numbers count too.
    DbfTable all;
    all.setFilePath(bookings.FilePath());
    all.setTableName(bookings.TableName());
    all.setReadOnlyMode(true);
    all.Open();
    if (all.FieldCount() <= Booking::Beleg) return;
    for (int row = 0; row < all.RecordCount(); ++row)
        all.readRow(row, [&](const DbfTable& t) { count(t.Fields(Booking::Beleg).AsString(), 1); });
}

qint64 ReceiptNumbers::proposal() const {
    if (m_numbers.empty()) return 1;
    return std::max<qint64>(m_numbers.rbegin()->first, 0) + 1;
}

bool ReceiptNumbers::isUsed(const QString& beleg) const {
    const QString key = beleg.trimmed();
    if (key.isEmpty()) return false;
    if (m_texts.contains(key)) return true;
    const auto n = number(key);
    return n && m_numbers.count(*n) > 0;
}

std::optional<LogNote> ReceiptNumbers::overrideNote(const QString& typed, qint64 proposal) const {
    const QString key = typed.trimmed();
    if (key.isEmpty() || key == QString::number(proposal) || !isUsed(key)) return std::nullopt;
    return LogNote{QStringLiteral("Belegnummer"), -1,
                   QStringLiteral("Belegnummer %1 wurde von Hand ein weiteres Mal vergeben (vorgeschlagen war %2).")
                       .arg(key)
                       .arg(proposal)};
}

void ReceiptNumbers::apply(const DbfTable& table, const std::vector<TableChange>& changes, int direction) {
    if (table.FieldCount() <= Booking::Beleg) return;
    for (const TableChange& change : changes) {
        if (isLive(change.before)) count(table, change.before, -direction);
        if (isLive(change.after)) count(table, change.after, direction);
    }
}

void ReceiptNumbers::writing(const DbfTable& table, const std::vector<TableChange>& changes) {
    apply(table, changes, 1);
}

void ReceiptNumbers::undone(const DbfTable& table, const std::vector<TableChange>& changes) {
    apply(table, changes, -1);
}

}  // namespace audit
