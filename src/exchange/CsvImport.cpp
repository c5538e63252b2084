// SPDX-License-Identifier: GPL-3.0-or-later
#include "exchange/CsvImport.h"

#include <QFile>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <future>
#include <iterator>
#include <limits>
#include <optional>
#include <system_error>
#include <vector>

#include "exchange/CsvFormat.h"
#include "exchange/CsvValues.h"
#include "journal/Booking.h"
#include "storage/CodePage.h"
#include "storage/DbfAppendBatch.h"
#include "storage/DbfTable.h"
#include "storage/FieldCodec.h"
#include "storage/StorageError.h"

namespace {

constexpr int kProgressEvery = 512;
constexpr int kKeyFields = Booking::Brutto + 1;  // date, kind, receipt, text, gross
constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                   1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};

// One value of a line, read for its field.
struct Value {
    enum Kind : quint8 { Empty, Text, Number, Whole, Date } kind = Empty;
    QString text;
    double number = 0;
    int whole = 0;
    QDate date;
};

// The lines of a file one after another: position, number and decoded text.
// True when the bytes hold characters beyond ASCII and all of them form valid UTF-8. Text in code page
// 1252 almost never does (an umlaut there is a single byte ≥ 0x80 followed by a letter), so such a file
// without a byte order mark, as banks and spreadsheets write it, is read as UTF-8 rather than as
// "MÃ¼ller". Plain ASCII reads the same either way.
bool isUtf8Text(const QByteArray& bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
    const auto* end = p + bytes.size();
    bool beyondAscii = false;
    while (p < end) {
        if (end - p >= 8) {
            quint64 word;
            std::memcpy(&word, p, 8);
            if ((word & 0x8080808080808080ULL) == 0) {
                p += 8;
                continue;
            }
        }
        const unsigned char c = *p;
        if (c < 0x80) {
            ++p;
            continue;
        }
        beyondAscii = true;
        int more = 0;
        unsigned minimum = 0;
        if (c >= 0xC2 && c <= 0xDF) {
            more = 1;
            minimum = 0x80;
        } else if (c >= 0xE0 && c <= 0xEF) {
            more = 2;
            minimum = 0x800;
        } else if (c >= 0xF0 && c <= 0xF4) {
            more = 3;
            minimum = 0x10000;
        } else {
            return false;
        }
        if (end - p <= more) return false;
        unsigned code = c & (0x3F >> more);
        for (int i = 1; i <= more; ++i) {
            if ((p[i] & 0xC0) != 0x80) return false;
            code = (code << 6) | (p[i] & 0x3F);
        }
        if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
        p += more + 1;
    }
    return beyondAscii;
}

class LineWalk {
public:
    explicit LineWalk(const QByteArray& bytes) : m_bytes(bytes) {
        const bool marked = bytes.startsWith("\xEF\xBB\xBF");
        m_utf8 = marked || isUtf8Text(bytes);
        m_pos = marked ? 3 : 0;
    }
    // A walk of the same file from `pos` (a line's start), `number` lines already behind it.
    LineWalk from(qint64 pos, int number) const { return LineWalk(m_bytes, m_utf8, pos, number); }
    // Where the line `lines` lines after the one at `pos` starts (the end of the file at most).
    qint64 skip(qint64 pos, int lines) const {
        for (; lines > 0 && pos < m_bytes.size(); --lines) {
            const qint64 end = m_bytes.indexOf('\n', pos);
            pos = end < 0 ? m_bytes.size() : end + 1;
        }
        return pos;
    }
    bool next() {
        if (m_pos >= m_bytes.size()) return false;
        m_start = m_pos;
        qint64 end = m_bytes.indexOf('\n', m_pos);
        if (end < 0) end = m_bytes.size();
        qint64 length = end - m_pos;
        if (length > 0 && m_bytes[m_pos + length - 1] == '\r') --length;
        if (m_utf8) {
            m_line = decode(m_pos, length);
        } else {
            // The line's string is used again for the next line (the reader keeps none of it whole).
            if (!m_line.isDetached()) m_line = QString();
            m_line.resize(length);
            m_codePage.decodeInto(m_bytes.constData() + m_pos, int(length), reinterpret_cast<char16_t*>(m_line.data()));
        }
        m_pos = end + 1;
        ++m_number;
        return true;
    }
    // The text of the line that starts at `start` (a position next() gave), without moving the walk.
    QString lineAt(qint64 start) const {
        qint64 end = m_bytes.indexOf('\n', start);
        if (end < 0) end = m_bytes.size();
        qint64 length = end - start;
        if (length > 0 && m_bytes[start + length - 1] == '\r') --length;
        return decode(start, length);
    }
    const QString& line() const { return m_line; }
    int number() const { return m_number; }
    qint64 start() const { return m_start; }
    qint64 pos() const { return std::min<qint64>(m_pos, m_bytes.size()); }

private:
    LineWalk(const QByteArray& bytes, bool utf8, qint64 pos, int number)
        : m_bytes(bytes), m_utf8(utf8), m_pos(pos), m_number(number) {}
    QString decode(qint64 start, qint64 length) const {
        return m_utf8 ? QString::fromUtf8(m_bytes.constData() + start, length)
                      : m_codePage.decode(m_bytes.constData() + start, int(length));
    }
    const QByteArray& m_bytes;
    const CodePage m_codePage{1252};
    bool m_utf8 = false;
    qint64 m_pos = 0;
    qint64 m_start = 0;
    int m_number = 0;
    QString m_line;
};

// Reads the values of a line for the fields of the bookings table and builds the key by which two
// bookings count as the same: the stored bytes of date, kind, receipt and text (trailing blanks aside)
// and the gross as the number it reads back as.
class LineReader {
public:
    explicit LineReader(const DbfTable& table) : m_table(table), m_fieldCount(table.FieldCount()) {
        m_values.resize(size_t(m_fieldCount));
        for (int i = 0; i < m_fieldCount; ++i) {
            const DbfField& f = table.Fields(i);
            m_types.push_back(f.DataType());
            m_required.push_back((i == Booking::Datum && f.FieldName() == QLatin1String("DATUM")) ||
                                 (i == Booking::Art && f.FieldName() == QLatin1String("ART")) ||
                                 (i == Booking::Brutto && f.FieldName() == QLatin1String("BRUTTO")));
        }
        m_keyFields = std::min(kKeyFields, m_fieldCount);
        m_record.fill(' ', table.recordLength());
    }

    enum class Outcome { Empty, Refused, Ok };

    // Reads one line into values(). Problems go to `refused` (and texts cut to their field to `shortened`
    // when given); surplus tells whether non-empty values were dropped beyond the last field.
    Outcome read(const QString& line, int lineNumber, int bookingYear, std::vector<CsvImportIssue>* refused,
                 std::vector<CsvImportIssue>* shortened, bool* surplus) {
        const int count = CsvFormat::splitLine(line, m_raw);
        const std::vector<QString>& raw = m_raw;
        if (std::all_of(raw.cbegin(), raw.cbegin() + count,
                        [](const QString& v) { return QStringView(v).trimmed().isEmpty(); }))
            return Outcome::Empty;
        bool ok = true;
        *surplus = false;
        for (int i = 0; i < std::max(count, m_fieldCount); ++i) {
            if (i >= m_fieldCount) {
                if (!QStringView(raw[size_t(i)]).trimmed().isEmpty()) *surplus = true;
                continue;
            }
            const QString text = i < count ? CsvFormat::unescape(raw[size_t(i)]) : QString();
            QString why;
            if (!readValue(i, text, bookingYear, &why)) {
                ok = false;
                if (refused) refused->push_back({lineNumber, i + 1, m_table.Fields(i).FieldName(), text, why});
            } else if (shortened && m_values[size_t(i)].kind == Value::Text &&
                       m_values[size_t(i)].text.size() > m_table.Fields(i).Size() &&
                       m_table.codePage().encode(m_values[size_t(i)].text).size() > m_table.Fields(i).Size()) {
                shortened->push_back({lineNumber, i + 1, m_table.Fields(i).FieldName(), text, {}});
            }
        }
        return ok ? Outcome::Ok : Outcome::Refused;
    }

    const std::vector<Value>& values() const { return m_values; }
    // The lines read from now on were accepted by a first reading: what only refuses is not checked again.
    void setReadBefore() { m_readBefore = true; }

    // The key of the values just read.
    const QByteArray& lineKey() {
        for (int i = 0; i < m_keyFields; ++i) encode(i, m_record.data() + m_table.fieldOffset(i));
        keyOf(m_record.constData(), m_key);
        return m_key;
    }

    // The values just read as the table stores them: the bytes the field setters would write.
    const char* encodeRecord() {
        for (int i = 0; i < m_fieldCount; ++i) encode(i, m_record.data() + m_table.fieldOffset(i));
        return m_record.constData();
    }

    // The key of a stored record.
    void keyOf(const char* record, QByteArray& key) const {
        key.resize(0);  // keeps its room
        for (int i = 0; i < m_keyFields; ++i) {
            const DbfField& f = m_table.Fields(i);
            const char* p = record + m_table.fieldOffset(i);
            if (m_types[size_t(i)] == FieldType::Float || m_types[size_t(i)] == FieldType::Integer) {
                double v = 0;
                const bool present = FieldCodec::readNumber(p, f.Size(), &v);
                if (v == 0) v = 0;  // -0 and 0 are the same amount
                key += present ? 'n' : 'e';
                key.append(reinterpret_cast<const char*>(&v), sizeof v);
            } else {
                int length = f.Size();
                while (length > 0 && (p[length - 1] == ' ' || p[length - 1] == '\0')) --length;
                key.append(p, length);
                key += '\x1f';
            }
        }
    }

private:
    bool readValue(int i, const QString& text, int bookingYear, QString* why) {
        Value& v = m_values[size_t(i)];
        v.kind = Value::Empty;
        const bool blank = QStringView(text).trimmed().isEmpty();
        switch (m_types[size_t(i)]) {
            case FieldType::String: {
                if (i == Booking::Art && m_required[size_t(i)]) {
                    v.kind = Value::Text;
                    v.text = text.trimmed();
                    if (Booking::isKind(v.text)) return true;
                    *why = blank ? QStringLiteral("keine Buchungsart angegeben (erlaubt sind E, A, N und S)")
                                 : QStringLiteral("ist keine Buchungsart (erlaubt sind E, A, N und S)");
                    return false;
                }
                v.kind = Value::Text;
                v.text = CsvValues::restore(text);
                if (m_readBefore) return true;
                const QStringList lost = m_table.codePage().unencodable(v.text, m_table.Fields(i).Size());
                if (lost.isEmpty()) return true;
                *why = QStringLiteral("enthält Zeichen, die die Tabelle nicht speichern kann: %1")
                           .arg(lost.join(QStringLiteral(" ")));
                return false;
            }
            case FieldType::Date: {
                if (blank) {
                    if (!m_required[size_t(i)]) return true;
                    *why = QStringLiteral("kein Datum angegeben");
                    return false;
                }
                const std::optional<QDate> date = CsvValues::readDate(text, bookingYear);
                if (date && date->year() >= 1 && date->year() <= 9999) {
                    v.kind = Value::Date;
                    v.date = *date;
                    return true;
                }
                *why = QStringLiteral("ist kein Datum (erwartet z.B. 16.04.2026 oder 2026-04-16)");
                return false;
            }
            case FieldType::Float: {
                if (blank) {
                    if (!m_required[size_t(i)]) return true;
                    *why = QStringLiteral("kein Betrag angegeben");
                    return false;
                }
                const std::optional<double> amount = CsvValues::readAmount(text);
                if (!amount) {
                    *why = i == Booking::Brutto && m_required[size_t(i)]
                               ? QStringLiteral("ist kein eindeutiger Betrag (erwartet z.B. 119,50 oder 1.234,56)")
                               : QStringLiteral("ist keine eindeutige Zahl (erwartet z.B. 19 oder 7,5)");
                    return false;
                }
                v.kind = Value::Number;
                v.number = *amount;
                return fits(i, v.number, why);
            }
            case FieldType::Integer: {
                if (blank) return true;
                const std::optional<int> whole = CsvValues::readWholeNumber(text);
                if (!whole) {
                    *why = QStringLiteral("ist keine ganze Zahl in Dezimalziffern");
                    return false;
                }
                v.kind = Value::Whole;
                v.whole = *whole;
                return fits(i, double(v.whole), why);
            }
        }
        return false;
    }

    bool fits(int i, double value, QString* why) const {
        const DbfField& f = m_table.Fields(i);
        // Sign, digits before the point, the point and the decimals within the width: it fits.
        const int whole = f.Size() - (f.Decimals() > 0 ? f.Decimals() + 1 : 0) - 1;
        if (whole > 0 && whole < 16 && std::fabs(value) < kPowersOfTen[whole] - 1) return true;
        QByteArray bytes(f.Size(), ' ');
        QString reason;
        if (FieldCodec::encodeNumber(value, f.Size(), f.Decimals(), bytes.data(), &reason)) return true;
        *why = QStringLiteral("passt nicht in das Feld (%1)").arg(reason);
        return false;
    }

    // The value of field i as the table stores it.
    void encode(int i, char* out) const {
        const DbfField& f = m_table.Fields(i);
        const Value& v = m_values[size_t(i)];
        QString reason;
        switch (v.kind) {
            case Value::Empty:
                std::memset(out, ' ', size_t(f.Size()));
                break;
            case Value::Text:
                m_table.codePage().encodeInto(v.text, out, f.Size());
                break;
            case Value::Date: {
                // YYYYMMDD, as the table writes it.
                int y = 0, m = 0, d = 0;
                v.date.getDate(&y, &m, &d);
                for (int k = 3; k >= 0; --k, y /= 10) out[k] = char('0' + y % 10);
                out[4] = char('0' + m / 10);
                out[5] = char('0' + m % 10);
                out[6] = char('0' + d / 10);
                out[7] = char('0' + d % 10);
                break;
            }
            case Value::Number:
                FieldCodec::encodeNumber(v.number, f.Size(), f.Decimals(), out, &reason);
                break;
            case Value::Whole:
                FieldCodec::encodeNumber(double(v.whole), f.Size(), f.Decimals(), out, &reason);
                break;
        }
    }

    const DbfTable& m_table;
    bool m_readBefore = false;
    int m_fieldCount = 0;
    int m_keyFields = 0;
    std::vector<FieldType> m_types;
    std::vector<bool> m_required;
    std::vector<Value> m_values;
    std::vector<QString> m_raw;  // the values of the line, before the escapes
    QByteArray m_record;
    QByteArray m_key;
};

// What the first reading decided for each line.
enum LineStatus : quint8 { Skip, Post, Duplicate };

// Where each key was first seen, by the key's hash: a visible row of the table (>= 0) or the line starting at
// byte -(n + 1). One array with room for twice the keys expected, a key in the first free place from its
// hash on: no allocation per key, and a look-up mostly reads one place.
class FirstSeen {
public:
    explicit FirstSeen(size_t expected) { m_slots.resize(sizeFor(expected), Slot{}); }

    void add(size_t hash, qint64 where) {
        if (2 * (m_count + 1) > m_slots.size()) {
            std::vector<Slot> old(sizeFor(m_slots.size()), Slot{});
            old.swap(m_slots);
            for (const Slot& s : old)
                if (s.where != kFree) place(s.hash, s.where);
        }
        place(hash, where);
        ++m_count;
    }
    // Whether `same` is true for one of the places seen with `hash` (asked in the order they were added).
    template <class Same>
    bool any(size_t hash, Same same) const {
        const size_t mask = m_slots.size() - 1;
        for (size_t i = hash & mask;; i = (i + 1) & mask) {
            const Slot& s = m_slots[i];
            if (s.where == kFree) return false;
            if (s.hash == hash && same(s.where)) return true;
        }
    }

private:
    static constexpr qint64 kFree = std::numeric_limits<qint64>::min();
    struct Slot {
        size_t hash = 0;
        qint64 where = kFree;
    };
    static size_t sizeFor(size_t keys) {
        size_t size = 16;
        while (size < 2 * keys) size *= 2;
        return size;
    }
    void place(size_t hash, qint64 where) {
        const size_t mask = m_slots.size() - 1;
        size_t i = hash & mask;
        while (m_slots[i].where != kFree) i = (i + 1) & mask;
        m_slots[i] = {hash, where};
    }
    std::vector<Slot> m_slots;
    size_t m_count = 0;
};

// Lets the walk over the stored bookings see every booking of the year, whatever the journal filter shows.
class UnfilteredScope {
public:
    explicit UnfilteredScope(DbfTable& table) : m_table(table), m_was(table.Filtered()) {
        if (m_was) m_table.setFiltered(false);
    }
    ~UnfilteredScope() {
        if (m_was) m_table.setFiltered(true);
    }

private:
    DbfTable& m_table;
    bool m_was;
};

}  // namespace

QByteArray CsvImport::readFile(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) throw QuorvelError(openErrorText);
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) throw QuorvelError(openErrorText);
    return bytes;
}

CsvImportResult CsvImport::importBytes(const QByteArray& bytes) {
    CsvImportResult result;
    result.bookingYear = m_year;
    // The work: reading every line once, then reading and posting the lines that read (counted double).
    const qint64 total = 3 * qint64(bytes.size());
    auto report = [this, total](qint64 done) { return !m_progress || m_progress(std::min(done, total), total); };
    if (!report(0)) {
        result.cancelled = true;
        return result;
    }

    // First reading: every line checked, the keys of the good ones compared with the year and the file.
    // Reading a line touches nothing but the line and the table's field definitions, so two pieces of the
    // file are read side by side; what they found is then taken in the order of the file.
    LineReader reader(m_table);
    std::vector<quint8> status(1, Skip);  // by line number
    {
        UnfilteredScope unfiltered(m_table);
        const int rows = m_table.RecordCount();
        const qsizetype lines = bytes.count('\n') + 1;
        status.reserve(size_t(lines) + 1);
        FirstSeen seen(size_t(rows) + size_t(lines));
        QByteArray key;
        for (int row = 0; row < rows; ++row) {
            reader.keyOf(m_table.rowBytes(row), key);
            seen.add(qHashBits(key.constData(), size_t(key.size())), row);
        }
        struct ReadLine {
            qint64 start;
            std::optional<LineReader::Outcome> outcome;  // none: a heading or an empty line
            size_t hash;                                 // of the key, for a line that reads
        };
        struct Piece {
            LineReader reader;
            std::vector<ReadLine> lines;
            std::vector<CsvImportIssue> refused;
            std::vector<CsvImportIssue> shortened;
            qint64 end = 0;
        };
        auto readPiece = [this](LineWalk walk, int count, Piece& piece) {
            piece.lines.clear();
            bool surplus = false;
            while (count-- > 0 && walk.next()) {
                ReadLine line{walk.start(), std::nullopt, 0};
                if (!((walk.number() == 1 && m_skipHeading) || walk.line().isEmpty())) {
                    line.outcome = piece.reader.read(walk.line(), walk.number(), m_year, &piece.refused,
                                                     &piece.shortened, &surplus);
                    if (line.outcome == LineReader::Outcome::Ok) {
                        const QByteArray& lineKey = piece.reader.lineKey();
                        line.hash = qHashBits(lineKey.constData(), size_t(lineKey.size()));
                    }
                }
                piece.lines.push_back(line);
            }
            piece.end = walk.pos();
        };
        // Candidates found by their hash are compared in full (rows are only valid unfiltered).
        const LineWalk file(bytes);
        LineReader current(m_table);
        LineReader other(m_table);
        QByteArray lineKey;
        QByteArray otherKey;
        auto take = [&](Piece& piece) {
            for (const ReadLine& line : piece.lines) {
                status.push_back(Skip);
                if (!line.outcome) continue;
                if (*line.outcome == LineReader::Outcome::Empty) {
                    ++result.emptyLines;
                    continue;
                }
                if (*line.outcome == LineReader::Outcome::Refused) {
                    ++result.refusedLines;
                    continue;
                }
                bool read = false;
                const bool duplicate = seen.any(line.hash, [&](qint64 where) {
                    bool surplus = false;
                    if (!read) {
                        current.read(file.lineAt(line.start), 0, m_year, nullptr, nullptr, &surplus);
                        lineKey = current.lineKey();
                        read = true;
                    }
                    if (where >= 0) {
                        reader.keyOf(m_table.rowBytes(int(where)), otherKey);
                    } else {
                        other.read(file.lineAt(-(where + 1)), 0, m_year, nullptr, nullptr, &surplus);
                        otherKey = other.lineKey();
                    }
                    return otherKey == lineKey;
                });
                if (!duplicate) seen.add(line.hash, -(line.start + 1));
                status.back() = duplicate ? Duplicate : Post;
                if (duplicate) ++result.duplicates;
            }
            std::move(piece.refused.begin(), piece.refused.end(), std::back_inserter(result.refused));
            std::move(piece.shortened.begin(), piece.shortened.end(), std::back_inserter(result.shortened));
            piece.refused.clear();
            piece.shortened.clear();
            return report(piece.end);
        };
        constexpr int kPieceLines = 8 * kProgressEvery;
        Piece first{LineReader(m_table), {}, {}, {}, 0};
        Piece second{LineReader(m_table), {}, {}, {}, 0};
        qint64 pos = file.pos();  // after a byte order mark
        int number = 0;
        while (pos < bytes.size()) {
            const qint64 middle = file.skip(pos, kPieceLines);
            std::future<void> side;
            try {
                if (middle < bytes.size())
                    side = std::async(std::launch::async, readPiece, file.from(middle, number + kPieceLines),
                                      kPieceLines, std::ref(second));
            } catch (const std::system_error&) {
                // No thread to be had: the window's thread reads that piece next.
            }
            readPiece(file.from(pos, number), kPieceLines, first);
            const bool two = side.valid();
            if (two) side.get();
            if (!take(first)) {
                result.cancelled = true;
                return result;
            }
            pos = first.end;
            number += int(first.lines.size());
            if (!two) continue;
            if (!take(second)) {
                result.cancelled = true;
                return result;
            }
            pos = second.end;
            number += int(second.lines.size());
        }
    }

    if (result.duplicates > 0) {
        result.duplicateChoice = m_askDuplicates ? m_askDuplicates(result.duplicates) : CsvDuplicateChoice::ImportToo;
        if (result.duplicateChoice == CsvDuplicateChoice::Cancel) {
            result.cancelled = true;
            return result;
        }
    }
    const LineStatus skipping = result.duplicateChoice == CsvDuplicateChoice::Skip ? Duplicate : Skip;

    // Second reading: the lines that read are posted, in the order of the file, those between two progress
    // reports written in one go. When such a write fails (then nothing of it is stored), its lines are posted
    // again one by one, which ends the import at the very line that cannot be stored, as posting each at once
    // would have.
    struct Held {
        int line;
        qint64 start;
        bool surplus;
        bool outsideYear;
    };
    std::vector<Held> held;
    held.reserve(kProgressEvery);
    auto count = [&result](const Held& h) {
        ++result.added;
        if (h.surplus) ++result.surplusLines;
        if (h.outsideYear) ++result.outsideYear;
    };
    // A line a rule of the books refuses (a closed period) is named and left out; any other failure ends
    // the import at that line.
    enum class Outcome { Posted, Withheld, Stopped };
    auto post = [&](int line) {
        try {
            m_table.Insert();
            m_table.setPendingFields(reader.encodeRecord());
            m_table.Post();
            return Outcome::Posted;
        } catch (const ChangeRefusedError& e) {
            if (m_table.state() == DbfTable::State::Insert) m_table.Cancel();
            result.withheld.emplace_back(line, e.message());
            return Outcome::Withheld;
        } catch (const QuorvelError& e) {
            if (m_table.state() == DbfTable::State::Insert) m_table.Cancel();
            result.stoppedAtLine = line;
            result.stopReason = e.message();
            return Outcome::Stopped;
        }
    };
    LineWalk walk(bytes);
    reader.setReadBefore();
    std::optional<DbfAppendBatch> batch(std::in_place, m_table);
    batch->reserve(int(
        std::count_if(status.cbegin(), status.cend(), [skipping](quint8 s) { return s != Skip && s != skipping; })));
    auto writeHeld = [&]() {
        try {
            batch->write();
        } catch (const QuorvelError& e) {
            if (batch->stored()) {  // written, but the journal filter failed on them
                for (const Held& h : held) count(h);
                result.stoppedAtLine = held.back().line;
                result.stopReason = e.message();
                return false;
            }
            batch.reset();
            bool surplus = false;
            for (const Held& h : held) {
                reader.read(walk.lineAt(h.start), h.line, m_year, nullptr, nullptr, &surplus);
                const Outcome outcome = post(h.line);
                if (outcome == Outcome::Stopped) return false;
                if (outcome == Outcome::Posted) count(h);
            }
            held.clear();
            batch.emplace(m_table);
            return true;
        }
        for (const Held& h : held) count(h);
        held.clear();
        return true;
    };
    bool surplus = false;
    while (walk.next()) {
        const quint8 s = status[size_t(walk.number())];
        if (s != Skip && s != skipping) {
            reader.read(walk.line(), walk.number(), m_year, nullptr, nullptr, &surplus);
            const Outcome outcome = post(walk.number());
            if (outcome == Outcome::Stopped) {
                const int line = result.stoppedAtLine;
                const QString reason = result.stopReason;
                if (writeHeld()) {  // the lines before it are stored first
                    result.stoppedAtLine = line;
                    result.stopReason = reason;
                }
                return result;
            }
            const Value& date = reader.values().front();
            if (outcome == Outcome::Posted)
                held.push_back(
                    {walk.number(), walk.start(), surplus, date.kind == Value::Date && date.date.year() != m_year});
        }
        if (walk.number() % kProgressEvery == 0) {
            if (!writeHeld()) return result;
            if (!report(bytes.size() + 2 * walk.pos())) {
                result.cancelled = walk.pos() < bytes.size();
                if (result.cancelled) return result;
            }
        }
    }
    if (!writeHeld()) return result;
    report(total);
    return result;
}

namespace {

QString listIssues(const std::vector<CsvImportIssue>& issues, int maxListed) {
    QString out;
    const int shown = std::min(int(issues.size()), maxListed);
    for (int i = 0; i < shown; ++i) {
        const CsvImportIssue& issue = issues[size_t(i)];
        QString text = issue.text;
        text.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
        if (text.size() > 40) text = text.left(40) + QStringLiteral("…");
        out += QStringLiteral("\n  Zeile %1, Feld %2 (%3): „%4“")
                   .arg(QString::number(issue.line), QString::number(issue.field), issue.name, text);
        if (!issue.why.isEmpty()) out += QLatin1Char(' ') + issue.why;
    }
    if (int(issues.size()) > shown)
        out += QStringLiteral("\n  … und %1 weitere").arg(QString::number(int(issues.size()) - shown));
    return out;
}

QString count(int n, const char* one, const char* many) {
    return n == 1 ? QString::fromUtf8(one) : QString::fromUtf8(many).arg(n);
}

}  // namespace

bool CsvImportResult::clean() const {
    return refused.empty() && withheld.empty() && shortened.empty() && surplusLines == 0 && !cancelled && stoppedAtLine == 0 &&
           outsideYear == 0 && duplicates == 0;
}

QString CsvImportResult::summary(int maxListed) const {
    QString out;
    if (stoppedAtLine > 0)
        out += QStringLiteral("Der Import wurde in Zeile %1 abgebrochen:\n%2\n\n")
                   .arg(QString::number(stoppedAtLine), stopReason);
    else if (cancelled)
        out += QStringLiteral("Der Import wurde abgebrochen.\n\n");
    out += count(added, "1 Buchung wurde importiert.", "%1 Buchungen wurden importiert.");
    if ((cancelled || stoppedAtLine > 0) && added > 0)
        out += QStringLiteral(" Sie bleiben gespeichert; die übrigen Zeilen der Datei wurden nicht gebucht.");
    if (outsideYear > 0)
        out += QStringLiteral(
                   "\n\n%1 davon sind nicht im Buchungsjahr %2 datiert. Sie stehen trotzdem in den "
                   "Buchungen dieses Jahres; bitte prüfen Sie ihr Datum.")
                   .arg(QString::number(outsideYear), QString::number(bookingYear));
    if (duplicates > 0) {
        out += QStringLiteral("\n\n") +
               count(duplicates,
                     "1 Zeile gleicht einer Buchung, die schon im Jahr steht oder weiter oben in der Datei vorkommt "
                     "(Datum, Art, Beleg, Text und Brutto gleich).",
                     "%1 Zeilen gleichen einer Buchung, die schon im Jahr steht oder weiter oben in der Datei "
                     "vorkommt (Datum, Art, Beleg, Text und Brutto gleich).");
        if (duplicateChoice == CsvDuplicateChoice::Skip)
            out += duplicates == 1 ? QStringLiteral(" Sie wurde übersprungen.")
                                   : QStringLiteral(" Sie wurden übersprungen.");
        else if (duplicateChoice == CsvDuplicateChoice::ImportToo && !cancelled)
            out += duplicates == 1 ? QStringLiteral(" Sie wurde trotzdem importiert.")
                                   : QStringLiteral(" Sie wurden trotzdem importiert.");
    }
    if (refusedLines > 0)
        out += QStringLiteral("\n\n") +
               count(refusedLines, "1 Zeile wurde nicht gebucht, weil ein Wert nicht gelesen werden konnte:",
                     "%1 Zeilen wurden nicht gebucht, weil Werte nicht gelesen werden konnten:") +
               listIssues(refused, maxListed) +
               QStringLiteral("\nBitte berichtigen Sie diese Zeilen und importieren Sie sie erneut.");
    if (!withheld.empty()) {
        out += QStringLiteral("\n\n") +
               count(int(withheld.size()), "1 Zeile wurde nicht gebucht, weil die Buchführung sie nicht annimmt:",
                     "%1 Zeilen wurden nicht gebucht, weil die Buchführung sie nicht annimmt:");
        const int shown = std::min(int(withheld.size()), maxListed);
        for (int i = 0; i < shown; ++i)
            out += QStringLiteral("\n  Zeile %1: %2").arg(QString::number(withheld[size_t(i)].first), withheld[size_t(i)].second);
        if (int(withheld.size()) > shown)
            out += QStringLiteral("\n  … und %1 weitere").arg(QString::number(int(withheld.size()) - shown));
    }
    if (!shortened.empty())
        out += QStringLiteral("\n\n%1 Texte waren zu lang für ihr Feld und wurden gekürzt:")
                   .arg(QString::number(int(shortened.size()))) +
               listIssues(shortened, maxListed);
    if (emptyLines > 0)
        out += QStringLiteral("\n\n%1 Zeilen ohne Werte wurden übersprungen.").arg(QString::number(emptyLines));
    if (surplusLines > 0)
        out += QStringLiteral(
                   "\n\n%1 Zeilen hatten mehr Werte als die Buchungstabelle Felder; die überzähligen "
                   "Werte wurden nicht übernommen.")
                   .arg(QString::number(surplusLines));
    return out;
}
