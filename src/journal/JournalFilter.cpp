#include "journal/JournalFilter.h"

#include <QLocale>
#include <charconv>
#include <cmath>
#include <unordered_map>

#include "journal/Booking.h"
#include "storage/DbfTable.h"
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
    // Rendered (upper-cased) text of a date by its day number: a year has few distinct dates, and the text
    // of a day depends on nothing but the locale.
    mutable std::unordered_map<qint64, QString> dateTexts;

    void settle() const {
        const QLocale current;
        if (localeKnown && current == locale) return;
        locale = current;
        localeKnown = true;
        dateTexts.clear();
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

    bool dateContains(const DbfField& field) const {
        if (field.IsNull()) return false;
        const double day = field.AsDateTime();
        // Day 0 is also what an unreadable date reads as; ask the table for those every time.
        if (day == 0 || day != std::floor(day) || std::fabs(day) > 1e8) {
            return containsUpper(field.AsString(), filtertext);
        }
        const auto key = static_cast<qint64>(day);
        auto it = dateTexts.find(key);
        if (it == dateTexts.end()) {
            if (dateTexts.size() > 50000) dateTexts.clear();
            it = dateTexts.emplace(key, asciiUpper(field.AsString())).first;
        }
        return it->second.contains(filtertext);
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

    bool fieldContains(const DbfField& field) const {
        switch (field.DataType()) {
            case FieldType::String:
                return containsUpper(field.AsString(), filtertext);
            case FieldType::Date:
                return dateContains(field);
            case FieldType::Float:
                return floatContains(field);
            case FieldType::Integer:
                return integerContains(field);
        }
        return containsUpper(field.AsString(), filtertext);
    }

    bool accepts(const DbfTable& table) const {
        const int count = table.FieldCount();
        if (periodFilter) {
            double datum = 0;
            try {
                if (count > Booking::Datum) datum = table.Fields(Booking::Datum).AsDateTime();
            } catch (const QuorvelError&) {
                datum = 0;  // an unreadable date counts as empty
            }
            if (!zeitraum.contains(datum)) return false;
        }
        if (filtertext.isEmpty()) return true;
        settle();
        for (int p = 0; p < count; ++p) {
            try {
                if (fieldContains(table.Fields(p))) return true;
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
