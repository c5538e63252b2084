// SPDX-License-Identifier: GPL-3.0-or-later
#include "datev/DatevExport.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <cmath>
#include <memory>

#include "journal/Booking.h"
#include "journal/BookingRows.h"
#include "storage/CodePage.h"
#include "storage/DayNumber.h"
#include "storage/DbfTable.h"
#include "storage/SafeFile.h"
#include "tax/Kontenzuordnung.h"

namespace {

constexpr int kLinesPerPiece = 4096;

// What goes into a column of a booking line.
enum class Slot : unsigned char { Empty, Fixed, Umsatz, SollHaben, Konto, Gegenkonto, Bu, Datum, Beleg, Text };

// A booking that will be exported, with everything but its texts worked out in the first pass.
struct Planned {
    int row = 0;
    int konto = 0;
    int gegenkonto = 0;
    qint64 cents = 0;  // without sign
    short key = -1;    // index into the tax keys, -1: none
    char side = 'S';
    unsigned char day = 0;
    unsigned char month = 0;
    bool income = false;
};

// The chart account and tax treatment of one income or expense account, looked up once per export.
struct Target {
    std::optional<int> konto;
    bool taxed = false;  // the booking's rate gives a tax key
};

void appendNumber(QByteArray& out, qint64 v) {
    char buf[24];
    int n = 0;
    do {
        buf[n++] = char('0' + v % 10);
        v /= 10;
    } while (v > 0);
    while (n > 0) out += buf[--n];
}

void appendQuoted(QByteArray& out, const QByteArray& bytes) {
    out += '"';
    for (const char c : bytes) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
}

QString germanRate(double rate) {
    return QLocale(QLocale::German).toString(rate, 'g', 15) + QStringLiteral(" %");
}

QString germanAmount(qint64 cents) {
    return QLocale(QLocale::German).toString(double(cents) / 100.0, 'f', 2);
}

}  // namespace

DatevExport::DatevExport(const DatevFormat& format, const DatevCharts& charts, const DatevKonten& konten,
                         const Kontenzuordnung& zuordnung, const DatevSettings& settings)
    : m_format(format),
      m_charts(charts),
      m_konten(konten),
      m_zuordnung(std::make_unique<Kontenzuordnung>(zuordnung)),
      m_settings(settings) {
    m_chart = m_charts.chart(settings.chart);
    if (!m_chart) throw QuorvelError(QStringLiteral("Der Kontenrahmen „%1“ ist nicht bekannt.").arg(settings.chart));
    for (const DatevHeaderField& h : format.header) {
        qint64 value = 0;
        if (h.setting == u"beraternummer")
            value = settings.beraternummer;
        else if (h.setting == u"mandantennummer")
            value = settings.mandantennummer;
        else if (h.max > 0 || h.maxLength > 0) {
            const QString text = h.setting == u"bezeichnung"     ? settings.bezeichnung
                                 : h.setting == u"diktatkuerzel" ? settings.diktatkuerzel
                                                                 : QString();
            if (h.maxLength > 0 && text.size() > h.maxLength)
                throw QuorvelError(QStringLiteral("„%1“ ist für das Feld %2 zu lang: höchstens %3 Zeichen.")
                                       .arg(text, h.name, QString::number(h.maxLength)));
            continue;
        } else
            continue;
        if (h.max > 0 && (value < h.min || value > h.max))
            throw QuorvelError(
                QStringLiteral("Die %1 muss zwischen %2 und %3 liegen; eingetragen ist %4.")
                    .arg(h.name, QString::number(h.min), QString::number(h.max), QString::number(value)));
    }
    const QDate& wj = settings.wjBeginn;
    if (!wj.isValid() || !settings.von.isValid() || !settings.bis.isValid())
        throw QuorvelError(QStringLiteral("Für den DATEV-Export fehlt ein gültiger Zeitraum."));
    if (settings.von > settings.bis)
        throw QuorvelError(QStringLiteral("Der Zeitraum beginnt am %1 nach seinem Ende am %2.")
                               .arg(settings.von.toString(QStringLiteral("dd.MM.yyyy")),
                                    settings.bis.toString(QStringLiteral("dd.MM.yyyy"))));
    if (settings.von < wj || settings.bis >= wj.addYears(1) || settings.von.year() != settings.bis.year())
        throw QuorvelError(QStringLiteral("Der Zeitraum %1 bis %2 muss im Wirtschaftsjahr ab %3 und in einem "
                                          "Kalenderjahr liegen.")
                               .arg(settings.von.toString(QStringLiteral("dd.MM.yyyy")),
                                    settings.bis.toString(QStringLiteral("dd.MM.yyyy")),
                                    wj.toString(QStringLiteral("dd.MM.yyyy"))));
}

DatevExport::~DatevExport() = default;

QString DatevExport::headerLine() const {
    const auto ymd = [](const QDate& d) { return d.toString(QStringLiteral("yyyyMMdd")); };
    QStringList parts;
    for (const DatevHeaderField& h : m_format.header) {
        QString v = h.value;
        const QString& s = h.setting;
        if (s == u"erzeugtAm")
            v = m_settings.erzeugtAm.toString(QStringLiteral("yyyyMMddHHmmsszzz"));
        else if (s == u"herkunft")
            v = m_settings.herkunft;
        else if (s == u"beraternummer")
            v = QString::number(m_settings.beraternummer);
        else if (s == u"mandantennummer")
            v = QString::number(m_settings.mandantennummer);
        else if (s == u"wjBeginn")
            v = ymd(m_settings.wjBeginn);
        else if (s == u"sachkontenlaenge")
            v = QString::number(m_chart->sachkontenlaenge);
        else if (s == u"datumVom")
            v = ymd(m_settings.von);
        else if (s == u"datumBis")
            v = ymd(m_settings.bis);
        else if (s == u"bezeichnung")
            v = m_settings.bezeichnung;
        else if (s == u"diktatkuerzel")
            v = m_settings.diktatkuerzel;
        else if (s == u"sachkontenrahmen")
            v = m_chart->code;
        if (h.text)
            v = QLatin1Char('"') + QString(v).replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
        parts << v;
    }
    return parts.join(QLatin1Char(';'));
}

QStringList DatevExport::partFileNames(const QString& fileName, int parts) {
    QStringList names{fileName};
    const QFileInfo info(fileName);
    const QString suffix = info.suffix().isEmpty() ? QString() : QLatin1Char('.') + info.suffix();
    const QString stem = fileName.left(fileName.size() - suffix.size());
    for (int p = 2; p <= parts; ++p) names << stem + QLatin1Char('_') + QString::number(p) + suffix;
    return names;
}

std::optional<DatevResult> DatevExport::writeFiles(const DbfTable& bookings, const QString& fileName,
                                                   const Progress& progress) const {
    if (!QFileInfo(fileName).fileName().startsWith(m_format.fileNamePrefix, Qt::CaseInsensitive))
        throw QuorvelError(QStringLiteral("Der Name der DATEV-Datei muss mit „%1“ beginnen (z. B. %1Buchungen.csv); "
                                          "„%2“ wird so nicht eingelesen.")
                               .arg(m_format.fileNamePrefix, QFileInfo(fileName).fileName()));
    if (!bookings.Active()) throw StorageError(QStringLiteral("Die Buchungstabelle ist nicht geöffnet."));

    // The journal's filter does not limit the export: a filtered table is read through a second copy.
    std::unique_ptr<DbfTable> copy;
    const DbfTable* table = &bookings;
    if (bookings.Filtered()) {
        copy = std::make_unique<DbfTable>();
        copy->setFilePath(bookings.FilePath());
        copy->setTableName(bookings.TableName());
        copy->setReadOnlyMode(true, QStringLiteral("Der DATEV-Export liest die Buchungen nur."));
        copy->Open();
        table = copy.get();
    }
    if (table->FieldCount() <= Booking::Konto || table->Fields(Booking::Datum).DataType() != FieldType::Date)
        throw StorageError(QStringLiteral("Die Buchungstabelle \"%1\" hat ein unbekanntes Format; der DATEV-Export "
                                          "kann sie nicht lesen.")
                               .arg(QDir::toNativeSeparators(table->absoluteFileName())));
    const BookingRows rows(*table);
    const bool hasSammel = table->FieldCount() > Booking::Sammelkonto;
    const int count = table->RecordCount();
    const qint64 total = 2 * qint64(count);

    DatevResult result;
    result.maxBookingsPerFile = m_format.maxBookingsPerFile;
    const auto skip = [&](int row, double datum, const QString& reason) {
        ++result.skippedCount;
        if (int(result.skipped.size()) < DatevResult::kMaxListed)
            result.skipped.push_back(
                {row, DayNumber::toDate(datum), rows.text(row, Booking::Beleg), rows.text(row, Booking::Text), reason});
    };

    // First pass: which bookings go out, with their accounts, side, amount and key.
    const DatevField& umsatz = m_format.field(QStringLiteral("umsatz"));
    qint64 maxCents = 1;
    for (int i = 0; i < umsatz.maxDigits + 2; ++i) maxCents *= 10;
    QHash<int, Target> targets[2];  // income, expense
    QHash<int, int> contra;
    const double from = DayNumber::fromDate(m_settings.von);
    const double to = DayNumber::fromDate(m_settings.bis);
    const double yearFrom = DayNumber::fromDate(m_settings.wjBeginn);
    const double yearTo = DayNumber::fromDate(m_settings.wjBeginn.addYears(1).addDays(-1));
    std::vector<Planned> planned;
    planned.reserve(size_t(count));
    for (int row = 0; row < count; ++row) {
        const double datum = rows.datum(row);
        const char art = rows.art(row);
        if (datum < yearFrom || datum > yearTo) {
            skip(row, datum, QStringLiteral("Datum außerhalb des Wirtschaftsjahres"));
            continue;
        }
        if (datum < from || datum > to) continue;
        if (art == 0) {
            skip(row, datum, QStringLiteral("unbekannte Buchungsart"));
            continue;
        }
        const bool income = art == 'E' || art == 'N';
        const bool neutral = art == 'N' || art == 'S';
        const int nr = rows.integer(row, Booking::Konto);
        QHash<int, Target>& side = targets[income ? 0 : 1];
        auto it = side.find(nr);
        if (it == side.end()) {
            Target t;
            t.konto =
                m_konten.account(m_chart->code, income ? DatevKonten::Art::Einnahme : DatevKonten::Art::Ausgabe, nr);
            const UstArt ust = m_zuordnung->forAccount(income ? KontoSeite::Einnahme : KontoSeite::Ausgabe, nr).ust;
            t.taxed = ust == UstArt::Regelsteuersatz || ust == UstArt::Vorsteuerabzug;
            it = side.insert(nr, t);
        }
        if (!it->konto) {
            ++result.unmappedAccounts[{income ? 'E' : 'A', nr}];
            skip(row, datum,
                 QStringLiteral("%1konto %2 hat kein DATEV-Konto")
                     .arg(income ? QStringLiteral("Einnahme") : QStringLiteral("Ausgabe"))
                     .arg(nr));
            continue;
        }
        const qint64 cents = std::llround(Booking::roundToCent(rows.brutto(row)) * 100.0);
        if (cents == 0) {
            skip(row, datum, QStringLiteral("Betrag 0,00"));
            continue;
        }
        if (std::llabs(cents) >= maxCents) {
            skip(row, datum, QStringLiteral("Betrag %1 ist für das Feld Umsatz zu groß").arg(germanAmount(cents)));
            continue;
        }
        Planned p;
        p.row = row;
        p.income = income;
        p.konto = *it->konto;
        const int sammel = hasSammel ? rows.integer(row, Booking::Sammelkonto) : 0;
        auto c = contra.find(sammel);
        if (c == contra.end()) c = contra.insert(sammel, m_konten.contraAccount(*m_chart, sammel));
        p.gegenkonto = *c;
        p.cents = std::llabs(cents);
        p.side = (income == (cents > 0)) ? 'H' : 'S';
        if (!neutral && it->taxed) {
            const double rate = rows.mwst(row);
            const DatevTaxKey* key = m_charts.taxKey(rate);
            if (!key) {
                skip(row, datum,
                     QStringLiteral("für den Steuersatz %1 ist kein DATEV-Steuerschlüssel hinterlegt")
                         .arg(germanRate(rate)));
                continue;
            }
            const QString& k = income ? key->umsatzsteuer : key->vorsteuer;
            if (!k.isEmpty()) p.key = short(key - m_charts.taxKeys.data());
        }
        const QDate d = DayNumber::toDate(datum);
        p.day = uchar(d.day());
        p.month = uchar(d.month());
        planned.push_back(p);
        if (progress && (row & 0x3FFF) == 0 && !progress(row, total)) return std::nullopt;
    }
    if (progress && !progress(count, total)) return std::nullopt;

    // The column layout, the fixed parts already as bytes.
    const CodePage cp1252(1252);
    std::vector<Slot> layout(size_t(m_format.columns.size()), Slot::Empty);
    std::vector<QByteArray> fixed(layout.size());
    const std::pair<const char*, Slot> filled[] = {{"umsatz", Slot::Umsatz},    {"sollHaben", Slot::SollHaben},
                                                   {"konto", Slot::Konto},      {"gegenkonto", Slot::Gegenkonto},
                                                   {"buSchluessel", Slot::Bu},  {"belegdatum", Slot::Datum},
                                                   {"belegfeld1", Slot::Beleg}, {"buchungstext", Slot::Text}};
    for (const auto& [key, slot] : filled) layout[size_t(m_format.field(QLatin1String(key)).column - 1)] = slot;
    for (const char* key : {"wkzUmsatz", "festschreibung"}) {
        const DatevField& f = m_format.field(QLatin1String(key));
        layout[size_t(f.column - 1)] = Slot::Fixed;
        QByteArray v;
        if (f.text)
            appendQuoted(v, cp1252.encode(f.value));
        else
            v = cp1252.encode(f.value);
        fixed[size_t(f.column - 1)] = v;
    }
    const DatevField& textField = m_format.field(QStringLiteral("buchungstext"));
    const DatevField& belegField = m_format.field(QStringLiteral("belegfeld1"));
    bool allowed[128] = {};
    for (const QString& token : belegField.allowed.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (token.size() == 3 && token[1] == u'-') {
            for (char16_t c = token[0].unicode(); c <= token[2].unicode() && c < 128; ++c) allowed[c] = true;
        } else {
            for (const QChar c : token)
                if (c.unicode() < 128) allowed[c.unicode()] = true;
        }
    }

    QByteArray head = cp1252.encode(headerLine());
    head += "\r\n";
    head += cp1252.encode(m_format.columns.join(QLatin1Char(';')));
    head += "\r\n";

    const auto note = [&](const Planned& p, const QString& what) {
        if (result.notes.size() < DatevResult::kMaxListed)
            result.notes << QStringLiteral("%1, Beleg „%2“: %3")
                                .arg(DayNumber::toDate(rows.datum(p.row)).toString(QStringLiteral("dd.MM.yyyy")),
                                     rows.text(p.row, Booking::Beleg), what);
    };
    const auto cleanText = [&](const Planned& p, QString text) {
        bool changed = false;
        for (QChar& c : text)
            if (c.unicode() < 0x20 || c.unicode() == 0x7F) {
                c = u' ';
                changed = true;
            }
        if (text.size() > textField.maxLength) {
            text.truncate(textField.maxLength);
            ++result.shortenedTexts;
            note(p, QStringLiteral("Buchungstext auf %1 Zeichen gekürzt").arg(textField.maxLength));
        }
        if (!cp1252.canEncode(text)) changed = true;
        if (changed) {
            ++result.changedCharacters;
            note(p, QStringLiteral("Zeichen im Buchungstext ersetzt, die DATEV nicht lesen kann"));
        }
        return cp1252.encode(text);
    };
    const auto cleanBeleg = [&](const Planned& p, const QString& beleg) {
        QByteArray out;
        out.reserve(beleg.size());
        for (const QChar c : beleg)
            if (c.unicode() < 128 && allowed[c.unicode()]) out += char(c.unicode());
        if (out.size() > belegField.maxLength) out.truncate(belegField.maxLength);
        if (out.size() != beleg.size()) {
            ++result.changedReceipts;
            note(p, QStringLiteral("im Belegfeld nur „%1“, DATEV nimmt dort keine anderen Zeichen")
                        .arg(QString::fromLatin1(out)));
        }
        return out;
    };

    // The line as segments: runs of empty and fixed columns become one literal with their separators.
    struct Segment {
        Slot slot;
        QByteArray literal;  // for Slot::Fixed
    };
    std::vector<Segment> segments;
    QByteArray literal;
    for (size_t col = 0; col < layout.size(); ++col) {
        if (col > 0) literal += ';';
        if (layout[col] == Slot::Empty || layout[col] == Slot::Fixed) {
            literal += fixed[col];
            continue;
        }
        if (!literal.isEmpty()) segments.push_back({Slot::Fixed, literal});
        literal.clear();
        segments.push_back({layout[col], {}});
    }
    literal += "\r\n";
    segments.push_back({Slot::Fixed, literal});
    std::vector<QByteArray> ustKeys, vstKeys;
    for (const DatevTaxKey& k : m_charts.taxKeys) {
        ustKeys.push_back(cp1252.encode(k.umsatzsteuer));
        vstKeys.push_back(cp1252.encode(k.vorsteuer));
    }
    // A table in code page 1252 (the usual one) hands its text bytes over as they are, when they need no
    // change; every other text goes through the checks above.
    const bool rawTexts = table->codePage().number() == 1252;
    const auto rawField = [&](int field) {
        if (!rawTexts || table->FieldCount() <= field || table->Fields(field).DataType() != FieldType::String)
            return -1;
        return table->fieldOffset(field);
    };
    const int textAt = rawField(Booking::Text);
    const int textWidth = textAt >= 0 ? table->Fields(Booking::Text).Size() : 0;
    const int belegAt = rawField(Booking::Beleg);
    const int belegWidth = belegAt >= 0 ? table->Fields(Booking::Beleg).Size() : 0;
    const auto trimmed = [](const char* p, int w) {
        while (w > 0 && (p[w - 1] == ' ' || p[w - 1] == '\0')) --w;
        return w;
    };
    const auto appendText = [&](QByteArray& out, const Planned& p) {
        if (textAt >= 0) {
            const char* t = table->rowBytes(p.row) + textAt;
            const int w = trimmed(t, textWidth);
            bool plain = w <= textField.maxLength;
            for (int i = 0; plain && i < w; ++i) plain = uchar(t[i]) >= 0x20 && uchar(t[i]) != 0x7F;
            if (plain) {
                out += '"';
                for (int i = 0; i < w; ++i) {
                    if (t[i] == '"') out += '"';
                    out += t[i];
                }
                out += '"';
                return;
            }
        }
        appendQuoted(out, cleanText(p, rows.text(p.row, Booking::Text)));
    };
    const auto appendBeleg = [&](QByteArray& out, const Planned& p) {
        if (belegAt >= 0) {
            const char* b = table->rowBytes(p.row) + belegAt;
            const int w = trimmed(b, belegWidth);
            bool plain = w <= belegField.maxLength;
            for (int i = 0; plain && i < w; ++i) plain = uchar(b[i]) < 128 && allowed[uchar(b[i])];
            if (plain) {
                out += '"';
                out.append(b, w);
                out += '"';
                return;
            }
        }
        appendQuoted(out, cleanBeleg(p, rows.text(p.row, Booking::Beleg)));
    };

    // Second pass: the lines, file by file.
    const int perFile = m_format.maxBookingsPerFile;
    const int parts = std::max(1, int((planned.size() + size_t(perFile) - 1) / size_t(perFile)));
    const QStringList names = partFileNames(fileName, parts);
    std::vector<std::unique_ptr<SafeFile::Writer>> writers;
    QByteArray piece;
    piece.reserve(kLinesPerPiece * 256);
    for (int part = 0; part < parts; ++part) {
        writers.push_back(std::make_unique<SafeFile::Writer>(names[part], QStringLiteral("Die DATEV-Datei")));
        SafeFile::Writer& file = *writers.back();
        file.write(head);
        const size_t begin = size_t(part) * size_t(perFile);
        const size_t end = std::min(planned.size(), begin + size_t(perFile));
        piece.clear();
        for (size_t i = begin; i < end; ++i) {
            const Planned& p = planned[i];
            for (const Segment& seg : segments) {
                switch (seg.slot) {
                    case Slot::Empty:
                        break;
                    case Slot::Fixed:
                        piece += seg.literal;
                        break;
                    case Slot::Umsatz:
                        appendNumber(piece, p.cents / 100);
                        piece += ',';
                        piece += char('0' + p.cents % 100 / 10);
                        piece += char('0' + p.cents % 10);
                        break;
                    case Slot::SollHaben:
                        piece += '"';
                        piece += p.side;
                        piece += '"';
                        break;
                    case Slot::Konto:
                        appendNumber(piece, p.konto);
                        break;
                    case Slot::Gegenkonto:
                        appendNumber(piece, p.gegenkonto);
                        break;
                    case Slot::Bu:
                        piece += '"';
                        if (p.key >= 0) piece += (p.income ? ustKeys : vstKeys)[size_t(p.key)];
                        piece += '"';
                        break;
                    case Slot::Datum:
                        piece += char('0' + p.day / 10);
                        piece += char('0' + p.day % 10);
                        piece += char('0' + p.month / 10);
                        piece += char('0' + p.month % 10);
                        break;
                    case Slot::Beleg:
                        appendBeleg(piece, p);
                        break;
                    case Slot::Text:
                        appendText(piece, p);
                        break;
                }
            }
            ++result.exported;
            if (result.exported % kLinesPerPiece == 0 || i + 1 == end) {
                file.write(piece);
                piece.clear();
                const qint64 done = count + qint64(result.exported) * count / qint64(planned.size());
                if (progress && !progress(done, total)) return std::nullopt;
            }
        }
    }
    for (auto& w : writers) w->commit();
    result.files = names;
    return result;
}
