// SPDX-License-Identifier: GPL-3.0-or-later
#include "exchange/BankCsvReader.h"

#include <csv.h>

#include <QStringDecoder>

#include "journal/DateInput.h"
#include "storage/CodePage.h"

namespace BankCsvReader {

namespace {

const QByteArray utf8Bom("\xEF\xBB\xBF");

bool hasBom(const QByteArray& bytes) {
    return bytes.startsWith(utf8Bom);
}

// Offset of the first byte after `lines` physical lines (past the byte-order mark).
qsizetype skipLines(const QByteArray& bytes, int lines) {
    qsizetype pos = hasBom(bytes) ? utf8Bom.size() : 0;
    for (int i = 0; i < lines && pos < bytes.size(); ++i) {
        const qsizetype nl = bytes.indexOf('\n', pos);
        pos = nl < 0 ? bytes.size() : nl + 1;
    }
    return pos;
}

struct Splitter {
    bool utf8 = false;
    Table* table = nullptr;
    QStringList fields;
    int line = 0;
    int maxRows = -1;
    bool full() const { return maxRows >= 0 && int(table->rows.size()) >= maxRows; }
};

QString decodeBytes(const char* p, size_t n, bool utf8) {
    static const CodePage cp1252(1252);
    return utf8 ? QString::fromUtf8(p, qsizetype(n)) : cp1252.decode(p, int(n));
}

void onField(void* data, size_t length, void* user) {
    auto* s = static_cast<Splitter*>(user);
    s->fields << decodeBytes(static_cast<const char*>(data), data ? length : 0, s->utf8);
}

void onRow(int, void* user) {
    auto* s = static_cast<Splitter*>(user);
    if (!s->full()) s->table->rows.push_back(Row{s->line, s->fields});
    s->fields.clear();
}

int onlyBlank(unsigned char c) {
    return c == CSV_SPACE ? 1 : 0;
}

int lineEnd(unsigned char c) {
    return c == CSV_CR || c == CSV_LF ? 1 : 0;
}

}  // namespace

QString decode(const QByteArray& bytes, BankCsvProfile::Encoding encoding) {
    if (hasBom(bytes)) return QString::fromUtf8(bytes.mid(utf8Bom.size()));
    return decodeBytes(bytes.constData(), size_t(bytes.size()), encoding == BankCsvProfile::Encoding::Utf8);
}

Table split(const QByteArray& bytes, const BankCsvProfile& profile, int maxRows) {
    Table table;
    csv_parser parser;
    if (csv_init(&parser, CSV_STRICT | CSV_STRICT_FINI) != 0) {
        table.error = QStringLiteral("Zu wenig Speicher zum Lesen der Datei.");
        return table;
    }
    csv_set_delim(&parser, static_cast<unsigned char>(profile.separator.toLatin1()));
    csv_set_space_func(&parser, onlyBlank);
    csv_set_term_func(&parser, lineEnd);
    Splitter s;
    s.utf8 = hasBom(bytes) || profile.encoding == BankCsvProfile::Encoding::Utf8;
    s.table = &table;
    s.maxRows = maxRows;
    s.line = profile.skipLines;
    // Fed line by line, so each record knows the line it ends on.
    qsizetype pos = skipLines(bytes, profile.skipLines);
    while (pos < bytes.size() && !s.full()) {
        qsizetype nl = bytes.indexOf('\n', pos);
        const qsizetype end = nl < 0 ? bytes.size() : nl + 1;
        ++s.line;
        const auto length = size_t(end - pos);
        if (csv_parse(&parser, bytes.constData() + pos, length, onField, onRow, &s) != length) {
            table.error = QStringLiteral(
                              "Zeile %1: %2 (ein Anführungszeichen steht an falscher Stelle oder wird "
                              "nicht geschlossen).")
                              .arg(s.line)
                              .arg(QString::fromLatin1(csv_strerror(csv_error(&parser))));
            csv_free(&parser);
            return table;
        }
        pos = end;
    }
    if (!s.full() && csv_fini(&parser, onField, onRow, &s) != 0)
        table.error = QStringLiteral("Zeile %1: Ein Anführungszeichen wird bis zum Ende der Datei nicht geschlossen.")
                          .arg(s.line);
    csv_free(&parser);
    return table;
}

QStringList firstLines(const QByteArray& bytes, const BankCsvProfile& profile, int count) {
    QStringList lines = decode(bytes, profile.encoding).split(u'\n');
    if (lines.size() > count) lines.resize(count);
    for (QString& l : lines) {
        if (l.endsWith(u'\r')) l.chop(1);
    }
    return lines;
}

QString headingLine(const QByteArray& bytes, const BankCsvProfile& profile) {
    const qsizetype start = skipLines(bytes, profile.skipLines);
    qsizetype end = bytes.indexOf('\n', start);
    if (end < 0) end = bytes.size();
    QByteArray line = bytes.mid(start, end - start);
    if (line.endsWith('\r')) line.chop(1);
    return decodeBytes(line.constData(), size_t(line.size()),
                       hasBom(bytes) || profile.encoding == BankCsvProfile::Encoding::Utf8)
        .trimmed();
}

BankCsvProfile guess(const QByteArray& bytes) {
    BankCsvProfile p;
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(bytes);
    (void)text;
    p.encoding = hasBom(bytes) || !utf8.hasError() ? BankCsvProfile::Encoding::Utf8 : BankCsvProfile::Encoding::Cp1252;
    const QStringList lines = firstLines(bytes, p, 20);
    int best = -1;
    for (QChar sep : {QChar(u';'), QChar(u'\t'), QChar(u',')}) {
        // The separator found most often in the last of the first lines, which are the most likely records.
        int count = 0;
        for (const QString& l : lines) count = std::max<int>(count, int(l.count(sep)));
        if (count > best) {
            best = count;
            p.separator = sep;
        }
    }
    p.decimalComma = p.separator != u',';
    return p;
}

void read(const QByteArray& bytes, const QString& fileName, const BankCsvProfile& profile, Statement& out) {
    const int file = out.addFile(fileName);
    const QString incomplete = profile.incomplete();
    if (!incomplete.isEmpty()) {
        out.addProblem(file, {}, {}, incomplete);
        return;
    }
    const Table table = split(bytes, profile);
    if (!table.error.isEmpty()) {
        out.addProblem(file, {}, {}, table.error);
        return;
    }
    if (table.rows.empty() || (profile.hasHeading && table.rows.size() == 1)) {
        out.addProblem(file, {}, {}, QStringLiteral("Die Datei enthält keine Umsätze."));
        return;
    }
    const qsizetype columns = table.rows.front().fields.size();
    int highest = std::max({profile.dateColumn, profile.amountColumn, profile.debitColumn, profile.creditColumn,
                            profile.counterpartyColumn, profile.referenceColumn, profile.currencyColumn});
    for (int c : profile.textColumns) highest = std::max(highest, c);
    if (highest >= columns) {
        out.addProblem(file, QStringLiteral("Zeile %1").arg(table.rows.front().line), {},
                       QStringLiteral("Das Profil „%1“ erwartet mindestens %2 Spalten, die Datei hat %3. Passt das "
                                      "Profil zu dieser Datei?")
                           .arg(profile.name)
                           .arg(highest + 1)
                           .arg(columns));
        return;
    }
    const int thisYear = QDate::currentDate().year();
    for (size_t r = profile.hasHeading ? 1 : 0; r < table.rows.size(); ++r) {
        const Row& row = table.rows[r];
        const QString where = QStringLiteral("Zeile %1").arg(row.line);
        bool blank = true;
        for (const QString& f : row.fields) blank = blank && f.trimmed().isEmpty();
        if (blank) continue;
        if (row.fields.size() != columns) {
            out.addProblem(file, where, {},
                           QStringLiteral("Die Zeile hat %1 Spalten, die Datei davor %2: der Aufbau der Datei ändert "
                                          "sich hier.")
                               .arg(row.fields.size())
                               .arg(columns));
            continue;
        }
        auto field = [&row](int c) { return c >= 0 ? row.fields[c].trimmed() : QString(); };
        BankMovement m;
        m.fileIndex = file;
        m.where = where;
        const QString dateText = field(profile.dateColumn);
        const DateInput::Result date = DateInput::parse(dateText, thisYear);
        if (!date.ok() || dateText.size() < 6) {
            out.addProblem(file, where, QStringLiteral("Datum"), QStringLiteral("„%1“ ist kein Datum.").arg(dateText));
            continue;
        }
        m.datum = date.date;
        if (profile.amountColumn >= 0) {
            const QString text = field(profile.amountColumn);
            if (!BankAmount::parseCsvCents(text, profile.decimalComma, &m.cents)) {
                out.addProblem(file, where, QStringLiteral("Betrag"),
                               QStringLiteral("„%1“ ist kein Betrag in Euro und Cent.").arg(text));
                continue;
            }
        } else {
            const QString debit = field(profile.debitColumn);
            const QString credit = field(profile.creditColumn);
            qint64 d = 0, c = 0;
            const bool debitOk = debit.isEmpty() || BankAmount::parseCsvCents(debit, profile.decimalComma, &d);
            const bool creditOk = credit.isEmpty() || BankAmount::parseCsvCents(credit, profile.decimalComma, &c);
            if (!debitOk || !creditOk) {
                out.addProblem(file, where, debitOk ? QStringLiteral("Haben") : QStringLiteral("Soll"),
                               QStringLiteral("„%1“ ist kein Betrag in Euro und Cent.").arg(debitOk ? credit : debit));
                continue;
            }
            if (d != 0 && c != 0) {
                out.addProblem(file, where, QStringLiteral("Betrag"),
                               QStringLiteral("Soll (%1) und Haben (%2) sind beide gefüllt.").arg(debit, credit));
                continue;
            }
            m.cents = d != 0 ? -std::abs(d) : std::abs(c);
        }
        const QString currency = field(profile.currencyColumn).toUpper();
        if (!currency.isEmpty() && currency != u"€") m.currency = currency;
        QStringList texts;
        for (int c : profile.textColumns) {
            const QString t = field(c);
            if (!t.isEmpty()) texts << t;
        }
        m.text = texts.join(u' ');
        m.counterparty = field(profile.counterpartyColumn);
        m.bankRef = field(profile.referenceColumn);
        out.movements.push_back(std::move(m));
    }
}

}  // namespace BankCsvReader
