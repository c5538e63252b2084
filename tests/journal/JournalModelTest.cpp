// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QSignalSpy>

#include "JournalFixtures.h"
#include "journal/Booking.h"
#include "journal/JournalModel.h"

using namespace journaltest;

namespace {

struct KindCase {
    const char* typed;
    const char* stored;  // nullptr: refused, the booking keeps "E"
};

// Only E, A, N and S are kinds: anything else typed into ART, in a posted row or in the pending new
// row, is refused with the German message and nothing is written; a file holding another kind still reads.
TEST(JournalModelTest, onlyTheFourKindsAreTaken) {
    const KindCase cases[] = {
        {"A", "A"},    {"N", "N"},     {"S", "S"},     {"E", "E"},      {"A ", "A"},     {"e", nullptr},
        {"", nullptr}, {" ", nullptr}, {"Z", nullptr}, {"EA", nullptr}, {" A", nullptr}, {"Ä", nullptr},
    };
    testsupport::TempFolder folder;
    auto bookings = createTable(folder, QStringLiteral("records_1_2024.dbf"), bookingsDefs());
    addBooking(*bookings, {QDate(2024, 5, 1), QStringLiteral("E"), {}, QStringLiteral("Verkauf"), 119, 19});
    JournalModel model;
    model.bind(bookings.get());
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    QSignalSpy failed(&model, &TableModel::editFailed);
    for (const KindCase& c : cases) {
        SCOPED_TRACE(c.typed);
        failed.clear();
        const QString typed = QString::fromUtf8(c.typed);
        EXPECT_EQ(model.setData(model.index(0, Booking::Art), typed), c.stored != nullptr);
        EXPECT_EQ(bookings->state(), DbfTable::State::Browse);
        EXPECT_EQ(model.index(0, Booking::Art).data().toString(), QString::fromUtf8(c.stored ? c.stored : "E"));
        ASSERT_EQ(failed.count(), c.stored ? 0 : 1);
        if (!c.stored) {
            EXPECT_EQ(failed.at(0).at(0).toString(), Booking::kindRefusal(typed));
        } else {
            model.setData(model.index(0, Booking::Art), QStringLiteral("E"));
        }
    }
    EXPECT_EQ(Booking::kindRefusal(u"Z"),
              QStringLiteral("„Z“ ist keine Buchungsart. Zulässig sind E (Einnahme), A (Ausgabe), N (gewinnneutral, "
                             "Einnahmeseite) und S (gewinnneutral, Ausgabeseite)."));
    EXPECT_TRUE(Booking::kindRefusal(u"").startsWith(QStringLiteral("Die Buchungsart fehlt.")));

    bookings->Insert();
    const int pending = bookings->RecNo();
    EXPECT_FALSE(model.setData(model.index(pending, Booking::Art), QStringLiteral("x")));
    EXPECT_TRUE(model.setData(model.index(pending, Booking::Art), QStringLiteral("S")));
    bookings->Post();
    EXPECT_EQ(column(*bookings, Booking::Art), QStringList({"E", "S"}));

    // Stored files are read as they are, whatever kind they hold.
    bookings->Last();
    bookings->Edit();
    bookings->Fields(Booking::Art).setAsString(QStringLiteral("Z"));
    bookings->Post();
    EXPECT_EQ(model.index(1, Booking::Art).data().toString(), QStringLiteral("Z"));
    model.unbind();
}

}  // namespace
