// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "JournalFixtures.h"
#include "journal/DetachedView.h"
#include "journal/JournalFilter.h"
#include "journal/ReceiptProposal.h"
#include "storage/StorageError.h"
#include "storage/TableObserver.h"

using namespace journaltest;

namespace {

class ReceiptProposalTest : public ::testing::Test {
protected:
    void addReceipts(const QStringList& belege, QDate datum = QDate(2024, 1, 10)) {
        for (const QString& beleg : belege) addBooking(*bookings, {datum, QStringLiteral("E"), beleg});
    }

    testsupport::TempFolder folder;
    std::unique_ptr<DbfTable> bookings = createTable(folder, QStringLiteral("records_1_2024.dbf"), bookingsDefs());
};

struct ProposalCase {
    const char* name;
    QStringList belege;
    qint64 expected;
};

TEST_F(ReceiptProposalTest, proposals) {
    const ProposalCase cases[] = {
        {"empty table", {}, 1},
        {"numbers, a text and an empty one", {"7", "12", "A-3", ""}, 13},
        {"only texts", {"A-1", "B", "12a", ""}, 1},
        {"negative numbers only", {"-4", "-1"}, 1},
        {"leading blanks", {"  41", "9"}, 42},
        {"hexadecimal forms", {"$1F", "0x20", "x21", "10"}, 34},
        {"too big for 32 bits is no number", {"99999999999", "5"}, 6},
        {"largest 32-bit number", {"2147483647", "3"}, 2147483648LL},
    };
    for (const ProposalCase& c : cases) {
        SCOPED_TRACE(c.name);
        testsupport::TempFolder caseFolder;
        bookings = createTable(caseFolder, QStringLiteral("records_1_2024.dbf"), bookingsDefs());
        addReceipts(c.belege);
        EXPECT_EQ(FindMaxBel(*bookings), c.expected);
        EXPECT_TRUE(bookings->Eof());  // the walk ends on the last visible booking
    }
}

TEST_F(ReceiptProposalTest, followsThePeriodFilter) {
    QStringList january;
    QStringList february;
    for (int i = 1; i <= 30; ++i) january << QString::number(i);
    for (int i = 31; i <= 40; ++i) february << QString::number(i);
    addReceipts(january, QDate(2024, 1, 15));
    addReceipts(february, QDate(2024, 2, 15));

    JournalFilter filter;
    filter.startUp(*bookings, true, CalcZeitraum(PeriodItem::Februar, 2024));
    EXPECT_EQ(FindMaxBel(*bookings), 41);
    filter.periodChanged(*bookings, CalcZeitraum(PeriodItem::Januar, 2024));
    EXPECT_EQ(FindMaxBel(*bookings), 31);
    filter.FilternnachZeitraumToggled(*bookings, false, QString());
    EXPECT_EQ(FindMaxBel(*bookings), 41);
}

TEST_F(ReceiptProposalTest, followsTheTextFilter) {
    addBooking(*bookings, {QDate(2024, 1, 1), QStringLiteral("A"), QStringLiteral("5"), QStringLiteral("Miete")});
    addBooking(*bookings, {QDate(2024, 1, 2), QStringLiteral("A"), QStringLiteral("9"), QStringLiteral("Strom")});
    JournalFilter filter;
    filter.FilterbtnClick(*bookings, QStringLiteral("MIETE"));
    EXPECT_EQ(FindMaxBel(*bookings), 6);
}

// Records what a view is told.
class RecordingView : public TableObserver {
public:
    int cursorMoves = 0;
    int resets = 0;
    void cursorChanged() override { ++cursorMoves; }
    void tableReset() override { ++resets; }
};

TEST_F(ReceiptProposalTest, detachedViewMissesTheWalkAndHearsOfTheCursorOnce) {
    addReceipts({"1", "2", "3", "4"});
    RecordingView view;
    bookings->attach(&view);
    {
        DetachedView detached(*bookings, &view);
        EXPECT_EQ(FindMaxBel(*bookings), 5);
        EXPECT_EQ(view.cursorMoves, 0);
    }
    EXPECT_EQ(view.cursorMoves, 1);
    bookings->First();  // attached again: it follows the table
    EXPECT_EQ(view.cursorMoves, 2);
    bookings->detach(&view);
}

TEST_F(ReceiptProposalTest, detachedViewOfNothingDoesNothing) {
    addReceipts({"1"});
    DetachedView detached(*bookings, nullptr);
    EXPECT_EQ(FindMaxBel(*bookings), 2);
}

TEST_F(ReceiptProposalTest, reattachesWhenTheWalkFails) {
    RecordingView view;
    bookings->attach(&view);
    bookings->Close();
    view.cursorMoves = 0;
    EXPECT_THROW(
        {
            DetachedView detached(*bookings, &view);
            FindMaxBel(*bookings);
        },
        QuorvelError);
    EXPECT_EQ(view.cursorMoves, 1);
    bookings->Open();
    EXPECT_GE(view.cursorMoves, 2);
    bookings->detach(&view);
}

}  // namespace
