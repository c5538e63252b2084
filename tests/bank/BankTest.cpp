// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "bank/BankLedger.h"
#include "bank/BankPosting.h"
#include "bank/BankReview.h"
#include "bank/BankRules.h"
#include "bank/DuplicateCheck.h"
#include "exchange/StatementFiles.h"
#include "exchange/YearTransfer.h"
#include "journal/Booking.h"
#include "journal/ReceiptProposal.h"
#include "startup/TableSet.h"
#include "storage/StorageError.h"
#include "support/SmallDisk.h"
#include "support/TestSupport.h"

using State = ReviewRow::State;

namespace {

const QString camt = QStringLiteral(QUORVEL_CAMT_DATA);

void openSet(TableSet& set, const QString& folder, int year = 2026) {
    set.setNames(1, year);
    const QStringList problems = set.InitDB(folder);
    ASSERT_TRUE(problems.isEmpty()) << problems.join(u'\n').toStdString();
}

Statement read(const QString& file) {
    Statement s;
    StatementFiles::readCamtOrZip(file, s);
    return s;
}

// The review as the window builds it: duplicate check, rules, receipt proposal.
std::vector<ReviewRow> review(TableSet& set, BankLedger& ledger, const Statement& s,
                              const std::vector<BankRule>& rules = {}) {
    const auto verdicts = DuplicateCheck::check(s, ledger.table(), set.Dbf1);
    return BankReview::propose(s, verdicts, rules, MasterLists(set), 2026, FindMaxBel(set.Dbf1));
}

std::vector<State> states(const std::vector<ReviewRow>& rows) {
    std::vector<State> out;
    for (const ReviewRow& r : rows) out.push_back(r.state);
    return out;
}

// The bookings as another program reads them: straight from the file, every field as text.
std::vector<QStringList> bookingsOnDisk(const QString& folder) {
    DbfTable t;
    t.setFilePath(folder);
    t.setTableName(QStringLiteral("records_1_2026.dbf"));
    t.setReadOnlyMode(true);
    t.Open();
    std::vector<QStringList> out;
    for (t.First(); !t.Eof(); t.Next()) {
        QStringList row;
        for (int i : {Booking::Datum, Booking::Art, Booking::Beleg, Booking::Text, Booking::Brutto, Booking::MwSt,
                      Booking::Konto})
            row << t.Fields(i).AsString();
        out.push_back(row);
    }
    return out;
}

}  // namespace

TEST(BankRulesTest, SavedWholeReadInOrderAndAFailedSaveKeepsThePreviousRules) {
    testsupport::TempFolder dir;
    const QString file = BankRules::fileName(dir.path(), 1, 2026);
    EXPECT_TRUE(BankRules::load(file).empty());
    const std::vector<BankRule> rules = {
        {QStringLiteral("Telekom"), {}, 0, 19, QStringLiteral("Telefon"), false},
        {{}, QStringLiteral("Miete"), 0, 0, QStringLiteral("Miete Büro"), false},
        {QStringLiteral("Privat"), QStringLiteral("Einlage"), 1, 0, {}, true},
    };
    BankRules::save(file, rules);
    EXPECT_EQ(BankRules::load(file), rules);
    EXPECT_EQ(QFileInfo(file).fileName(), QStringLiteral("bankregeln_1_2026.dbf"));

    BankMovement m;
    m.counterparty = QStringLiteral("TELEKOM Deutschland GmbH");
    m.text = QStringLiteral("Miete April");
    EXPECT_EQ(BankRules::firstMatch(rules, m), 0);  // the first in order wins
    m.counterparty = QStringLiteral("Hausverwaltung");
    EXPECT_EQ(BankRules::firstMatch(rules, m), 1);
    m.counterparty = QStringLiteral("Privatkonto");
    EXPECT_EQ(BankRules::firstMatch(rules, m), 1);  // both patterns must match for rule 3
    m.text = QStringLiteral("Einlage");
    EXPECT_EQ(BankRules::firstMatch(rules, m), 2);
    EXPECT_EQ(BankRules::firstMatch({BankRule{}}, m), -1);  // a rule without pattern matches nothing

    std::vector<BankRule> bad = rules;
    bad[0].buchtext = QStringLiteral("Łódź");  // not in the table's code page
    EXPECT_THROW(BankRules::save(file, bad), ConversionError);
    EXPECT_EQ(BankRules::load(file), rules);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("bankregeln_1_2026.dbf")});
}

TEST(BankRulesTest, TheYearTransferCarriesTheRulesAndTheDatevAccountsWithTheAccounts) {
    testsupport::TempFolder dir;
    {
        TableSet set;
        openSet(set, dir.path(), 2025);
    }
    BankRules::save(BankRules::fileName(dir.path(), 1, 2025), {{QStringLiteral("A"), {}, 0, 19, {}, false}});
    std::array<bool, 7> onlyTexts{false, false, false, true, false, false, false};
    EXPECT_TRUE(YearTransfer::copyTables(dir.path(), 1, 2025, 2026, onlyTexts).empty());
    EXPECT_FALSE(QFileInfo::exists(BankRules::fileName(dir.path(), 1, 2026)));
    std::array<bool, 7> accounts{false, true, false, false, false, false, false};
    EXPECT_TRUE(YearTransfer::copyTables(dir.path(), 1, 2025, 2026, accounts).empty());
    EXPECT_EQ(BankRules::load(BankRules::fileName(dir.path(), 1, 2026)).size(), 1u);

    // The DATEV chart accounts travel with the collective accounts too; a failed copy is named.
    const QString datev = YearTransfer::tableFile(dir.path(), YearTransfer::datevAccountsBaseName, 1, 2025);
    testsupport::writeFile(datev, "datev 2025");
    std::array<bool, 7> collective{false, false, false, false, false, true, false};
    EXPECT_TRUE(YearTransfer::copyTables(dir.path(), 1, 2025, 2026, collective).empty());
    EXPECT_EQ(testsupport::readFile(YearTransfer::tableFile(dir.path(), YearTransfer::datevAccountsBaseName, 1, 2026)),
              "datev 2025");
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("datevkonten_1_2027.dbf")));  // a target that cannot be written
    const auto failures = YearTransfer::copyTables(dir.path(), 1, 2025, 2027, collective);
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0].table, QStringLiteral("DATEV-Konten"));
}

// A statement taken over, then read again, then an overlapping one: every movement is booked once.
TEST(BankPostingTest, BooksTheReviewedRowsAndNeverTwice) {
    testsupport::TempFolder dir;
    TableSet set;
    openSet(set, dir.path());
    BankLedger ledger;
    ledger.open(dir.path(), 1, 2026);
    const std::vector<BankRule> rules = {{QStringLiteral("telekom"), {}, 0, 19, QStringLiteral("Telefon"), false}};

    std::vector<ReviewRow> rows = review(set, ledger, read(camt + QStringLiteral("v02.xml")), rules);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(states(rows), (std::vector<State>{State::New, State::New, State::New, State::New}));
    EXPECT_EQ(rows[2].rule, 0);
    EXPECT_EQ(rows[2].ruleText, QStringLiteral("Gegenseite „telekom“"));
    EXPECT_EQ(rows[2].buchtext, QStringLiteral("Telefon"));
    EXPECT_EQ(rows[0].buchtext, QStringLiteral("Müller & Söhne GmbH: Rechnung 2026-17 Kunde 4711"));
    EXPECT_TRUE(rows[3].note.startsWith(QStringLiteral("Rückbuchung")));
    rows[1].mwstIndex = 2;  // 0 %, as the user picks it
    rows[3].ticked = false;

    int steps = 0;
    const BankPostingResult result = BankPosting::post(set, ledger, rows, 2026, [&](int done, int total) {
        EXPECT_EQ(total, 3);
        EXPECT_EQ(done, ++steps);
        return true;
    });
    EXPECT_EQ(result.booked, 3);
    EXPECT_TRUE(result.error.isEmpty());
    EXPECT_EQ(result.notTicked, 1);
    EXPECT_EQ(states(rows), (std::vector<State>{State::BookedNow, State::BookedNow, State::BookedNow, State::New}));
    EXPECT_EQ(bookingsOnDisk(dir.path()),
              (std::vector<QStringList>{
                  {QStringLiteral("16.04.2026"), QStringLiteral("E"), QStringLiteral("1"),
                   QStringLiteral("Müller & Söhne GmbH: Rechnung 2026-17 Kunde 4711"), QStringLiteral("119,5"),
                   QStringLiteral("19"), QStringLiteral("0")},
                  {QStringLiteral("16.04.2026"), QStringLiteral("A"), QStringLiteral("2"),
                   QStringLiteral("Stadtwerke Musterstadt: RF18539007547034"), QStringLiteral("50"),
                   QStringLiteral("0"), QStringLiteral("0")},
                  {QStringLiteral("16.04.2026"), QStringLiteral("A"), QStringLiteral("3"), QStringLiteral("Telefon"),
                   QStringLiteral("30"), QStringLiteral("19"), QStringLiteral("0")},
              }));
    EXPECT_EQ(ledger.table().RecordCount(), 3);

    // The same statement again: the three booked ones are recognised, the fourth is still new.
    rows = review(set, ledger, read(camt + QStringLiteral("v02.xml")), rules);
    EXPECT_EQ(states(rows), (std::vector<State>{State::Booked, State::Booked, State::Booked, State::New}));
    EXPECT_FALSE(rows[0].ticked);
    EXPECT_TRUE(rows[0].note.contains(QStringLiteral("Bankreferenz REF-02-1")));

    // A booking deleted from the journal: the movement is marked, not called booked.
    set.Dbf1.First();
    set.Dbf1.Delete();
    rows = review(set, ledger, read(camt + QStringLiteral("v02.xml")), rules);
    EXPECT_EQ(rows[0].state, State::LedgerOnly);
    EXPECT_TRUE(rows[0].note.contains(QStringLiteral("die Buchung fehlt aber")));

    // Typed by hand before any import: found by date, amount and the counterparty in the text.
    testsupport::TempFolder other;
    TableSet fresh;
    openSet(fresh, other.path());
    BankLedger freshLedger;
    freshLedger.open(other.path(), 1, 2026);
    fresh.Dbf1.Insert();
    fresh.Dbf1.Fields(Booking::Datum).setAsString(QStringLiteral("16.04.2026"));
    fresh.Dbf1.Fields(Booking::Art).setAsString(QStringLiteral("A"));
    fresh.Dbf1.Fields(Booking::Text).setAsString(QStringLiteral("Rechnung Telekom Deutschland April"));
    fresh.Dbf1.Fields(Booking::Brutto).setAsFloat(30);
    fresh.Dbf1.Post();
    rows = review(fresh, freshLedger, read(camt + QStringLiteral("v02.xml")));
    EXPECT_EQ(states(rows), (std::vector<State>{State::New, State::New, State::Booked, State::New}));
}

TEST(BankPostingTest, RowsOfStatesThatCannotBeBookedAreListedWithTheirReason) {
    testsupport::TempFolder dir;
    TableSet set;
    openSet(set, dir.path());
    BankLedger ledger;
    ledger.open(dir.path(), 1, 2026);
    Statement s = read(camt + QStringLiteral("v04.xml"));
    StatementFiles::readCamtOrZip(camt + QStringLiteral("v08.xml"), s);
    StatementFiles::readCamtOrZip(camt + QStringLiteral("v04.xml"), s);  // overlapping: read twice
    s.files[0].complete = false;                                         // as if the first file had a problem
    std::vector<ReviewRow> rows = review(set, ledger, s);
    EXPECT_EQ(states(rows), (std::vector<State>{State::Unreadable, State::Unreadable, State::Unreadable,
                                                State::Unreadable, State::New, State::Currency, State::Pending,
                                                State::New, State::New, State::Zero, State::OtherYear}));
    // The second copy of v04 is not "repeated": the first copy cannot be booked. Read whole, it is.
    s.files[0].complete = true;
    rows = review(set, ledger, s);
    EXPECT_EQ(rows[7].state, State::Repeated);
    EXPECT_EQ(rows[8].state, State::Repeated);
    EXPECT_EQ(rows[5].note, QStringLiteral("Betrag in USD: wird nicht gebucht."));
    EXPECT_EQ(rows[3].note, QStringLiteral("Datum außerhalb des Buchungsjahres 2026: wird übersprungen."));

    // Forced ticks on rows that must not be booked, and a text the table cannot hold, are skipped with reasons.
    for (ReviewRow& r : rows) r.ticked = true;
    rows[0].buchtext = QStringLiteral("Honorar 😀");
    const BankPostingResult result = BankPosting::post(set, ledger, rows, 2026);
    EXPECT_EQ(result.booked, 4);  // v04 #2, v08 #1 and the two repeated rows the user insisted on
    EXPECT_EQ(result.skipped.size(), 7);
    EXPECT_TRUE(result.skipped[0].contains(QStringLiteral("😀"))) << result.skipped[0].toStdString();
    EXPECT_TRUE(result.summary().startsWith(QStringLiteral("4 Umsätze wurden gebucht.")));
}

// Cancelling after the second row and a table that stops taking writes in the middle: the rows booked
// so far stay booked (with their ledger records), the rest stays in the window as it was.
TEST(BankPostingTest, StopsInTheMiddleKeepingWhatWasBooked) {
    testsupport::TempFolder dir;
    TableSet set;
    openSet(set, dir.path());
    BankLedger ledger;
    ledger.open(dir.path(), 1, 2026);
    std::vector<ReviewRow> rows = review(set, ledger, read(camt + QStringLiteral("v02.xml")));
    BankPostingResult result = BankPosting::post(set, ledger, rows, 2026, [](int done, int) { return done < 2; });
    EXPECT_TRUE(result.cancelled);
    EXPECT_EQ(result.booked, 2);
    EXPECT_EQ(states(rows), (std::vector<State>{State::BookedNow, State::BookedNow, State::New, State::New}));
    EXPECT_TRUE(rows[2].ticked);

    result = BankPosting::post(set, ledger, rows, 2026, [&](int, int) {
        set.Dbf1.Close();
        set.Dbf1.setReadOnlyMode(true, QStringLiteral("Test."));
        set.Dbf1.Open();
        return true;
    });
    EXPECT_EQ(result.booked, 1);
    EXPECT_FALSE(result.error.isEmpty());
    EXPECT_TRUE(result.summary().contains(QStringLiteral("Die übrigen Umsätze bleiben im Fenster")));
    EXPECT_EQ(states(rows), (std::vector<State>{State::BookedNow, State::BookedNow, State::BookedNow, State::New}));
    EXPECT_EQ(bookingsOnDisk(dir.path()).size(), 3u);
    EXPECT_EQ(ledger.table().RecordCount(), 3);  // the failed row's record is taken back
    EXPECT_EQ(rows[2].beleg, QStringLiteral("3"));
}

// A full disk in the middle of a long posting: every booking on disk has its ledger record, none is half.
TEST(BankPostingTest, FullDiskLeavesWholeBookingsAndLedgerRecordsInStep) {
    testsupport::SmallDisk disk(160);
    if (!disk.ok()) GTEST_SKIP() << disk.skipReason().toStdString();
    TableSet set;
    openSet(set, disk.path());
    BankLedger ledger;
    ledger.open(disk.path(), 1, 2026);
    Statement s;
    s.addFile(QStringLiteral("viele.csv"));
    for (int i = 0; i < 2000; ++i) {
        BankMovement m;
        m.where = QStringLiteral("Zeile %1").arg(i + 2);
        m.datum = QDate(2026, 3, 1 + i % 28);
        m.cents = -(100 + i);
        m.counterparty = QStringLiteral("Lieferant %1").arg(i);
        m.bankRef = QStringLiteral("R%1").arg(i);
        s.movements.push_back(m);
    }
    std::vector<ReviewRow> rows = review(set, ledger, s);
    const BankPostingResult result = BankPosting::post(set, ledger, rows, 2026);
    ASSERT_FALSE(result.error.isEmpty());
    EXPECT_TRUE(result.error.contains(QStringLiteral("voll"))) << result.error.toStdString();
    EXPECT_GT(result.booked, 0);
    EXPECT_LT(result.booked, 2000);
    EXPECT_EQ(int(bookingsOnDisk(disk.path()).size()), result.booked);
    EXPECT_EQ(ledger.table().RecordCount(), result.booked);
    int left = 0;
    for (const ReviewRow& r : rows) left += r.ticked ? 1 : 0;
    EXPECT_EQ(left, 2000 - result.booked);
}
