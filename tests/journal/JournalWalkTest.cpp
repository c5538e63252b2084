// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QRandomGenerator>

#include "JournalFixtures.h"
#include "journal/Booking.h"
#include "journal/CentSum.h"
#include "journal/ReceiptProposal.h"
#include "journal/VatSummary.h"
#include "storage/StorageError.h"

using namespace journaltest;

namespace {

// The walks as written against the cursor and the field objects: what the journal walks must give.
qint64 referenceProposal(DbfTable& bookings) {
    qint64 max = 0;
    for (bookings.First(); !bookings.Eof(); bookings.Next()) {
        const DbfField& beleg = bookings.Fields(Booking::Beleg);
        if (beleg.IsNull()) continue;
        try {
            max = std::max<qint64>(max, beleg.AsInteger());
        } catch (const QuorvelError&) {
        }
    }
    return max + 1;
}

VatSums referenceSums(DbfTable& bookings, const Zeitraum& zeitraum) {
    CentSum mwst, vorsteuer;
    for (bookings.First(); !bookings.Eof(); bookings.Next()) {
        if (!zeitraum.contains(bookings.Fields(Booking::Datum).AsDateTime())) continue;
        const QString art = bookings.Fields(Booking::Art).AsString();
        if (art != QLatin1String("E") && art != QLatin1String("A")) continue;
        const double vat =
            Booking::split(bookings.Fields(Booking::Brutto).AsFloat(), bookings.Fields(Booking::MwSt).AsFloat()).mwst;
        (art == QLatin1String("E") ? mwst : vorsteuer).add(vat);
    }
    return {mwst.value(), vorsteuer.value()};
}

struct WalkCase {
    const char* name;
    QString index;  // key field, "" = physical order
    bool filtered;
};

// Odd receipts, kinds and amounts mixed with ordinary ones, in every order and filter the journal offers:
// the walks give bit for bit what the plain walks give and leave the cursor where they leave it.
TEST(JournalWalkTest, sameResultsAsThePlainWalks) {
    const QStringList belege = {"",   "12",        "007",        "  41",       "$1F",         "0x20", "abc", "12a",
                                "-4", "999999999", "1234567890", "2147483647", "99999999999", "9 9",  "+5"};
    const QStringList arten = {"E", "A", "N", "S", "e", "", "EA", "Ä"};
    const double rates[] = {19, 7, 0, -100, 16, 5.5};
    const WalkCase cases[] = {
        {"physical order", "", false},           {"by date", "DATUM", false},      {"by text", "TEXT", false},
        {"by amount, filtered", "BRUTTO", true}, {"physical, filtered", "", true},
    };
    for (const WalkCase& c : cases) {
        SCOPED_TRACE(c.name);
        testsupport::TempFolder folder;
        auto bookings = createTable(folder, QStringLiteral("records_1_2024.dbf"), bookingsDefs());
        QRandomGenerator rng(7);
        for (int i = 0; i < 600; ++i) {
            Buchung b;
            b.datum = QDate(2023, 12, 1).addDays(rng.bounded(420));
            b.art = arten[rng.bounded(int(arten.size()))];
            b.beleg = belege[rng.bounded(int(belege.size()))];
            b.text = QStringLiteral("Buchung %1").arg(rng.bounded(50));
            b.brutto = (rng.bounded(2000001) - 500000) / 100.0 + (i % 7 == 0 ? 0.001 : 0);
            b.mwst = rates[rng.bounded(6)];
            b.konto = rng.bounded(3);
            addBooking(*bookings, b);
        }
        if (!c.index.isEmpty()) {
            bookings->AddIndex(QStringLiteral("ORDER"), c.index);
            bookings->setIndexName(QStringLiteral("ORDER"));
        }
        if (c.filtered) {
            bookings->setOnFilterRecord([](const DbfTable& t) { return t.Fields(Booking::Konto).AsInteger() != 1; });
            bookings->setFiltered(true);
        }
        for (const PeriodItem period : {PeriodItem::GanzesJahr, PeriodItem::Dezember, PeriodItem::N2Halbjahr}) {
            const Zeitraum zeitraum = CalcZeitraum(period, 2024);
            const VatSums fast = calcMwst(*bookings, zeitraum);
            const int fastRow = bookings->RecNo();
            const VatSums plain = referenceSums(*bookings, zeitraum);
            EXPECT_EQ(fast.mwst, plain.mwst);
            EXPECT_EQ(fast.vorsteuer, plain.vorsteuer);
            EXPECT_EQ(fastRow, bookings->RecNo());
        }
        const qint64 proposal = FindMaxBel(*bookings);
        EXPECT_TRUE(bookings->Eof());
        EXPECT_EQ(bookings->RecNo(), bookings->RecordCount() - 1);
        EXPECT_EQ(proposal, referenceProposal(*bookings));
        EXPECT_GT(proposal, 1);
    }
}

// A pending entry is posted before the walk and counts, as the plain walk posts it on its first step.
TEST(JournalWalkTest, pendingEntryIsPostedAndCounted) {
    testsupport::TempFolder folder;
    auto bookings = createTable(folder, QStringLiteral("records_1_2024.dbf"), bookingsDefs());
    addBooking(*bookings, {QDate(2024, 2, 1), QStringLiteral("E"), QStringLiteral("3"), {}, 119, 19});
    bookings->Insert();
    bookings->Fields(Booking::Datum).setAsDateTime(day(2024, 2, 2));
    bookings->Fields(Booking::Art).setAsString(QStringLiteral("E"));
    bookings->Fields(Booking::Beleg).setAsString(QStringLiteral("8"));
    bookings->Fields(Booking::Brutto).setAsFloat(238);
    bookings->Fields(Booking::MwSt).setAsFloat(19);
    EXPECT_EQ(FindMaxBel(*bookings), 9);
    EXPECT_EQ(bookings->state(), DbfTable::State::Browse);
    EXPECT_EQ(calcMwst(*bookings, CalcZeitraum(PeriodItem::GanzesJahr, 2024)).mwst, 57.0);
}

// Tables of another layout (a date kept as text) are read through the fields.
TEST(JournalWalkTest, otherLayoutReadsThroughTheFields) {
    testsupport::TempFolder folder;
    std::vector<FieldDef> defs = bookingsDefs();
    defs[0].type = FieldType::String;
    defs[0].size = 10;
    defs[2] = {QStringLiteral("Beleg"), FieldType::Integer, 0};
    auto bookings = createTable(folder, QStringLiteral("records_1_2024.dbf"), defs);
    bookings->Insert();
    bookings->Fields(Booking::Datum).setAsString(QStringLiteral("03.04.2024"));
    bookings->Fields(Booking::Art).setAsString(QStringLiteral("A"));
    bookings->Fields(Booking::Beleg).setAsInteger(41);
    bookings->Fields(Booking::Brutto).setAsFloat(107);
    bookings->Fields(Booking::MwSt).setAsFloat(7);
    bookings->Post();
    EXPECT_EQ(FindMaxBel(*bookings), 42);
    EXPECT_EQ(calcMwst(*bookings, CalcZeitraum(PeriodItem::April, 2024)).vorsteuer, 7.0);
    EXPECT_EQ(calcMwst(*bookings, CalcZeitraum(PeriodItem::Mai, 2024)).vorsteuer, 0.0);
}

}  // namespace
