// SPDX-License-Identifier: GPL-3.0-or-later
// Closed periods, cancellations and receipt numbers over real tables in a temporary folder.
#include <gtest/gtest.h>

#include <QDate>
#include <vector>

#include "audit/Cancellation.h"
#include "audit/LogNotes.h"
#include "audit/PeriodClosing.h"
#include "audit/ReceiptNumbers.h"
#include "journal/Booking.h"
#include "journal/VatSummary.h"
#include "startup/ClientNaming.h"
#include "storage/DayNumber.h"
#include "storage/DbfTable.h"
#include "support/TestSupport.h"

namespace {

struct RecordingNotes : audit::LogNotes {
    std::vector<audit::LogNote> notes;
    bool fail = false;
    void note(const audit::LogNote& entry) override {
        if (fail) throw QuorvelError(QStringLiteral("Das Änderungsprotokoll ist voll."));
        notes.push_back(entry);
    }
};

struct Row {
    QDate datum;
    const char* art;
    const char* beleg;
    double brutto;
    double mwst;
    int konto;
};

class ClosingTest : public ::testing::Test {
protected:
    void SetUp() override {
        bookings.setFilePath(folder.path());
        bookings.setTableName(ClientNaming::tableFileName(QStringLiteral("records"), 1, 2026));
        bookings.setFieldDefs(Booking::schema());
        bookings.CreateTable();
        bookings.Open();
    }
    void add(const Row& r) {
        bookings.Insert();
        bookings.Fields(Booking::Datum).setAsDateTime(DayNumber::fromDate(r.datum));
        bookings.Fields(Booking::Art).setAsString(QString::fromLatin1(r.art));
        bookings.Fields(Booking::Beleg).setAsString(QString::fromLatin1(r.beleg));
        bookings.Fields(Booking::Text).setAsString(QStringLiteral("Büromaterial"));
        bookings.Fields(Booking::Brutto).setAsFloat(r.brutto);
        bookings.Fields(Booking::MwSt).setAsFloat(r.mwst);
        bookings.Fields(Booking::Konto).setAsInteger(r.konto);
        bookings.Fields(Booking::Sammelkonto).setAsInteger(3);
        bookings.Fields(Booking::Kostenstelle).setAsInteger(4);
        bookings.Post();
    }
    void watch() {
        closing.load(folder.path(), 1, 2026);
        numbers.load(bookings);
        bookings.addWitness(&closing);
        bookings.addWitness(&numbers);
    }
    void TearDown() override {
        bookings.removeWitness(&closing);
        bookings.removeWitness(&numbers);
    }
    static VatSums yearSums(DbfTable& t) {
        return calcMwst(t, Zeitraum{DayNumber::fromDate(QDate(2026, 1, 1)), DayNumber::fromDate(QDate(2026, 12, 31))});
    }

    testsupport::TempFolder folder;
    DbfTable bookings;
    audit::PeriodClosing closing;
    audit::ReceiptNumbers numbers;
    RecordingNotes log;
};

// Closing only moves forward, survives reopening the year, is noted in the log, and a note that cannot
// be written leaves nothing closed.
TEST_F(ClosingTest, ClosingIsOneWayAndPersisted) {
    watch();
    EXPECT_FALSE(closing.closedUntil().isValid());
    EXPECT_EQ(closing.offeredDates().size(), 12);

    log.fail = true;
    EXPECT_THROW(closing.close(QDate(2026, 2, 28), QDate(2026, 4, 2), &log), QuorvelError);
    EXPECT_FALSE(closing.closedUntil().isValid());
    audit::PeriodClosing reread;
    reread.load(folder.path(), 1, 2026);
    EXPECT_FALSE(reread.closedUntil().isValid());

    log.fail = false;
    closing.close(QDate(2026, 3, 31), QDate(2026, 4, 2), &log);
    ASSERT_EQ(log.notes.size(), 1u);
    EXPECT_EQ(log.notes[0].action, QStringLiteral("Festschreibung"));
    EXPECT_TRUE(log.notes[0].text.contains(QStringLiteral("31.03.2026")));
    EXPECT_EQ(closing.offeredDates().front(), QDate(2026, 4, 30));

    struct Case {
        QDate until;
        const char* says;  // empty: accepted
    };
    const Case cases[] = {
        {QDate(2026, 1, 31), "kann nicht zurückgenommen werden"},
        {QDate(2026, 3, 31), "schon bis 31.03.2026 festgeschrieben"},
        {QDate(2025, 12, 31), "nicht im Buchungsjahr 2026"},
        {QDate(), "gültiges Datum"},
        {QDate(2026, 6, 30), ""},
    };
    for (const Case& c : cases) {
        const QString why = closing.refusal(c.until);
        if (*c.says == 0)
            EXPECT_TRUE(why.isEmpty()) << why.toStdString();
        else
            EXPECT_TRUE(why.contains(QString::fromUtf8(c.says))) << why.toStdString();
    }
    EXPECT_THROW(closing.close(QDate(2026, 1, 31), QDate(2026, 4, 2), &log), QuorvelError);

    // Another client and another year know nothing of it; the same year read again does.
    audit::PeriodClosing other;
    other.load(folder.path(), 2, 2026);
    EXPECT_FALSE(other.closedUntil().isValid());
    other.load(folder.path(), 1, 2027);
    EXPECT_FALSE(other.closedUntil().isValid());
    reread.load(folder.path(), 1, 2026);
    EXPECT_EQ(reread.closedUntil(), QDate(2026, 3, 31));
    EXPECT_TRUE(QFile::exists(folder.file(QStringLiteral("festschreibung_1_2026.dbf"))));
}

// The cancellation negates the booking with all its assignments, links it in the log, nets to zero in the
// VAT summary, and is dated after the closing when today lies in it.
TEST_F(ClosingTest, CancellationNetsToZero) {
    add({QDate(2026, 1, 15), "A", "7", 119.0, 19, 4});
    add({QDate(2026, 2, 3), "E", "8", 1000.01, 7, 1});
    const VatSums before = yearSums(bookings);
    watch();
    closing.close(QDate(2026, 3, 31), QDate(2026, 4, 2), &log);

    struct Case {
        int row;
        QDate today;
        QDate dated;
    };
    const Case cases[] = {
        {0, QDate(2026, 5, 6), QDate(2026, 5, 6)},
        {1, QDate(2026, 3, 10), QDate(2026, 4, 1)},  // today is closed: the first open day
    };
    for (const Case& c : cases) {
        bookings.setRecNo(c.row);
        const audit::BookingValues original = audit::Cancellation::current(bookings);
        EXPECT_FALSE(audit::Cancellation::isCancelled(bookings, original));
        const audit::CancellationResult done =
            audit::Cancellation::cancelCurrent(bookings, closing, numbers, c.today, &log);
        EXPECT_EQ(done.datum, c.dated);
        EXPECT_EQ(done.beleg, QString::number(9 + c.row));  // the next number, no gap
        EXPECT_TRUE(audit::Cancellation::isCancelled(bookings, original));
        const audit::LogNote& note = log.notes.back();
        EXPECT_EQ(note.action, QStringLiteral("Storno"));
        EXPECT_EQ(note.record, original.record);
        EXPECT_TRUE(note.text.contains(QStringLiteral("Beleg %1").arg(original.beleg)));
        EXPECT_TRUE(note.text.contains(QStringLiteral("Beleg %1").arg(done.beleg)));

        bookings.setRecNo(bookings.RecordCount() - 1);
        const audit::BookingValues posted = audit::Cancellation::current(bookings);
        EXPECT_EQ(posted.art, original.art);
        EXPECT_EQ(posted.brutto, -original.brutto);
        EXPECT_EQ(posted.mwst, original.mwst);
        EXPECT_EQ(posted.konto, original.konto);
        EXPECT_EQ(posted.sammelkonto, 3);
        EXPECT_EQ(posted.kostenstelle, 4);
        EXPECT_EQ(posted.text, QStringLiteral("Storno zu Beleg %1").arg(original.beleg));
    }
    EXPECT_NE(before.vorsteuer, 0.0);
    EXPECT_NE(before.mwst, 0.0);
    const VatSums after = yearSums(bookings);
    EXPECT_EQ(after.vorsteuer, 0.0);
    EXPECT_EQ(after.mwst, 0.0);
    EXPECT_EQ(bookings.RecordCount(), 4);

    // A note that cannot be written withdraws the cancelling booking.
    log.fail = true;
    bookings.setRecNo(0);
    EXPECT_THROW(audit::Cancellation::cancelCurrent(bookings, closing, numbers, QDate(2026, 5, 6), &log), QuorvelError);
    EXPECT_EQ(bookings.RecordCount(), 4);
    EXPECT_EQ(yearSums(bookings).vorsteuer, 0.0);
}

// A cancellation is dated inside the table's year: today when it is open, the first open day after a
// closing, the year's last day when today is later; a year closed to its end takes none.
TEST_F(ClosingTest, CancellationDayLiesInTheOpenPartOfTheYear) {
    struct Case {
        QDate closedUntil;  // invalid: nothing closed
        QDate today;
        QDate dated;  // invalid: refused
    };
    const Case cases[] = {
        {{}, QDate(2026, 5, 6), QDate(2026, 5, 6)},
        {QDate(2026, 3, 31), QDate(2026, 3, 10), QDate(2026, 4, 1)},
        {QDate(2026, 3, 31), QDate(2027, 2, 1), QDate(2026, 12, 31)},
        {{}, QDate(2025, 11, 30), QDate(2026, 1, 1)},
        {QDate(2026, 11, 30), QDate(2027, 1, 5), QDate(2026, 12, 31)},
        {QDate(2026, 12, 31), QDate(2026, 12, 10), {}},
        {QDate(2026, 12, 31), QDate(2027, 1, 5), {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.today.toString(Qt::ISODate).toStdString());
        testsupport::TempFolder dir;
        audit::PeriodClosing year;
        year.load(dir.path(), 1, 2026);
        if (c.closedUntil.isValid()) year.close(c.closedUntil, QDate(2026, 1, 1), nullptr);
        if (c.dated.isValid()) {
            EXPECT_EQ(year.firstOpenDay(c.today), c.dated);
        } else {
            try {
                year.firstOpenDay(c.today);
                ADD_FAILURE() << "no refusal";
            } catch (const QuorvelError& e) {
                EXPECT_TRUE(QString::fromUtf8(e.what()).contains(QStringLiteral("festgeschrieben")));
            }
        }
    }
}

// Receipt numbers: the proposal counts every booking of the file (the filtered-out ones too), follows
// inserts, edits and deletes, and a number given twice by hand is named for the log.
TEST_F(ClosingTest, ReceiptNumbersWithoutGaps) {
    add({QDate(2026, 1, 5), "A", "1", 10, 19, 4});
    add({QDate(2026, 1, 6), "A", "2", 10, 19, 4});
    add({QDate(2026, 6, 6), "E", "x1F", 10, 19, 1});  // 31
    // The journal shows only January: the proposal still knows the June receipt.
    bookings.setOnFilterRecord(
        [](const DbfTable& t) { return DayNumber::toDate(t.Fields(Booking::Datum).AsDateTime()).month() == 1; });
    bookings.setFiltered(true);
    watch();
    EXPECT_EQ(numbers.proposal(), 32);

    struct Step {
        std::function<void()> change;
        qint64 proposal;
    };
    const Step steps[] = {
        {[&] { add({QDate(2026, 1, 7), "A", "32", 5, 19, 4}); }, 33},
        {[&] {
             bookings.setRecNo(2);
             bookings.Edit();
             bookings.Fields(Booking::Beleg).setAsString(QStringLiteral("40"));
             bookings.Post();
         },
         41},
        {[&] {
             bookings.setRecNo(2);
             bookings.Delete();
         },
         32},
    };
    for (const Step& s : steps) {
        s.change();
        EXPECT_EQ(numbers.proposal(), s.proposal);
    }

    struct Typed {
        const char* beleg;
        bool noted;
    };
    const Typed typed[] = {{"32", false}, {"2", true}, {" 31", true}, {"$1F", true}, {"99", false}, {"", false}};
    for (const Typed& t : typed) {
        const auto note = numbers.overrideNote(QString::fromLatin1(t.beleg), numbers.proposal());
        EXPECT_EQ(note.has_value(), t.noted) << t.beleg;
        if (note) {
            EXPECT_EQ(note->action, QStringLiteral("Belegnummer"));
            EXPECT_TRUE(note->text.contains(QStringLiteral("vorgeschlagen war 32")));
        }
    }
}

}  // namespace

namespace {

// The watcher counts a stored receipt from its bytes, the loading reads it as text: both give the same
// proposal and the same receipts in use, at the edges of what counts as a number too.
TEST_F(ClosingTest, ReceiptsCountAlikeWhetherWatchedOrLoaded) {
    watch();
    struct Step {
        const char* beleg;
        qint64 proposal;  // after posting it
    };
    const Step steps[] = {
        {"7", 8},
        {"0000000012", 13},           // leading zeros: the number 12
        {"2147483647", 2147483648},   // the largest 32-bit number
        {"2147483648", 2147483648},   // beyond it: a text
        {"99999999999", 2147483648},  // eleven digits: a text
        {"x1F", 2147483648},          // hexadecimal, smaller
        {"-5", 2147483648},
        {"12a", 2147483648},
        {"7", 2147483648},  // a number twice
    };
    for (const Step& s : steps) {
        add({QDate(2026, 5, 5), "E", s.beleg, 1, 19, 1});
        EXPECT_EQ(numbers.proposal(), s.proposal) << s.beleg;
    }
    bookings.setRecNo(2);  // the booking with 2147483647
    bookings.Delete();
    bookings.setRecNo(0);  // one of the two 7s
    bookings.Delete();

    audit::ReceiptNumbers loaded;
    loaded.load(bookings);
    EXPECT_EQ(numbers.proposal(), 32);  // x1F is the largest left
    EXPECT_EQ(loaded.proposal(), numbers.proposal());
    for (const char* typed : {"7", "12", "0012", "2147483647", "2147483648", "99999999999", "31", "-5", "12a", "8"})
        EXPECT_EQ(numbers.isUsed(QString::fromLatin1(typed)), loaded.isUsed(QString::fromLatin1(typed))) << typed;
    EXPECT_TRUE(numbers.isUsed(QStringLiteral("7")));
    EXPECT_FALSE(numbers.isUsed(QStringLiteral("2147483647")));
}

}  // namespace
