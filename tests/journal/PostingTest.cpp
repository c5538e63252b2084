// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "JournalFixtures.h"
#include "journal/Booking.h"
#include "journal/Posting.h"
#include "storage/StorageError.h"

using namespace journaltest;

namespace {

class PostingTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (double r : {19.0, 7.0, 0.0}) addRate(*rates, r);
        addAccount(*eaccounts, 0, QStringLiteral("Einnahmen 19% Umsatzsteuer"));
        addAccount(*eaccounts, 1, QStringLiteral("Einnahmen 7% Umsatzsteuer"));
        addAccount(*aaccounts, 40, QStringLiteral("Ausgaben"));
        addAccount(*aaccounts, 41, QStringLiteral("Porto"));
        addAccount(*saccounts, 0, QStringLiteral("Nicht zugeordnet"));
        addAccount(*saccounts, 5, QStringLiteral("Sammelkonto 5"));
        addAccount(*kaccounts, 0, QStringLiteral("Nicht zugeordnet"));
        addAccount(*kaccounts, 8, QStringLiteral("Kostenstelle 8"));
    }

    void post(const BookingEntry& entry) {
        postBooking(*bookings, *rates, *eaccounts, *aaccounts, *saccounts, *kaccounts, entry);
    }

    testsupport::TempFolder folder;
    std::unique_ptr<DbfTable> bookings = createTable(folder, QStringLiteral("records_1_2024.dbf"), bookingsDefs());
    std::unique_ptr<DbfTable> rates = createTable(folder, QStringLiteral("mwstsaetze_1_2024.dbf"), ratesDefs());
    std::unique_ptr<DbfTable> eaccounts = createTable(folder, QStringLiteral("eaccounts_1_2024.dbf"), accountsDefs());
    std::unique_ptr<DbfTable> aaccounts = createTable(folder, QStringLiteral("aaccounts_1_2024.dbf"), accountsDefs());
    std::unique_ptr<DbfTable> saccounts = createTable(folder, QStringLiteral("saccounts_1_2024.dbf"), accountsDefs());
    std::unique_ptr<DbfTable> kaccounts = createTable(folder, QStringLiteral("kaccounts_1_2024.dbf"), accountsDefs());
};

TEST(BookingKind, fromIncomeExpenseAndNeutral) {
    EXPECT_EQ(bookingKind(true, false), QStringLiteral("E"));
    EXPECT_EQ(bookingKind(false, false), QStringLiteral("A"));
    EXPECT_EQ(bookingKind(true, true), QStringLiteral("N"));
    EXPECT_EQ(bookingKind(false, true), QStringLiteral("S"));
}

TEST_F(PostingTest, writesEveryFieldByPosition) {
    BookingEntry entry;
    entry.datum = day(2024, 3, 15);
    entry.einnahme = false;
    entry.beleg = QStringLiteral("17");
    entry.text = QStringLiteral("Büromaterial");
    entry.brutto = 107;
    entry.mwstIndex = 1;
    entry.kontoIndex = 1;
    entry.sammelShown = true;
    entry.sammelIndex = 1;
    entry.kostenShown = true;
    entry.kostenIndex = 1;
    post(entry);

    ASSERT_EQ(bookings->RecordCount(), 1);
    EXPECT_EQ(bookings->state(), DbfTable::State::Browse);
    bookings->First();
    EXPECT_EQ(bookings->Fields(Booking::Datum).AsString(), QStringLiteral("15.03.2024"));
    EXPECT_EQ(bookings->Fields(Booking::Art).AsString(), QStringLiteral("A"));
    EXPECT_EQ(bookings->Fields(Booking::Beleg).AsString(), QStringLiteral("17"));
    EXPECT_EQ(bookings->Fields(Booking::Text).AsString(), QStringLiteral("Büromaterial"));
    EXPECT_EQ(bookings->Fields(Booking::Brutto).AsFloat(), 107.0);
    EXPECT_EQ(bookings->Fields(Booking::MwSt).AsFloat(), 7.0);
    EXPECT_EQ(bookings->Fields(Booking::Konto).AsInteger(), 41);
    EXPECT_TRUE(bookings->Fields(Booking::MwSt2).IsNull());  // MwSt2 and Netto are never stored
    EXPECT_TRUE(bookings->Fields(Booking::Netto).IsNull());
    EXPECT_EQ(bookings->Fields(Booking::Sammelkonto).AsInteger(), 5);
    EXPECT_EQ(bookings->Fields(Booking::Kostenstelle).AsInteger(), 8);
}

TEST_F(PostingTest, kindsAndTheirAccountTables) {
    struct Case {
        bool einnahme;
        bool neutral;
        const char* art;
        int konto;
    };
    const Case cases[] = {{true, false, "E", 1}, {false, false, "A", 41}, {true, true, "N", 1}, {false, true, "S", 41}};
    for (const Case& c : cases) {
        BookingEntry entry;
        entry.einnahme = c.einnahme;
        entry.neutral = c.neutral;
        entry.kontoIndex = 1;
        post(entry);
    }
    EXPECT_EQ(column(*bookings, 1), (QStringList{"E", "A", "N", "S"}));
    EXPECT_EQ(column(*bookings, 6), (QStringList{"1", "41", "1", "41"}));
}

TEST_F(PostingTest, hiddenRowsAndMissingSelectionsStoreZero) {
    BookingEntry entry;
    entry.sammelShown = false;
    entry.sammelIndex = 1;  // the hidden list still has a selection
    entry.kostenShown = false;
    entry.kostenIndex = 1;
    post(entry);
    BookingEntry none;
    none.sammelShown = true;
    none.kostenShown = true;
    none.kontoIndex = 7;  // beyond the list
    none.mwstIndex = -1;
    post(none);
    EXPECT_EQ(column(*bookings, 9), (QStringList{"0", "0"}));
    EXPECT_EQ(column(*bookings, 10), (QStringList{"0", "0"}));
    EXPECT_EQ(column(*bookings, 6), (QStringList{"0", "0"}));
    EXPECT_EQ(column(*bookings, 5), (QStringList{"0", "0"}));
}

TEST_F(PostingTest, emptyRateTableStoresRateZero) {
    testsupport::TempFolder other;
    auto empty = createTable(other, QStringLiteral("mwstsaetze_1_2024.dbf"), ratesDefs());
    BookingEntry entry;
    entry.brutto = 50;
    entry.mwstIndex = 0;
    postBooking(*bookings, *empty, *eaccounts, *aaccounts, *saccounts, *kaccounts, entry);
    bookings->First();
    EXPECT_EQ(bookings->Fields(Booking::MwSt).AsFloat(), 0.0);
    EXPECT_EQ(nettoPreview(50, 0), QStringLiteral("Netto: 50,00 MwSt: 0,00"));
}

TEST_F(PostingTest, nothingIsValidatedAndLongTextsAreCut) {
    BookingEntry entry;
    entry.text = QString(70, QLatin1Char('x'));
    entry.datum = day(1999, 1, 1);
    post(entry);
    bookings->First();
    EXPECT_EQ(bookings->Fields(Booking::Text).AsString(), QString(60, QLatin1Char('x')));
    EXPECT_EQ(bookings->Fields(Booking::Beleg).AsString(), QString());
    EXPECT_EQ(bookings->Fields(Booking::Brutto).AsFloat(), 0.0);
}

TEST_F(PostingTest, tooWideAmountIsRefusedWithoutLeavingAHalfRecord) {
    post(BookingEntry{});
    BookingEntry entry;
    entry.brutto = 1e12;  // needs more than the 18 characters of N 18.8
    entry.text = QStringLiteral("zu groß");
    try {
        post(entry);
        FAIL() << "posted";
    } catch (const QuorvelError& e) {
        EXPECT_FALSE(e.message().isEmpty());
    }
    EXPECT_EQ(bookings->state(), DbfTable::State::Browse);
    EXPECT_EQ(bookings->RecordCount(), 1);
    EXPECT_EQ(bookings->physicalRecordCount(), 1);
    // The table is still usable.
    post(BookingEntry{});
    EXPECT_EQ(bookings->RecordCount(), 2);
}

TEST_F(PostingTest, closedBookingsTableFailsAndWritesNothing) {
    bookings->Close();
    EXPECT_THROW(post(BookingEntry{}), QuorvelError);
    bookings->Open();
    EXPECT_EQ(bookings->RecordCount(), 0);
}

TEST_F(PostingTest, olderLayoutsGetOnlyTheirFields) {
    for (int fields : {9, 10}) {
        testsupport::TempFolder other;
        auto old = createTable(other, QStringLiteral("records_1_2024.dbf"), bookingsDefs(fields));
        BookingEntry entry;
        entry.sammelShown = true;
        entry.sammelIndex = 1;
        entry.kostenShown = true;
        entry.kostenIndex = 1;
        entry.brutto = 10;
        postBooking(*old, *rates, *eaccounts, *aaccounts, *saccounts, *kaccounts, entry);
        old->First();
        EXPECT_EQ(old->RecordCount(), 1);
        EXPECT_EQ(old->Fields(Booking::Brutto).AsFloat(), 10.0);
        if (fields == 10) {
            EXPECT_EQ(old->Fields(Booking::Sammelkonto).AsInteger(), 5);
        }
    }
}

TEST_F(PostingTest, tooFewFieldsIsRefused) {
    testsupport::TempFolder other;
    auto broken = createTable(other, QStringLiteral("records_1_2024.dbf"), bookingsDefs(6));
    EXPECT_THROW(postBooking(*broken, *rates, *eaccounts, *aaccounts, *saccounts, *kaccounts, BookingEntry{}),
                 QuorvelError);
    EXPECT_EQ(broken->RecordCount(), 0);
    EXPECT_EQ(broken->state(), DbfTable::State::Browse);
}

TEST(NettoPreview, examples) {
    EXPECT_EQ(nettoPreview(119, 19), QStringLiteral("Netto: 100,00 MwSt: 19,00"));
    EXPECT_EQ(nettoPreview(10, 7), QStringLiteral("Netto: 9,35 MwSt: 0,65"));
    EXPECT_EQ(nettoPreview(0, 19), QStringLiteral("Netto: 0,00 MwSt: 0,00"));
    EXPECT_EQ(nettoPreview(-119, 19), QStringLiteral("Netto: -100,00 MwSt: -19,00"));
    EXPECT_EQ(nettoPreview(119, -100), QString());
    EXPECT_EQ(nettoPreview(0, -100), QString());
    testsupport::ScopedLocale english(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(nettoPreview(10, 7), QStringLiteral("Netto: 9.35 MwSt: 0.65"));
}

}  // namespace
