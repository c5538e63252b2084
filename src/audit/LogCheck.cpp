// SPDX-License-Identifier: GPL-3.0-or-later
#include "audit/LogCheck.h"

#include <QCryptographicHash>
#include <QHashFunctions>
#include <cstring>
#include <thread>

#include "audit/LogFormat.h"
#include "audit/TableImage.h"
#include "storage/StorageError.h"

namespace audit {

namespace {

using LogFormat::Field;

int trimmedLength(const char* bytes, int length) {
    while (length > 0 && bytes[length - 1] == ' ') --length;
    return length;
}

// What a record holds, for comparing it with the state the log gives it: equal bytes, equal value.
quint64 fingerprint(const char* bytes, int length) {
    return quint64(qHashBits(bytes, size_t(trimmedLength(bytes, length)), 0x51756f72));
}

qint64 numberAt(const char* record, Field field) {
    const char* p = record + LogFormat::fieldOffset(field);
    qint64 value = 0;
    for (int i = 0; i < LogFormat::fieldWidth(field); ++i)
        if (p[i] >= '0' && p[i] <= '9') value = value * 10 + (p[i] - '0');
    return value;
}

class Walk {
public:
    explicit Walk(LogCheckResult& result) : r(result) {}

    void add(qint64 entry, int record, const QString& text) {
        if (int(r.findings.size()) < LogCheck::maxFindings)
            r.findings.push_back({entry, record, text});
        else
            ++r.moreFindings;
    }
    void grow(qint64 records) {
        if (records <= qint64(state.size())) return;
        state.resize(size_t(records), 0);
        last.resize(size_t(records), 0);
    }

    LogCheckResult& r;
    std::vector<quint64> state;    // fingerprint of each record as the log leaves it
    std::vector<qint64> last;      // the entry that left it so, 0: none since the start
    std::vector<qint64> original;  // records present at the start: the entry whose "before" shows them first
};

// Whether each entry of first..last carries the hash its content and its predecessor's stored hash give.
// The entries are independent of each other that way, so the work is shared among the processor's cores.
void verifyHashes(const TableImage& log, qint64 first, qint64 last, std::vector<char>& broken) {
    const int hashAt = LogFormat::fieldOffset(Field::Hash);
    const QByteArray zero = LogFormat::zeroHash();
    auto range = [&](qint64 from, qint64 to) {
        for (qint64 i = from; i < to; ++i) {
            const char* rec = log.record(int(i));
            const QByteArrayView previous =
                i == 0 ? QByteArrayView(zero) : QByteArrayView(log.record(int(i - 1)) + hashAt, LogFormat::hashWidth);
            char hash[LogFormat::hashWidth];
            LogFormat::hashInto(rec, previous, hash);
            broken[size_t(i - first)] = std::memcmp(hash, rec + hashAt, sizeof hash) != 0;
        }
    };
    const qint64 parts = std::clamp<qint64>(std::thread::hardware_concurrency(), 1, 8);
    const qint64 size = (last - first + parts - 1) / parts;
    std::vector<std::thread> helpers;
    for (qint64 p = 1; p < parts; ++p)
        helpers.emplace_back(range, std::min(last, first + p * size), std::min(last, first + (p + 1) * size));
    range(first, std::min(last, first + size));
    for (std::thread& t : helpers) t.join();
}

}  // namespace

QString LogCheckResult::summary() const {
    if (cancelled) return QStringLiteral("Die Prüfung wurde abgebrochen.");
    if (findings.empty())
        return QStringLiteral("Das Änderungsprotokoll ist vollständig und unverändert: %1 Einträge, die Buchungstabelle "
                              "(%2 Datensätze) stimmt damit überein.")
            .arg(entries)
            .arg(records);
    QStringList lines;
    lines << QStringLiteral("Das Änderungsprotokoll und die Buchungen stimmen nicht überein (%1 Einträge, %2 "
                            "Datensätze geprüft):")
                 .arg(entries)
                 .arg(records);
    for (const LogFinding& f : findings) lines << QStringLiteral("• ") + f.text;
    if (moreFindings > 0) lines << QStringLiteral("… und %1 weitere Abweichungen.").arg(moreFindings);
    return lines.join(QLatin1Char('\n'));
}

LogCheckResult LogCheck::run(const QString& logFile, const QString& bookingsFile, const Progress& progress) {
    LogCheckResult result;
    const TableImage log(logFile);
    if (!LogFormat::hasLayout(log.header()))
        throw DamagedTableError(
            QStringLiteral("Die Datei \"%1\" hat nicht den Aufbau eines Änderungsprotokolls.").arg(logFile));
    const TableImage table(bookingsFile);
    const qint64 n = log.recordCount();
    const int tableLength = table.recordLength();
    result.entries = n;
    result.records = table.recordCount();
    Walk w(result);
    w.grow(table.recordCount());

    constexpr qint64 block = 65536;  // entries verified together, between two progress calls
    std::vector<char> broken;
    qint64 blockStart = 0;
    qint64 expectedNumber = 1;
    qint64 startCount = 0;
    qint64 expectedCount = 0;
    QByteArray startHash;
    const int art = LogFormat::fieldOffset(Field::Art);
    const int vorher = LogFormat::fieldOffset(Field::Vorher);
    const int nachher = LogFormat::fieldOffset(Field::Nachher);
    const int width = LogFormat::valueWidth;
    for (qint64 i = 0; i < n; ++i) {
        if (i % block == 0) {
            if (progress && !progress(i, n)) {
                result.cancelled = true;
                return result;
            }
            blockStart = i;
            broken.assign(size_t(std::min(block, n - i)), 0);
            verifyHashes(log, i, std::min(n, i + block), broken);
        }
        const char* rec = log.record(int(i));
        const qint64 number = numberAt(rec, Field::Lfdnr);
        if (number > expectedNumber)
            w.add(expectedNumber, -1,
                  number == expectedNumber + 1
                      ? QStringLiteral("Eintrag %1 des Protokolls fehlt.").arg(expectedNumber)
                      : QStringLiteral("Die Einträge %1 bis %2 des Protokolls fehlen.").arg(expectedNumber).arg(number - 1));
        else if (number < expectedNumber)
            w.add(number, -1, QStringLiteral("Eintrag %1 des Protokolls steht doppelt oder an falscher Stelle.").arg(number));
        else if (broken[size_t(i - blockStart)])
            w.add(number, -1, QStringLiteral("Eintrag %1 des Protokolls wurde verändert (seine Prüfsumme stimmt nicht).")
                                  .arg(number));
        if (rec[0] != ' ')
            w.add(number, -1, QStringLiteral("Eintrag %1 des Protokolls ist als gelöscht markiert.").arg(number));
        expectedNumber = number + 1;

        const char kind = rec[art];
        const qint64 satz = numberAt(rec, Field::Satz);
        const int record = int(satz - 1);
        if (i == 0 && kind != 'A') w.add(number, -1, QStringLiteral("Das Protokoll beginnt nicht mit seinem Anfangseintrag."));
        switch (kind) {
            case 'A':
                if (i != 0) {
                    w.add(number, -1, QStringLiteral("Eintrag %1 beginnt das Protokoll ein zweites Mal.").arg(number));
                    break;
                }
                startCount = expectedCount = satz;
                startHash = LogFormat::trimmed(rec + nachher, width);
                w.grow(satz);
                w.original.assign(size_t(satz), 0);
                break;
            case 'N':
                if (record != expectedCount)
                    w.add(number, record,
                          QStringLiteral("Eintrag %1 legt Datensatz %2 an; als nächster war Datensatz %3 zu erwarten.")
                              .arg(number)
                              .arg(record + 1)
                              .arg(expectedCount + 1));
                if (record < 0) break;
                w.grow(qint64(record) + 1);
                w.state[size_t(record)] = fingerprint(rec + nachher, width);
                w.last[size_t(record)] = number;
                expectedCount = std::max<qint64>(expectedCount, qint64(record) + 1);
                break;
            case 'E':
            case 'L':
                if (record < 0 || record >= expectedCount) {
                    w.add(number, record, QStringLiteral("Eintrag %1 betrifft Datensatz %2, den es nicht gibt.")
                                              .arg(number)
                                              .arg(record + 1));
                    break;
                }
                if (w.last[size_t(record)] != 0) {
                    if (fingerprint(rec + vorher, width) != w.state[size_t(record)])
                        w.add(number, record,
                              QStringLiteral("Datensatz %1 wurde vor Eintrag %2 außerhalb des Programms geändert.")
                                  .arg(record + 1)
                                  .arg(number));
                } else if (record < startCount && w.original[size_t(record)] == 0) {
                    w.original[size_t(record)] = i + 1;
                }
                w.state[size_t(record)] = fingerprint(rec + nachher, width);
                w.last[size_t(record)] = number;
                break;
            case 'H':
                break;
            default:
                w.add(number, -1, QStringLiteral("Eintrag %1 hat eine unbekannte Art.").arg(number));
        }
    }
    if (progress) progress(n, n);
    if (n == 0) w.add(1, -1, QStringLiteral("Das Protokoll enthält keinen Eintrag; es wurde geleert."));

    const qint64 tableCount = table.recordCount();
    for (qint64 r = expectedCount; r < tableCount; ++r)
        w.add(0, int(r),
              QStringLiteral("Datensatz %1 wurde außerhalb des Programms angefügt; kein Eintrag des Protokolls kennt ihn.")
                  .arg(r + 1));
    if (tableCount < expectedCount)
        w.add(w.last[size_t(tableCount)], int(tableCount),
              QStringLiteral("Die Datensätze ab %1 fehlen in der Buchungstabelle; sie wurden außerhalb des Programms "
                             "entfernt.")
                  .arg(tableCount + 1));
    for (qint64 r = 0; r < std::min(tableCount, expectedCount); ++r) {
        const qint64 entry = w.last[size_t(r)];
        if (entry != 0 && fingerprint(table.record(int(r)), tableLength) != w.state[size_t(r)])
            w.add(entry, int(r),
                  QStringLiteral("Datensatz %1 stimmt nicht mit Eintrag %2 des Protokolls überein; er wurde außerhalb "
                                 "des Programms geändert.")
                      .arg(r + 1)
                      .arg(entry));
    }
    if (n > 0) {
        // The records found at the start, as they were then: from the first entry that changed them, else
        // from the table.
        QCryptographicHash sha(QCryptographicHash::Sha256);
        QByteArray padded(tableLength, ' ');
        bool complete = true;
        for (qint64 r = 0; r < startCount; ++r) {
            const qint64 first = w.original.empty() ? 0 : w.original[size_t(r)];
            if (first != 0) {
                const char* before = log.record(int(first - 1)) + vorher;
                padded.fill(' ');
                std::memcpy(padded.data(), before, size_t(std::min(trimmedLength(before, width), tableLength)));
                sha.addData(padded);
            } else if (r < tableCount) {
                sha.addData(QByteArrayView(table.record(int(r)), tableLength));
            } else {
                complete = false;
            }
        }
        if (complete && sha.result().toHex() != startHash)
            w.add(1, -1,
                  QStringLiteral("Die Buchungen, die bei Protokollbeginn schon vorhanden waren, stimmen nicht mehr "
                                 "mit Eintrag 1 überein; eine davon wurde außerhalb des Programms geändert."));
    }
    return result;
}

}  // namespace audit
