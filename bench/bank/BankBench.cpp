// SPDX-License-Identifier: GPL-3.0-or-later
// Bank statements: reading a camt.053 file of 100,000 entries, the duplicate check and the rules for
// 100,000 movements against a year of 1,000,000 bookings, and posting 10,000 reviewed rows.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include "bank/BankLedger.h"
#include "bank/BankPosting.h"
#include "bank/BankReview.h"
#include "bank/DuplicateCheck.h"
#include "exchange/Camt053Reader.h"
#include "startup/TableSet.h"
#include "storage/DbfTable.h"

namespace {

QTemporaryDir& folder() {
    static QTemporaryDir dir;
    return dir;
}

long peakRssKb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

QByteArray camtEntry(int i) {
    const QByteArray n = QByteArray::number(i);
    const QByteArray amount = QByteArray::number(1 + i % 5000) + '.' + QByteArray::number(10 + i % 90);
    const QByteArray day = QByteArray::number(10 + i % 18);
    return "      <Ntry>\n        <Amt Ccy=\"EUR\">" + amount + "</Amt>\n        <CdtDbtInd>" +
           (i % 3 ? "DBIT" : "CRDT") + "</CdtDbtInd>\n        <Sts><Cd>BOOK</Cd></Sts>\n        <BookgDt><Dt>2026-03-" +
           day + "</Dt></BookgDt>\n        <ValDt><Dt>2026-03-" + day + "</Dt></ValDt>\n        <AcctSvcrRef>REF" + n +
           "</AcctSvcrRef>\n        <BkTxCd><Domn><Cd>PMNT</Cd><Fmly><Cd>ICDT</Cd><SubFmlyCd>ESCT</SubFmlyCd></Fmly>"
           "</Domn></BkTxCd>\n        <NtryDtls>\n          <TxDtls>\n            <Refs><EndToEndId>E2E" +
           n + "</EndToEndId></Refs>\n            <Amt Ccy=\"EUR\">" + amount + "</Amt>\n            <CdtDbtInd>" +
           (i % 3 ? "DBIT" : "CRDT") +
           "</CdtDbtInd>\n            <RltdPties>\n              <Dbtr><Pty><Nm>Kunde Nummer " + n +
           " GmbH &amp; Co. KG</Nm></Pty></Dbtr>\n              <DbtrAcct><Id><IBAN>DE89370400440532013000</IBAN></Id>"
           "</DbtrAcct>\n              <Cdtr><Pty><Nm>Lieferant " +
           QByteArray::number(i % 500) +
           " Handelsgesellschaft mbH</Nm></Pty></Cdtr>\n              <CdtrAcct><Id><IBAN>DE44500105175407324931</IBAN>"
           "</Id></CdtrAcct>\n            </RltdPties>\n            <RmtInf>\n              <Ustrd>Rechnung " +
           n +
           " vom 01.03.2026 Kundennummer 4711 Auftrag 0815</Ustrd>\n              <Ustrd>Vielen Dank fuer Ihren "
           "Einkauf, Zahlung ohne Abzug</Ustrd>\n            </RmtInf>\n          </TxDtls>\n        </NtryDtls>\n"
           "      </Ntry>\n";
}

// A camt.053.001.08 statement of `entries` entries, written in pieces (never whole in memory).
const QString& camtFile(int entries) {
    static QString name;
    if (name.isEmpty()) {
        name = folder().filePath(QStringLiteral("gross.xml"));
        QFile f(name);
        f.open(QIODevice::WriteOnly);
        f.write(
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Document "
            "xmlns=\"urn:iso:std:iso:20022:tech:xsd:camt.053.001.08\">\n  <BkToCstmrStmt>\n    <GrpHdr><MsgId>B</MsgId>"
            "<CreDtTm>2026-04-01T06:00:00</CreDtTm></GrpHdr>\n    <Stmt>\n      <Id>1</Id>\n");
        QByteArray chunk;
        for (int i = 0; i < entries; ++i) {
            chunk += camtEntry(i);
            if (chunk.size() > (1 << 20)) {
                f.write(chunk);
                chunk.clear();
            }
        }
        f.write(chunk);
        f.write("    </Stmt>\n  </BkToCstmrStmt>\n</Document>\n");
    }
    return name;
}

void BM_ReadCamt100000Entries(benchmark::State& state) {
    const QString& file = camtFile(100000);
    const double fileMb = double(QFileInfo(file).size()) / (1024 * 1024);
    const long before = peakRssKb();
    size_t movements = 0;
    for (auto _ : state) {
        Statement s;
        QFile f(file);
        f.open(QIODevice::ReadOnly);
        Camt053Reader::read(f, QStringLiteral("gross.xml"), s);
        movements = s.movements.size();
        if (!s.problems.empty()) state.SkipWithError("problems while reading");
    }
    state.counters["file_MB"] = fileMb;
    state.counters["movements"] = double(movements);
    state.counters["peak_RSS_MB"] = double(peakRssKb()) / 1024;
    state.counters["RSS_growth_MB"] = double(peakRssKb() - before) / 1024;
}
BENCHMARK(BM_ReadCamt100000Entries)->Unit(benchmark::kMillisecond)->Iterations(2);

// The floor: Qt's stream reader alone, every token read and nothing done with it.
void BM_XmlStreamReaderAlone(benchmark::State& state) {
    const QString& file = camtFile(100000);
    for (auto _ : state) {
        QFile f(file);
        f.open(QIODevice::ReadOnly);
        QXmlStreamReader xml(&f);
        qint64 tokens = 0;
        while (!xml.atEnd()) {
            xml.readNext();
            ++tokens;
        }
        benchmark::DoNotOptimize(tokens);
    }
}
BENCHMARK(BM_XmlStreamReaderAlone)->Unit(benchmark::kMillisecond)->Iterations(2);

// A bookings table of `count` records, written straight as dBase bytes (the header from the table layer).
void writeBookings(const QString& dir, int count) {
    DbfTable t;
    t.setFilePath(dir);
    t.setTableName(QStringLiteral("records_1_2026.dbf"));
    t.setFieldDefs(TableSet::bookingsSchema());
    t.CreateTable();
    QFile f(dir + QStringLiteral("/records_1_2026.dbf"));
    f.open(QIODevice::ReadWrite);
    QByteArray bytes = f.readAll();
    bytes.chop(1);  // end-of-file marker
    QByteArray record;
    for (int i = 0; i < count; ++i) {
        const QDate day = QDate(2026, 1, 1).addDays(i % 365);
        record = ' ' + day.toString(u"yyyyMMdd").toLatin1() + (i % 3 ? "A" : "E");
        record += QByteArray::number(i + 1).leftJustified(20, ' ');
        record += ("Kunde Nummer " + QByteArray::number(i) + " GmbH").leftJustified(60, ' ');
        const qint64 cents = 100 + (qint64(i) * 7919) % 500000;
        record +=
            (QByteArray::number(cents / 100) + ',' + QByteArray::number(cents % 100).rightJustified(2, '0') + "000000")
                .rightJustified(18, ' ');
        record += QByteArray("19,00000000").rightJustified(18, ' ');
        record += QByteArray("0").rightJustified(9, ' ');
        record += QByteArray(36, ' ');
        record += QByteArray("0").rightJustified(9, ' ') + QByteArray("0").rightJustified(9, ' ');
        bytes += record;
    }
    bytes += '\x1A';
    const quint32 n = quint32(count);
    for (int k = 0; k < 4; ++k) bytes[4 + k] = char((n >> (8 * k)) & 0xFF);
    f.seek(0);
    f.write(bytes);
}

Statement movements(int count, int existing) {
    Statement s;
    s.addFile(QStringLiteral("gross.xml"));
    s.movements.reserve(size_t(count));
    for (int i = 0; i < count; ++i) {
        // Every tenth one matches a booking of the table (same day, amount and counterparty in the text).
        const int j = i % 10 == 0 && existing > 0 ? (i * 7) % existing : existing + i;
        BankMovement m;
        m.where = QStringLiteral("Eintrag %1").arg(i + 1);
        m.datum = QDate(2026, 1, 1).addDays(j % 365);
        m.cents = (j % 3 ? -1 : 1) * (100 + (qint64(j) * 7919) % 500000);
        m.counterparty = QStringLiteral("Kunde Nummer %1 GmbH").arg(j);
        m.text = QStringLiteral("Rechnung %1 vom 01.03.2026").arg(j);
        m.bankRef = QStringLiteral("REF%1").arg(i);
        m.endToEndId = QStringLiteral("E2E%1").arg(i);
        s.movements.push_back(m);
    }
    return s;
}

void BM_RulesAndDuplicates100000Against1000000(benchmark::State& state) {
    static QTemporaryDir dir;
    static bool written = false;
    if (!written) {
        writeBookings(dir.path(), 1000000);
        written = true;
    }
    TableSet set;
    set.setNames(1, 2026);
    set.InitDB(dir.path() + u'/');
    BankLedger ledger;
    ledger.open(dir.path() + u'/', 1, 2026);
    const Statement s = movements(100000, 1000000);
    std::vector<BankRule> rules;
    for (int r = 0; r < 30; ++r) rules.push_back({QStringLiteral("Lieferant %1").arg(r), {}, 0, 19, {}, false});
    rules.push_back({{}, QStringLiteral("Rechnung 9"), 0, 7, QStringLiteral("Verkauf"), false});
    const MasterLists lists(set);
    size_t booked = 0;
    double checkMs = 0, proposeMs = 0;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        const auto verdicts = DuplicateCheck::check(s, ledger.table(), set.Dbf1);
        checkMs = double(timer.nsecsElapsed()) / 1e6;
        timer.restart();
        const auto rows = BankReview::propose(s, verdicts, rules, lists, 2026, 1000001);
        proposeMs = double(timer.nsecsElapsed()) / 1e6;
        booked = 0;
        for (const ReviewRow& r : rows) booked += r.state == ReviewRow::State::Booked ? 1 : 0;
    }
    state.counters["check_ms"] = checkMs;
    state.counters["rules_and_rows_ms"] = proposeMs;
    state.counters["bookings"] = double(set.Dbf1.RecordCount());
    state.counters["found_booked"] = double(booked);
}
BENCHMARK(BM_RulesAndDuplicates100000Against1000000)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_Post10000Rows(benchmark::State& state) {
    const Statement s = movements(10000, 0);
    int booked = 0;
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir dir;
        TableSet set;
        set.setNames(1, 2026);
        set.InitDB(dir.path() + u'/');
        BankLedger ledger;
        ledger.open(dir.path() + u'/', 1, 2026);
        const auto verdicts = DuplicateCheck::check(s, ledger.table(), set.Dbf1);
        std::vector<ReviewRow> rows = BankReview::propose(s, verdicts, {}, MasterLists(set), 2026, 1);
        state.ResumeTiming();
        booked = BankPosting::post(set, ledger, rows, 2026).booked;
        state.PauseTiming();
        set.closeAll();
        ledger.close();
        state.ResumeTiming();
    }
    state.counters["booked"] = booked;
}
BENCHMARK(BM_Post10000Rows)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
