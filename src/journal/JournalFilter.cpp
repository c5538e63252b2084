// SPDX-License-Identifier: GPL-3.0-or-later
#include "journal/JournalFilter.h"

#include <QLocale>
#include <array>
#include <charconv>
#include <cmath>
#include <cstring>
#include <unordered_map>
#include <vector>

#include "journal/Booking.h"
#include "storage/DbfTable.h"
#include "storage/FieldCodec.h"
#include "storage/StorageError.h"

namespace {

inline char16_t upperAscii(char16_t c) {
    return (c >= u'a' && c <= u'z') ? char16_t(c - (u'a' - u'A')) : c;
}

// Whether `needle` (already upper-cased) occurs in `hay` after ASCII upper-casing, without copying hay.
template <typename Char>
bool containsUpper(const Char* hay, qsizetype hayLength, QStringView needle) {
    const qsizetype n = needle.size();
    if (n == 0) return true;
    if (n > hayLength) return false;
    const char16_t first = needle[0].unicode();
    const char16_t* rest = reinterpret_cast<const char16_t*>(needle.utf16()) + 1;
    for (qsizetype i = 0; i + n <= hayLength; ++i) {
        if (upperAscii(char16_t(hay[i])) != first) continue;
        qsizetype k = 1;
        while (k < n && upperAscii(char16_t(hay[i + k])) == rest[k - 1]) ++k;
        if (k == n) return true;
    }
    return false;
}

bool containsUpper(const QString& hay, QStringView needle) {
    return containsUpper(reinterpret_cast<const char16_t*>(hay.utf16()), hay.size(), needle);
}

}  // namespace

// Shared between the filter object and the callback installed in the table.
struct JournalFilter::State {
    QString filtertext;
    bool periodFilter = false;
    Zeitraum zeitraum;
    bool filtering = false;

    // What the renderings depend on: the default locale. Everything below is rebuilt when it changes.
    mutable QLocale locale;
    mutable bool localeKnown = false;
    mutable bool plainNumbers = false;  // ASCII digits and a one-character decimal separator
    mutable char decimalPoint = '.';
    mutable bool numbersCanMatch = true;  // filtertext could occur in the text of a number
    // Whether the text of a date contains filtertext, by the date's eight stored bytes: a year has few
    // distinct dates, and the text of a date depends on nothing but its bytes and the locale.
    mutable std::unordered_map<quint64, bool> dateMatches;

    // The table's field layout, read once per opening of the file (its layout stamp). Text fields are
    // searched in their stored bytes: the code page reads every byte as one character, so upper-casing
    // what each byte reads as and comparing with filtertext finds exactly what searching the field's
    // text would, without building the text.
    struct Column {
        FieldType type;
        int offset;
        int width;
    };
    mutable quint64 layoutStamp = 0;
    mutable std::vector<Column> columns;
    mutable std::array<char16_t, 256> upperOf{};

    void learnLayout(const DbfTable& table) const {
        if (table.layoutStamp() == layoutStamp && layoutStamp != 0) return;
        columns.clear();
        for (int p = 0; p < table.FieldCount(); ++p) {
            const DbfField& field = table.Fields(p);
            columns.push_back({field.DataType(), table.fieldOffset(p), field.Size()});
        }
        for (int b = 0; b < 256; ++b) upperOf[size_t(b)] = upperAscii(table.codePage().character(uchar(b)));
        dateMatches.clear();
        layoutStamp = table.layoutStamp();
    }

    void settle() const {
        const QLocale current;
        if (localeKnown && current == locale) return;
        locale = current;
        localeKnown = true;
        dateMatches.clear();
        const QString point = locale.decimalPoint();
        plainNumbers = locale.zeroDigit() == QLatin1String("0") && locale.negativeSign() == QLatin1String("-") &&
                       point.size() == 1 && point[0].unicode() < 128;
        decimalPoint = plainNumbers ? char(point[0].unicode()) : '.';
        numbersCanMatch = true;
        if (plainNumbers) {
            // Every character a number's text can hold: digits, signs, separator, exponent, INF/NAN.
            for (QChar c : filtertext) {
                const char16_t u = c.unicode();
                const bool possible = (u >= u'0' && u <= u'9') || u == u'-' || u == u'+' || u == u'E' || u == u'I' ||
                                      u == u'N' || u == u'F' || u == u'A' || u == u'.' || u == u',' ||
                                      u == char16_t(decimalPoint);
                if (!possible) {
                    numbersCanMatch = false;
                    break;
                }
            }
        }
    }

    void setFiltertext(const QString& text) {
        filtertext = text;
        localeKnown = false;  // numbersCanMatch depends on the text
    }

    // A text field's stored bytes, trailing blanks dropped as reading them does; filtertext is not empty.
    bool textContains(const char* bytes, int width) const {
        while (width > 0 && (bytes[width - 1] == ' ' || bytes[width - 1] == '\0')) --width;
        const qsizetype n = filtertext.size();
        if (n > width) return false;
        const char16_t* needle = reinterpret_cast<const char16_t*>(filtertext.utf16());
        const auto* hay = reinterpret_cast<const uchar*>(bytes);
        for (qsizetype i = 0; i + n <= width; ++i) {
            if (upperOf[hay[i]] != needle[0]) continue;
            qsizetype k = 1;
            while (k < n && upperOf[hay[i + k]] == needle[k]) ++k;
            if (k == n) return true;
        }
        return false;
    }

    bool dateContains(const DbfField& field, const char* bytes) const {
        quint64 key = 0;
        std::memcpy(&key, bytes, sizeof key);
        const auto it = dateMatches.find(key);
        if (it != dateMatches.end()) return it->second;
        const bool match = containsUpper(field.AsString(), filtertext);
        if (dateMatches.size() > 50000) dateMatches.clear();
        dateMatches.emplace(key, match);
        return match;
    }

    // Numbers are rendered here without building a QString: the general form of a double with up to 15
    // significant digits is what to_chars writes in fixed notation. Zero, values the fast form would write
    // with an exponent, and locales with other digits take the table's own rendering.
    bool floatContains(const DbfField& field) const {
        if (!numbersCanMatch || field.IsNull()) return false;
        const double value = field.AsFloat();
        if (!plainNumbers || value == 0 || !(std::fabs(value) < 1e15)) {
            return containsUpper(field.AsString(), filtertext);
        }
        char buf[48];
        const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 15);
        for (char* p = buf; p != res.ptr; ++p) {
            if (*p == 'e') return containsUpper(field.AsString(), filtertext);
            if (*p == '.') *p = decimalPoint;
        }
        return containsUpper(buf, res.ptr - buf, filtertext);
    }

    // Integer fields show the whole part of the stored number in decimal.
    bool integerContains(const DbfField& field) const {
        if (!numbersCanMatch || field.IsNull()) return false;
        const double value = field.AsFloat();
        if (!plainNumbers || value == 0 || !(std::fabs(value) < 1e15)) {
            return containsUpper(field.AsString(), filtertext);
        }
        char buf[24];
        const auto res = std::to_chars(buf, buf + sizeof buf, static_cast<qint64>(value));
        return containsUpper(buf, res.ptr - buf, filtertext);
    }

    bool fieldContains(const DbfTable& table, int p, const char* record) const {
        const Column& column = columns[size_t(p)];
        switch (column.type) {
            case FieldType::String:
                return textContains(record + column.offset, column.width);
            case FieldType::Date:
                if (column.width == 8) return dateContains(table.Fields(p), record + column.offset);
                return containsUpper(table.Fields(p).AsString(), filtertext);
            case FieldType::Float:
                return numbersCanMatch && floatContains(table.Fields(p));
            case FieldType::Integer:
                return numbersCanMatch && integerContains(table.Fields(p));
        }
        return containsUpper(table.Fields(p).AsString(), filtertext);
    }

    bool accepts(const DbfTable& table) const {
        learnLayout(table);
        const int count = int(columns.size());
        const char* record = table.recordBytes();
        if (periodFilter) {
            double datum = 0;
            try {
                if (count > Booking::Datum) {
                    const Column& date = columns[Booking::Datum];
                    datum = date.type == FieldType::Date && date.width == 8
                                ? FieldCodec::dayNumber(record + date.offset)
                                : table.Fields(Booking::Datum).AsDateTime();
                }
            } catch (const QuorvelError&) {
                datum = 0;  // an unreadable date counts as empty
            }
            if (!zeitraum.contains(datum)) return false;
        }
        if (filtertext.isEmpty()) return true;
        settle();
        for (int p = 0; p < count; ++p) {
            try {
                if (fieldContains(table, p, record)) return true;
            } catch (const QuorvelError&) {
                // A value the table cannot render contains nothing; the other fields still count.
            }
        }
        return false;
    }
};

JournalFilter::JournalFilter() : m_state(std::make_shared<State>()) {}

JournalFilter::~JournalFilter() = default;

QString JournalFilter::asciiUpper(const QString& text) {
    QString result = text;
    for (QChar& c : result) {
        const char16_t u = c.unicode();
        if (u >= u'a' && u <= u'z') c = QChar(char16_t(u - (u'a' - u'A')));
    }
    return result;
}

void JournalFilter::switchFiltering(DbfTable& bookings, bool on) {
    std::shared_ptr<const State> state = m_state;
    bookings.setOnFilterRecord([state](const DbfTable& table) { return state->accepts(table); });
    // Off first: switching to the value the table already has would not re-evaluate the records.
    bookings.setFiltered(false);
    m_state->filtering = on;
    if (on) bookings.setFiltered(true);
}

void JournalFilter::attachTo(DbfTable& bookings) {
    switchFiltering(bookings, m_state->filtering);
}

void JournalFilter::startUp(DbfTable& bookings, bool periodFilter, const Zeitraum& zeitraum) {
    m_state->setFiltertext(QString());
    m_state->periodFilter = periodFilter;
    m_state->zeitraum = zeitraum;
    switchFiltering(bookings, periodFilter);
}

void JournalFilter::FilterbtnClick(DbfTable& bookings, const QString& editText) {
    bookings.setFiltered(false);
    m_state->setFiltertext(asciiUpper(editText));
    switchFiltering(bookings, !m_state->filtertext.isEmpty() || m_state->periodFilter);
}

void JournalFilter::AllezeigenBtnClick(DbfTable& bookings) {
    bookings.setFiltered(false);
    m_state->setFiltertext(QString());
    switchFiltering(bookings, m_state->periodFilter);
}

void JournalFilter::FilternnachZeitraumToggled(DbfTable& bookings, bool nowChecked, const QString& editText) {
    bookings.setFiltered(false);
    m_state->periodFilter = nowChecked;
    switchFiltering(bookings, !asciiUpper(editText).isEmpty() || nowChecked);
}

void JournalFilter::periodChanged(DbfTable& bookings, const Zeitraum& zeitraum) {
    m_state->zeitraum = zeitraum;
    if (m_state->periodFilter) switchFiltering(bookings, true);
}

void JournalFilter::setZeitraum(const Zeitraum& zeitraum) {
    m_state->zeitraum = zeitraum;
}

const QString& JournalFilter::filtertext() const {
    return m_state->filtertext;
}
bool JournalFilter::periodFilter() const {
    return m_state->periodFilter;
}
const Zeitraum& JournalFilter::zeitraum() const {
    return m_state->zeitraum;
}
bool JournalFilter::filtering() const {
    return m_state->filtering;
}

bool JournalFilter::accepts(const DbfTable& bookings) const {
    return m_state->accepts(bookings);
}

void JournalFilter::withTextFilterOnly(DbfTable& bookings, const std::function<void()>& walk) {
    if (!m_state->periodFilter) {
        walk();
        return;
    }
    const bool filtering = m_state->filtering;
    struct Restore {
        JournalFilter& filter;
        DbfTable& table;
        bool filtering;
        ~Restore() {
            filter.m_state->periodFilter = true;
            try {
                filter.switchFiltering(table, filtering);
            } catch (...) {
                // Re-evaluating the same records cannot fail where it just succeeded; never throw here.
            }
        }
    } restore{*this, bookings, filtering};
    m_state->periodFilter = false;
    switchFiltering(bookings, !m_state->filtertext.isEmpty());
    walk();
}
