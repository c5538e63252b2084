// SPDX-License-Identifier: GPL-3.0-or-later
#include "exchange/CsvFormat.h"

namespace CsvFormat {

namespace {

const QChar kQuote = QLatin1Char('"');
const QChar kSemicolon = QLatin1Char(';');
const QChar kComma = QLatin1Char(',');
const QChar kBackslash = QLatin1Char('\\');

// Where `c` first stands in `line` from `from` on, or -1: a plain loop, as values are short.
qsizetype find(const QString& line, QChar c, qsizetype from) {
    const QChar* p = line.constData();
    const char16_t unit = c.unicode();
    for (qsizetype i = from, n = line.size(); i < n; ++i)
        if (p[i].unicode() == unit) return i;
    return -1;
}

// The next value slot of `values`, emptied; its room is kept when no other string shares it.
QString& nextSlot(std::vector<QString>& values, int& count) {
    if (size_t(count) == values.size()) values.emplace_back();
    QString& value = values[size_t(count++)];
    if (value.isDetached())
        value.resize(0);
    else
        value = QString();
    return value;
}

int splitPlain(const QString& line, std::vector<QString>& values) {
    const QStringView text(line);
    const qsizetype n = line.size();
    int count = 0;
    for (qsizetype pos = 0;;) {
        const qsizetype end = find(line, kSemicolon, pos);
        nextSlot(values, count).append(text.mid(pos, (end < 0 ? n : end) - pos));
        if (end < 0) break;
        pos = end + 1;
    }
    if (count > 1 && values[size_t(count - 1)].isEmpty()) --count;
    return count;
}

// A quoted value starting at `pos` (on the opening quote), appended to `value` unless that is null. Returns the
// position after the closing quote, or the line's length when the quote is never closed (the rest of the line
// is the value then).
qsizetype readQuoted(const QString& line, qsizetype pos, QString* value) {
    ++pos;
    const qsizetype n = line.size();
    const QStringView text(line);
    while (pos < n) {
        const qsizetype quote = find(line, kQuote, pos);
        const qsizetype end = quote < 0 ? n : quote;
        if (value) value->append(text.mid(pos, end - pos));
        if (quote < 0) return n;
        if (quote + 1 < n && line[quote + 1] == kQuote) {
            if (value) value->append(kQuote);
            pos = quote + 2;
            continue;
        }
        return quote + 1;
    }
    return n;
}

// The separator of a quoted line: ";" unless the first quoted value is directly followed (after blanks)
// by a comma, as in files that quote every value and separate them with commas.
QChar separatorOf(const QString& line) {
    qsizetype pos = readQuoted(line, 0, nullptr);
    while (pos < line.size() && line[pos] == QLatin1Char(' ')) ++pos;
    return pos < line.size() && line[pos] == kComma ? kComma : kSemicolon;
}

int splitQuoted(const QString& line, std::vector<QString>& values) {
    const QChar separator = separatorOf(line);
    const qsizetype n = line.size();
    int count = 0;
    qsizetype pos = 0;
    while (pos < n) {
        QString& value = nextSlot(values, count);
        if (line[pos] == kQuote) {
            pos = readQuoted(line, pos, &value);
            // Text between the closing quote and the separator belongs to the value (blanks excepted).
            const qsizetype end = find(line, separator, pos);
            const QStringView rest = QStringView(line).mid(pos, (end < 0 ? n : end) - pos);
            if (!rest.trimmed().isEmpty()) value += rest;
            pos = end < 0 ? n : end;
        } else {
            const qsizetype end = find(line, separator, pos);
            value.append(QStringView(line).mid(pos, (end < 0 ? n : end) - pos));
            pos = end < 0 ? n : end;
        }
        if (pos < n) ++pos;  // the separator
    }
    return count;
}

}  // namespace

int splitLine(const QString& line, std::vector<QString>& values) {
    if (line.isEmpty()) return 0;
    return line.front() == kQuote ? splitQuoted(line, values) : splitPlain(line, values);
}

QStringList splitLine(const QString& line) {
    std::vector<QString> values;
    const int count = splitLine(line, values);
    QStringList out;
    out.reserve(count);
    for (int i = 0; i < count; ++i) out.append(std::move(values[size_t(i)]));
    return out;
}

QString unescape(const QString& value) {
    const qsizetype first = find(value, kBackslash, 0);
    if (first < 0) return value;
    QString out = value.left(first);
    out.reserve(value.size());
    const qsizetype n = value.size();
    for (qsizetype i = first; i < n; ++i) {
        const QChar c = value[i];
        if (c != kBackslash || i + 1 == n) {
            out += c;
            continue;
        }
        const QChar next = value[i + 1];
        if (next == QLatin1Char('r')) {
            out += QLatin1Char('\r');
            ++i;
        } else if (next == QLatin1Char('n')) {
            out += QLatin1Char('\n');
            ++i;
        } else if (next == kBackslash) {
            out += kBackslash;
            ++i;
        } else {
            out += c;  // stays, the next character follows as it is
        }
    }
    return out;
}

QString escape(const QString& value) {
    QString out;
    out.reserve(value.size() + 8);
    for (const QChar c : value) {
        if (c == kBackslash)
            out += QStringLiteral("\\\\");
        else if (c == QLatin1Char('\r'))
            out += QStringLiteral("\\r");
        else if (c == QLatin1Char('\n'))
            out += QStringLiteral("\\n");
        else
            out += c;
    }
    return out;
}

void appendQuoted(QString& out, const QString& value) {
    out += kQuote;
    out += escape(value).replace(kQuote, QStringLiteral("\"\""));
    out += kQuote;
}

}  // namespace CsvFormat
