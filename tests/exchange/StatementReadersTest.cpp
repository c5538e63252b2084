// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <quazip/quazip.h>
#include <quazip/quazipfile.h>
#include <quazip/quazipnewinfo.h>

#include <QBuffer>
#include <QFile>
#include <QFileInfo>

#include "exchange/BankCsvReader.h"
#include "exchange/Camt053Reader.h"
#include "exchange/StatementFiles.h"
#include "exchange/StatementZip.h"
#include "startup/OptionStore.h"
#include "support/TestSupport.h"

namespace {

QString dataFile(const QString& name) {
    return QStringLiteral(QUORVEL_CAMT_DATA) + name;
}

Statement readXml(const QByteArray& bytes) {
    Statement s;
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    Camt053Reader::read(buffer, QStringLiteral("test.xml"), s);
    return s;
}

QByteArray document(const char* version, const QByteArray& entries) {
    return QByteArray("<?xml version=\"1.0\"?>\n<Document xmlns=\"urn:iso:std:iso:20022:tech:xsd:camt.053.001.") +
           version + "\"><BkToCstmrStmt><Stmt><Id>1</Id>" + entries + "</Stmt></BkToCstmrStmt></Document>\n";
}

QByteArray entry(const char* amount, const char* cdtDbt, const char* date, const QByteArray& details = {}) {
    return QByteArray("<Ntry><Amt Ccy=\"EUR\">") + amount + "</Amt><CdtDbtInd>" + cdtDbt +
           "</CdtDbtInd><Sts>BOOK</Sts><BookgDt><Dt>" + date + "</Dt></BookgDt><BkTxCd/>" + details + "</Ntry>";
}

void writeZip(const QString& zipName, const std::vector<std::pair<QString, QByteArray>>& entries) {
    QuaZip zip(zipName);
    ASSERT_TRUE(zip.open(QuaZip::mdCreate));
    for (const auto& [name, bytes] : entries) {
        QuaZipFile file(&zip);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly, QuaZipNewInfo(name)));
        ASSERT_EQ(file.write(bytes), bytes.size());
        file.close();
    }
    zip.close();
}

struct Expected {
    const char* file;
    int index;
    const char* where;
    QDate datum;
    qint64 cents;
    const char* currency;
    const char* counterparty;
    const char* text;
    const char* endToEnd;
    const char* bankRef;
    bool reversal;
    bool bookedByBank;
};

}  // namespace

// One hand-written statement per version, each with what the schema of that version allows: batch
// entries (amounts in AmtDtls/TxAmt for .02, in TxDtls/Amt from .04 on), reversals, structured and
// unstructured remittance, date-times, parties under Pty (.08), other currencies, pending entries.
TEST(Camt053ReaderTest, ReadsEveryEntryOfEachVersion) {
    const Expected expected[] = {
        {"v02.xml",
         0,
         "Eintrag 1 (Zeile 13)",
         {2026, 4, 16},
         11950,
         "EUR",
         "Müller & Söhne GmbH",
         "Rechnung 2026-17 Kunde 4711",
         "E2E-RE-2026-17",
         "REF-02-1",
         false,
         true},
        {"v02.xml",
         1,
         "Eintrag 2, Umsatz 1 (Zeile 36)",
         {2026, 4, 16},
         -5000,
         "EUR",
         "Stadtwerke Musterstadt",
         "RF18539007547034",
         "",
         "REF-02-2/1",
         false,
         true},
        {"v02.xml",
         2,
         "Eintrag 2, Umsatz 2 (Zeile 36)",
         {2026, 4, 16},
         -3000,
         "EUR",
         "Telekom Deutschland",
         "Mobilfunk April",
         "",
         "REF-02-2/2",
         false,
         true},
        {"v02.xml",
         3,
         "Eintrag 3 (Zeile 59)",
         {2026, 4, 17},
         2500,
         "EUR",
         "Fitnessstudio Aktiv",
         "Rücklastschrift Beitrag",
         "",
         "REF-02-3",
         true,
         true},
        {"v04.xml",
         0,
         "Eintrag 1, Umsatz 1 (Zeile 9)",
         {2026, 5, 2},
         100000,
         "EUR",
         "Kunde Alpha",
         "Honorar Mai",
         "E2E-A",
         "SAMMLER-4/1",
         false,
         true},
        {"v04.xml",
         1,
         "Eintrag 1, Umsatz 2 (Zeile 9)",
         {2026, 5, 2},
         30000,
         "EUR",
         "Kunde Beta",
         "Honorar Mai Teil 2",
         "E2E-B",
         "EINZEL-B",
         false,
         true},
        {"v04.xml", 2, "Eintrag 2 (Zeile 34)", {2026, 5, 3}, 0, "EUR", "", "Abschluss", "", "", false, true},
        {"v04.xml",
         3,
         "Eintrag 3 (Zeile 42)",
         {2025, 12, 31},
         -1234,
         "EUR",
         "",
         "Kontoführung Dezember",
         "",
         "",
         false,
         true},
        {"v08.xml",
         0,
         "Eintrag 1 (Zeile 10)",
         {2026, 6, 1},
         -59500,
         "EUR",
         "Hausverwaltung Schmidt",
         "Miete Juni Büro",
         "MIETE-2026-06",
         "2026060100001",
         false,
         true},
        {"v08.xml", 1, "Eintrag 2 (Zeile 33)", {2026, 6, 2}, 10000, "USD", "US Customer Inc.", "", "", "", false, true},
        {"v08.xml", 2, "Eintrag 3 (Zeile 41)", {2026, 6, 3}, -4000, "EUR", "", "", "", "", false, false},
    };
    for (const char* file : {"v02.xml", "v04.xml", "v08.xml"}) {
        Statement s;
        StatementFiles::readCamtOrZip(dataFile(QString::fromLatin1(file)), s);
        ASSERT_TRUE(s.problems.empty()) << file << ": " << s.problems.front().text().toStdString();
        ASSERT_TRUE(s.fileComplete(0));
        int count = 0;
        for (const Expected& e : expected) {
            if (qstrcmp(e.file, file) != 0) continue;
            ++count;
            ASSERT_LT(size_t(e.index), s.movements.size()) << file;
            const BankMovement& m = s.movements[size_t(e.index)];
            SCOPED_TRACE(std::string(file) + " #" + std::to_string(e.index));
            EXPECT_EQ(m.where.toStdString(), e.where);
            EXPECT_EQ(m.datum, e.datum);
            EXPECT_EQ(m.cents, e.cents);
            EXPECT_EQ(m.currency.toStdString(), e.currency);
            EXPECT_EQ(m.counterparty.toStdString(), e.counterparty);
            EXPECT_EQ(m.text.toStdString(), e.text);
            EXPECT_EQ(m.endToEndId.toStdString(), e.endToEnd);
            EXPECT_EQ(m.bankRef.toStdString(), e.bankRef);
            EXPECT_EQ(m.reversal, e.reversal);
            EXPECT_EQ(m.bookedByBank, e.bookedByBank);
        }
        EXPECT_EQ(size_t(count), s.movements.size()) << file;
    }
    Statement s;
    StatementFiles::readCamtOrZip(dataFile(QStringLiteral("v02.xml")), s);
    EXPECT_EQ(s.movements[0].counterpartyIban, QStringLiteral("DE89370400440532013000"));
    EXPECT_EQ(s.movements[1].structuredRef, QStringLiteral("RF18539007547034"));
}

// Every kind of bad input gives a German problem and leaves the file not read whole, so that nothing of it
// is posted. No entity is ever expanded and no outside file is ever opened.
TEST(Camt053ReaderTest, RefusesBadInputNamingWhatAndWhere) {
    const QByteArray good = testsupport::readFile(dataFile(QStringLiteral("v02.xml")));
    struct Case {
        const char* name;
        QByteArray bytes;
        const char* expected;
    };
    const Case cases[] = {
        {"truncated", good.left(good.size() / 2), "endet mitten im Auszug"},
        {"malformed",
         "<Document xmlns=\"urn:iso:std:iso:20022:tech:xsd:camt.053.001.02\"><BkToCstmrStmt><Stmt>"
         "</BkToCstmrStmt></Document>",
         "kein gültiges XML"},
        {"billion laughs",
         "<?xml version=\"1.0\"?><!DOCTYPE lolz [<!ENTITY lol \"lol\"><!ENTITY lol2 "
         "\"&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;\"><!ENTITY lol3 "
         "\"&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;\">]>" +
             document("02", entry("1.00", "CRDT", "2026-01-02", "<AddtlNtryInf>&lol3;</AddtlNtryInf>")),
         "Dokumenttypdefinition"},
        {"external entity",
         "<?xml version=\"1.0\"?><!DOCTYPE d [<!ENTITY xxe SYSTEM \"file:///etc/passwd\">]>" +
             document("02", entry("1.00", "CRDT", "2026-01-02", "<AddtlNtryInf>&xxe;</AddtlNtryInf>")),
         "Dokumenttypdefinition"},
        {"undeclared entity", document("02", entry("1.00", "CRDT", "2026-01-02", "<AddtlNtryInf>&xxe;</AddtlNtryInf>")),
         "kein gültiges XML"},
        {"unknown version", document("05", entry("1.00", "CRDT", "2026-01-02")), "camt.053.001.05 wird nicht gelesen"},
        {"camt.052", QByteArray(document("02", "")).replace("camt.053", "camt.052"), "kein Kontoauszug"},
        {"no namespace", "<Document><BkToCstmrStmt/></Document>", "Namensraum fehlt"},
        {"other root", "<html/>", "Wurzelelement"},
        {"empty", "", "leer"},
        {"comma amount", document("08", entry("12,50", "CRDT", "2026-01-02")), "Betrag: „12,50“ ist kein Betrag"},
        {"negative amount", document("08", entry("-12.50", "CRDT", "2026-01-02")), "kein Betrag"},
        {"fraction of a cent", document("08", entry("12.505", "CRDT", "2026-01-02")), "kein Betrag"},
        {"no such date", document("08", entry("12.50", "CRDT", "2026-02-30")),
         "Buchungsdatum: „2026-02-30“ ist kein Datum"},
        {"no direction", document("08", entry("12.50", "HABEN", "2026-01-02")), "weder CRDT noch DBIT"},
        {"batch sum",
         document("04", entry("10.00", "CRDT", "2026-01-02",
                              "<NtryDtls><TxDtls><Amt Ccy=\"EUR\">4.00</Amt></TxDtls>"
                              "<TxDtls><Amt Ccy=\"EUR\">5.00</Amt></TxDtls></NtryDtls>")),
         "ergeben 9.00, der Eintrag nennt 10.00"},
        {"batch without amount",
         document("02", entry("10.00", "CRDT", "2026-01-02", "<NtryDtls><TxDtls/><TxDtls/></NtryDtls>")),
         "Umsatz 1 (Zeile 2), Betrag"},
    };
    for (const Case& c : cases) {
        const Statement s = readXml(c.bytes);
        SCOPED_TRACE(c.name);
        ASSERT_FALSE(s.problems.empty());
        EXPECT_FALSE(s.fileComplete(0));
        EXPECT_TRUE(s.problems.front().text().contains(QString::fromUtf8(c.expected)))
            << s.problems.front().text().toStdString();
        EXPECT_TRUE(s.problems.front().text().startsWith(QStringLiteral("test.xml")));
        for (const BankMovement& m : s.movements) EXPECT_FALSE(m.text.contains(QStringLiteral("lol")));
    }
}

// The movements of a long statement are built in batches while the reading goes on; whatever the count,
// movements and problems come in the order of the file, and an error of the XML after the problems before it.
TEST(Camt053ReaderTest, KeepsTheOrderOfTheFileOverManyEntries) {
    constexpr int count = 2000;
    QByteArray entries;
    for (int k = 1; k <= count; ++k) entries += "\n" + entry(k % 300 == 0 ? "1,00" : "1.00", "CRDT", "2026-01-02");
    const QByteArray whole = document("08", entries);
    qsizetype cut = 0;
    for (int k = 0; k <= 1200; ++k) cut = whole.indexOf("\n<Ntry>", cut + 1);
    struct Case {
        const char* name;
        QByteArray bytes;
        int complete;      // entries read whole
        const char* last;  // the problem after them, if any
    };
    const Case cases[] = {{"whole", whole, count, nullptr}, {"cut", whole.left(cut), 1200, "endet mitten im Auszug"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Statement s = readXml(c.bytes);
        size_t movement = 0, problem = 0;
        for (int k = 1; k <= c.complete; ++k) {
            const QString where = QStringLiteral("Eintrag %1 (Zeile %2)").arg(k).arg(k + 2);  // one entry a line
            if (k % 300 == 0) {
                ASSERT_LT(problem, s.problems.size());
                EXPECT_EQ(s.problems[problem++].where, where);
            } else {
                ASSERT_LT(movement, s.movements.size());
                EXPECT_EQ(s.movements[movement++].where, where);
            }
        }
        EXPECT_EQ(movement, s.movements.size());
        ASSERT_EQ(problem + (c.last ? 1 : 0), s.problems.size());
        if (c.last) EXPECT_TRUE(s.problems.back().text().contains(QString::fromUtf8(c.last)));
    }
}

TEST(StatementZipTest, ReadsTheStatementsOfAnArchiveAndRefusesUnsafeOnes) {
    testsupport::TempFolder folder;
    const QByteArray v02 = testsupport::readFile(dataFile(QStringLiteral("v02.xml")));
    const QByteArray v08 = testsupport::readFile(dataFile(QStringLiteral("v08.xml")));

    const QString good = folder.file(QStringLiteral("auszuege.zip"));
    writeZip(good, {{QStringLiteral("2026/april.xml"), v02},
                    {QStringLiteral("liesmich.txt"), "x"},
                    {QStringLiteral("2026/juni.xml"), v08}});
    Statement s;
    StatementFiles::readCamtOrZip(good, s);
    EXPECT_TRUE(s.problems.empty());
    ASSERT_EQ(s.movements.size(), 7u);
    EXPECT_EQ(s.files[size_t(s.movements[0].fileIndex)].name, QStringLiteral("auszuege.zip: 2026/april.xml"));
    EXPECT_EQ(s.files[size_t(s.movements[6].fileIndex)].name, QStringLiteral("auszuege.zip: 2026/juni.xml"));

    struct Case {
        const char* name;
        std::vector<std::pair<QString, QByteArray>> entries;
        const char* expected;
    };
    const QByteArray padded = document("02", entry("1.00", "CRDT", "2026-01-02") + QByteArray(2 << 20, ' '));
    const Case cases[] = {
        {"outside", {{QStringLiteral("a.xml"), v02}, {QStringLiteral("../../b.xml"), v08}}, "zeigt aus dem Archiv"},
        {"absolute", {{QStringLiteral("/etc/b.xml"), v08}}, "absoluter Pfad"},
        {"backslash", {{QStringLiteral("..\\b.xml"), v08}}, "zeigt aus dem Archiv"},
        {"ratio", {{QStringLiteral("a.xml"), v02}, {QStringLiteral("bomb.xml"), padded}}, "so stark gepackte"},
        {"nothing", {{QStringLiteral("a.txt"), "text"}}, "keinen Kontoauszug"},
    };
    StatementZip::Limits limits;
    limits.ratioFromBytes = 1 << 20;
    limits.maxRatio = 50;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString zipName = folder.file(QString::fromLatin1(c.name) + QStringLiteral(".zip"));
        writeZip(zipName, c.entries);
        Statement bad;
        StatementZip::read(zipName, bad, limits);
        ASSERT_FALSE(bad.problems.empty());
        EXPECT_TRUE(bad.problems.front().text().contains(QString::fromUtf8(c.expected)))
            << bad.problems.front().text().toStdString();
        for (const BankMovement& m : bad.movements) EXPECT_FALSE(bad.fileComplete(m.fileIndex));
    }

    const QString broken = folder.file(QStringLiteral("kaputt.zip"));
    testsupport::writeFile(broken, QByteArray("PK\x03\x04") + QByteArray(200, 'x'));
    Statement b;
    StatementFiles::readCamtOrZip(broken, b);
    ASSERT_FALSE(b.problems.empty());
    EXPECT_TRUE(b.movements.empty());
}

namespace {

BankCsvProfile sparkasseProfile() {
    BankCsvProfile p;
    p.name = QStringLiteral("Sparkasse");
    p.dateColumn = 1;
    p.textColumns = {3, 4};
    p.counterpartyColumn = 5;
    p.amountColumn = 6;
    p.currencyColumn = 7;
    p.referenceColumn = 8;
    return p;
}

const QByteArray sparkasseHeading =
    "\"Auftragskonto\";\"Buchungstag\";\"Valutadatum\";\"Buchungstext\";\"Verwendungszweck\";"
    "\"Beguenstigter/Zahlungspflichtiger\";\"Betrag\";\"Waehrung\";\"Referenz\"\r\n";

}  // namespace

// German bank CSV layouts: quoted and unquoted, code page 1252 and UTF-8 with a byte-order mark, a signed
// amount or debit and credit columns, lines before the heading, quotes holding separators and line breaks.
TEST(BankCsvReaderTest, ReadsTheLayoutsOfTheProfiles) {
    struct Case {
        const char* name;
        BankCsvProfile profile;
        QByteArray bytes;
        int count;
        QDate datum;
        qint64 cents;
        const char* counterparty;
        const char* text;
        const char* problem;
    };
    BankCsvProfile dkb;
    dkb.name = QStringLiteral("DKB");
    dkb.encoding = BankCsvProfile::Encoding::Utf8;
    dkb.skipLines = 4;
    dkb.dateColumn = 0;
    dkb.counterpartyColumn = 2;
    dkb.textColumns = {3};
    dkb.debitColumn = 4;
    dkb.creditColumn = 5;
    BankCsvProfile english;
    english.name = QStringLiteral("Export");
    english.separator = u',';
    english.decimalComma = false;
    english.dateColumn = 0;
    english.amountColumn = 1;
    english.counterpartyColumn = 2;
    english.textColumns = {3};

    const QByteArray dkbHead =
        "\xEF\xBB\xBF\"Konto:\";\"DE02 1203 0000 0000 2020 51\"\nKontostand;1.234,00 EUR\n\n"
        "Zeitraum;01.04.2026 - 30.04.2026\n"
        "Buchungsdatum;Status;Zahlungsempfänger*in;Verwendungszweck;Soll;Haben\n";
    const Case cases[] = {
        {"sparkasse",
         sparkasseProfile(),
         sparkasseHeading + "\"DE02\";\"16.04.26\";\"16.04.26\";\"GUTSCHRIFT\";\"RE 17; Kunde 4711\";\"M\xFCller\";"
                            "\"1.119,50\";\"EUR\";\"A1\"\r\n"
                            "\"DE02\";\"17.04.26\";\"17.04.26\";\"LASTSCHRIFT\";\"Strom\";\"Stadtwerke\";\"-80,00\";"
                            "\"EUR\";\"A2\"\r\n",
         2,
         {2026, 4, 16},
         111950,
         "Müller",
         "GUTSCHRIFT RE 17; Kunde 4711",
         nullptr},
        {"dkb",
         dkb,
         dkbHead + "16.04.2026;Gebucht;Café Süß;\"Bewirtung\nmit Kunden\";-42,10;\n"
                   "17.04.2026;Gebucht;Kunde;Honorar;;1.000,00\n",
         2,
         {2026, 4, 16},
         -4210,
         "Café Süß",
         "Bewirtung\nmit Kunden",
         nullptr},
        {"english",
         english,
         "Date,Amount,Payee,Memo\n2026-04-16,\"1,234.56\",\"Smith, J.\",Invoice 7\n",
         1,
         {2026, 4, 16},
         123456,
         "Smith, J.",
         "Invoice 7",
         nullptr},
        {"columns change",
         sparkasseProfile(),
         sparkasseHeading + "\"DE02\";\"16.04.26\";\"16.04.26\";\"X\";\"Y\";\"Z\";\"1,00\";\"EUR\";\"A\"\r\n"
                            "\"DE02\";\"16.04.26\";\"1,00\"\r\n",
         1,
         {2026, 4, 16},
         100,
         "Z",
         "X Y",
         "Zeile 3: Die Zeile hat 3 Spalten, die Datei davor 9"},
        {"bad amount",
         sparkasseProfile(),
         sparkasseHeading + "\"DE02\";\"16.04.26\";\"\";\"\";\"\";\"\";\"1,2,3\";\"EUR\";\"\"\r\n",
         0,
         {},
         0,
         "",
         "",
         "Zeile 2, Betrag: „1,2,3“ ist kein Betrag"},
        {"bad date",
         sparkasseProfile(),
         sparkasseHeading + "\"DE02\";\"31.02.26\";\"\";\"\";\"\";\"\";\"1,00\";\"EUR\";\"\"\r\n",
         0,
         {},
         0,
         "",
         "",
         "Zeile 2, Datum: „31.02.26“ ist kein Datum"},
        {"open quote",
         sparkasseProfile(),
         sparkasseHeading + "\"DE02\";\"16.04.26\n",
         0,
         {},
         0,
         "",
         "",
         "nicht geschlossen"},
        {"too few columns", sparkasseProfile(), "a;b;c\n1;2;3\n", 0, {}, 0, "", "", "erwartet mindestens 9 Spalten"},
        {"both sides", dkb, dkbHead + "16.04.2026;Gebucht;X;Y;-1,00;2,00\n", 0, {}, 0, "", "", "beide gefüllt"},
    };
    for (const testsupport::ScopedLocale& locale :
         {testsupport::ScopedLocale(QLocale(QLocale::German)), testsupport::ScopedLocale(QLocale(QLocale::English))}) {
        (void)locale;
        for (const Case& c : cases) {
            SCOPED_TRACE(c.name);
            Statement s;
            BankCsvReader::read(c.bytes, QStringLiteral("umsaetze.csv"), c.profile, s);
            ASSERT_EQ(s.movements.size(), size_t(c.count));
            if (c.problem) {
                ASSERT_FALSE(s.problems.empty());
                EXPECT_FALSE(s.fileComplete(0));
                EXPECT_TRUE(s.problems.front().text().contains(QString::fromUtf8(c.problem)))
                    << s.problems.front().text().toStdString();
            } else {
                EXPECT_TRUE(s.problems.empty()) << s.problems.front().text().toStdString();
            }
            if (c.count == 0) continue;
            const BankMovement& m = s.movements.front();
            EXPECT_EQ(m.datum, c.datum);
            EXPECT_EQ(m.cents, c.cents);
            EXPECT_EQ(m.counterparty.toStdString(), c.counterparty);
            EXPECT_EQ(m.text.toStdString(), c.text);
        }
    }
}

TEST(BankCsvReaderTest, SavedProfileIsRecognisedByTheHeadingLine) {
    testsupport::TempFolder folder;
    OptionStore store(folder.file(QStringLiteral("quorvel.ini")));
    BankCsvProfile p = sparkasseProfile();
    const QByteArray file = sparkasseHeading + "\"DE02\";\"16.04.26\";\"\";\"\";\"\";\"\";\"1,00\";\"EUR\";\"\"\r\n";
    p.heading = BankCsvReader::headingLine(file, p);
    BankCsvProfiles::save(store, p);
    BankCsvProfile other = p;
    other.name = QStringLiteral("Andere Bank");
    other.heading = QStringLiteral("Datum;Betrag");
    BankCsvProfiles::save(store, other);
    store.sync();

    OptionStore reread(folder.file(QStringLiteral("quorvel.ini")));
    EXPECT_EQ(BankCsvProfiles::names(reread),
              (QStringList{QStringLiteral("Sparkasse"), QStringLiteral("Andere Bank")}));
    const std::optional<BankCsvProfile> found = BankCsvProfiles::recognise(reread, file);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->name, QStringLiteral("Sparkasse"));
    EXPECT_EQ(found->textColumns, (QList<int>{3, 4}));
    EXPECT_FALSE(BankCsvProfiles::recognise(reread, "Datum;Betrag;Text\n"));

    const BankCsvProfile guessed = BankCsvReader::guess(file);
    EXPECT_EQ(guessed.separator, u';');
    EXPECT_EQ(guessed.encoding, BankCsvProfile::Encoding::Utf8);
    EXPECT_EQ(BankCsvReader::guess("a\xE4;b\n").encoding, BankCsvProfile::Encoding::Cp1252);

    BankCsvProfiles::remove(reread, QStringLiteral("Sparkasse"));
    EXPECT_EQ(BankCsvProfiles::names(reread), QStringList{QStringLiteral("Andere Bank")});
    EXPECT_FALSE(BankCsvProfiles::load(reread, QStringLiteral("Sparkasse")));
}
