// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QRandomGenerator>
#include <functional>

#include "JournalFixtures.h"
#include "journal/Booking.h"
#include "journal/JournalFilter.h"
#include "journal/JournalModel.h"
#include "journal/JournalTotals.h"
#include "journal/ReceiptProposal.h"

using namespace journaltest;

namespace {

// A year with the journal's objects on it: filter, grid model and the running figures.
struct Journal {
    testsupport::TempFolder folder;
    std::unique_ptr<DbfTable> bookings = createTable(folder, QStringLiteral("records_1_2024.dbf"), bookingsDefs());
    JournalFilter filter;
    JournalModel model;
    JournalTotals totals{*bookings};
    Zeitraum zeitraum = CalcZeitraum(PeriodItem::GanzesJahr, 2024);
    QRandomGenerator rng{11};

    Journal() {
        filter.startUp(*bookings, false, zeitraum);
        model.bind(bookings.get());
        totals.setZeitraum(zeitraum);
    }
    ~Journal() { model.unbind(); }

    Buchung randomBooking() {
        static const char* arten[] = {"E", "A", "N", "S", "E", "A"};
        static const double rates[] = {19, 7, 0, 7.5, -100};
        Buchung b;
        b.datum = QDate(2024, 1, 1).addDays(rng.bounded(366));
        b.art = QString::fromLatin1(arten[rng.bounded(6)]);
        b.beleg = rng.bounded(5) == 0 ? QStringLiteral("R-%1").arg(rng.bounded(99)) : QString::number(rng.bounded(400));
        b.text = rng.bounded(4) == 0 ? QStringLiteral("Miete") : QStringLiteral("Porto");
        b.brutto = (rng.bounded(200000) - 20000) / 100.0 + (rng.bounded(50) == 0 ? 0.001 : 0);
        b.mwst = rates[rng.bounded(5)];
        return b;
    }
    int randomRow() { return rng.bounded(bookings->RecordCount()); }
    // An edit in the grid, as the user types it.
    void typeIntoGrid(int field, const QString& text) { model.setData(model.index(randomRow(), field), text); }
    void editAndCancel() {
        bookings->setRecNo(randomRow());
        bookings->Edit();
        bookings->Fields(Booking::Brutto).setAsFloat(12345);
        bookings->Cancel();
    }
    void editThroughFields() {
        bookings->setRecNo(randomRow());
        bookings->Edit();
        bookings->Fields(Booking::Art).setAsString(QStringLiteral("A"));
        bookings->Fields(Booking::Beleg).setAsString(QString::number(rng.bounded(500)));
        bookings->Fields(Booking::MwSt).setAsFloat(19);
        bookings->Post();
    }
    void deleteRow() {
        bookings->setRecNo(randomRow());
        bookings->Delete();
    }
    void insertAndCancel() {
        bookings->Insert();
        bookings->Fields(Booking::Art).setAsString(QStringLiteral("E"));
        bookings->Fields(Booking::Brutto).setAsFloat(1000);
        bookings->Fields(Booking::Beleg).setAsString(QStringLiteral("99999"));
        bookings->Cancel();
    }
    void sortBy(const QString& field) {
        if (!bookings->indexNames().contains(field)) bookings->AddIndex(field, field);
        bookings->setIndexName(field);
    }
    void setPeriod(PeriodItem item) {
        zeitraum = CalcZeitraum(item, 2024);
        filter.periodChanged(*bookings, zeitraum);
        totals.setZeitraum(zeitraum);
    }

    // The running figures against fresh walks over what the journal shows.
    void expectAsWalked(const char* after) {
        SCOPED_TRACE(after);
        const VatSums running = totals.vatSums();
        const qint64 proposal = totals.receiptProposal();
        const VatSums walked = calcMwst(*bookings, zeitraum);
        EXPECT_EQ(running.mwst, walked.mwst);
        EXPECT_EQ(running.vorsteuer, walked.vorsteuer);
        EXPECT_EQ(proposal, FindMaxBel(*bookings));
    }
};

struct Step {
    const char* name;
    std::function<void(Journal&)> run;
    bool walks;  // whether the figures may be walked again afterwards
};

// Random sequences of every change the journal offers; after each step the running figures equal
// fresh walks, and posting, editing and deleting never walk (except when the largest receipt goes).
TEST(JournalTotalsTest, followsEveryChangeAsAWalkWouldSeeIt) {
    const Step steps[] = {
        {"post", [](Journal& j) { addBooking(*j.bookings, j.randomBooking()); }, false},
        {"grid: gross", [](Journal& j) { j.typeIntoGrid(Booking::Brutto, QStringLiteral("119,99")); }, false},
        {"grid: rate", [](Journal& j) { j.typeIntoGrid(Booking::MwSt, QStringLiteral("7")); }, false},
        {"grid: kind", [](Journal& j) { j.typeIntoGrid(Booking::Art, QStringLiteral("N")); }, false},
        {"grid: refused kind", [](Journal& j) { j.typeIntoGrid(Booking::Art, QStringLiteral("Z")); }, false},
        {"grid: date", [](Journal& j) { j.typeIntoGrid(Booking::Datum, QStringLiteral("3.2.2024")); }, false},
        {"grid: receipt", [](Journal& j) { j.typeIntoGrid(Booking::Beleg, QStringLiteral("450")); }, true},
        {"grid: text", [](Journal& j) { j.typeIntoGrid(Booking::Text, QStringLiteral("Miete Lager")); }, false},
        {"edit and cancel", [](Journal& j) { j.editAndCancel(); }, false},
        {"edit fields", [](Journal& j) { j.editThroughFields(); }, true},
        {"delete", [](Journal& j) { j.deleteRow(); }, true},
        {"insert and cancel", [](Journal& j) { j.insertAndCancel(); }, false},
        {"sort by text", [](Journal& j) { j.sortBy(QStringLiteral("TEXT")); }, false},
        {"sort by gross", [](Journal& j) { j.sortBy(QStringLiteral("BRUTTO")); }, false},
        {"physical order", [](Journal& j) { j.bookings->setIndexName(QString()); }, false},
        {"filter Miete", [](Journal& j) { j.filter.FilterbtnClick(*j.bookings, QStringLiteral("miete")); }, true},
        {"show all", [](Journal& j) { j.filter.AllezeigenBtnClick(*j.bookings); }, true},
        {"period filter",
         [](Journal& j) { j.filter.FilternnachZeitraumToggled(*j.bookings, !j.filter.periodFilter(), QString()); },
         true},
        {"2nd quarter", [](Journal& j) { j.setPeriod(PeriodItem::N2Quartal); }, true},
        {"March", [](Journal& j) { j.setPeriod(PeriodItem::Maerz); }, true},
        {"whole year", [](Journal& j) { j.setPeriod(PeriodItem::GanzesJahr); }, true},
    };
    for (const unsigned seed : {1u, 2u, 3u}) {
        Journal j;
        j.rng.seed(seed);
        for (int i = 0; i < 40; ++i) addBooking(*j.bookings, j.randomBooking());
        j.expectAsWalked("start");
        int quietSteps = 0;
        for (int i = 0; i < 400; ++i) {
            // Posting is the common step: every other step posts.
            const Step& step = i % 2 ? steps[0] : steps[j.rng.bounded(int(std::size(steps)))];
            const int walksBefore = j.totals.walks();
            const qint64 proposalBefore = j.totals.receiptProposal();
            step.run(j);
            const VatSums running = j.totals.vatSums();
            const bool largestReceiptStays = j.totals.receiptProposal() >= proposalBefore;
            if (!step.walks && largestReceiptStays) {
                ++quietSteps;
                EXPECT_EQ(j.totals.walks(), walksBefore) << step.name;
            }
            (void)running;
            j.expectAsWalked(step.name);
            if (HasFailure()) return;
        }
        EXPECT_GT(quietSteps, 200);
    }
}

// Posting a thousand bookings costs no walk; a new sort order neither; a new period one.
TEST(JournalTotalsTest, postingDoesNotWalk) {
    Journal j;
    j.totals.vatSums();
    EXPECT_EQ(j.totals.walks(), 1);
    for (int i = 0; i < 1000; ++i) {
        Buchung b = j.randomBooking();
        b.beleg = QString::number(i + 1);
        addBooking(*j.bookings, b);
        ASSERT_EQ(j.totals.receiptProposal(), i + 2);
    }
    j.sortBy(QStringLiteral("DATUM"));
    j.totals.vatSums();
    EXPECT_EQ(j.totals.walks(), 1);
    j.setPeriod(PeriodItem::Januar);
    j.expectAsWalked("January");
    EXPECT_EQ(j.totals.walks(), 2);
    j.bookings->Close();
    EXPECT_EQ(j.totals.vatSums().mwst, 0.0);
    EXPECT_EQ(j.totals.receiptProposal(), 1);
}

}  // namespace
