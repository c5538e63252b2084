// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QAction>
#include <QSignalSpy>
#include <QTest>
#include <functional>

#include "MainWindowFixture.h"
#include "journal/Period.h"
#include "startup/BookingSchema.h"
#include "storage/DayNumber.h"

// The main window as other windows use it: the entry value, post(), the period, the filter state and
// the notice of changed bookings.
class MainFormInterfaceTest : public MainWindowFixture {};

TEST_F(MainFormInterfaceTest, EntryValueTakesWhatFillEntryPutAndPostStoresIt) {
    start();
    EntryValue value;
    value.datum = QDate(m_year, 3, 14);
    value.einnahme = false;
    value.beleg = QStringLiteral("R-17");
    value.text = QStringLiteral("Büromaterial");
    value.brutto = 59.5;
    value.mwst = 7;
    value.konto = 2;
    value.sammelkonto = 4;
    value.kostenstelle = 5;
    value.neutral = true;
    form->fillEntry(value);
    EXPECT_EQ(form->entryValue(), value);
    // The kind chose the expense list, and the number fields their entries.
    EXPECT_TRUE(uitest::controls(form).RadioButton2->isChecked());
    EXPECT_EQ(uitest::controls(form).MwStEd->currentIndex(), 1);  // default rates 19, 7, 0

    // Filling the panel with what it holds changes nothing, also the receipt typed by hand.
    uitest::controls(form).BelegEd->setText(QStringLiteral("R-17a"));
    form->fillEntry(form->entryValue());
    EXPECT_EQ(uitest::controls(form).BelegEd->text(), QStringLiteral("R-17a"));

    form->fillEntry(value);
    QSignalSpy changed(form, &TMainForm::bookingsChanged);
    const int before = bookings().RecordCount();
    form->post();
    ASSERT_EQ(bookings().RecordCount(), before + 1);
    EXPECT_TRUE(changed.wait(2000));
    bookings().Last();
    EXPECT_EQ(bookings().Fields(Booking::Datum).AsDateTime(), DayNumber::fromDate(value.datum));
    EXPECT_EQ(bookings().Fields(Booking::Art).AsString(), QStringLiteral("S"));  // neutral on the expense side
    EXPECT_EQ(bookings().Fields(Booking::Beleg).AsString(), QStringLiteral("R-17"));
    EXPECT_DOUBLE_EQ(bookings().Fields(Booking::Brutto).AsFloat(), 59.5);
    EXPECT_DOUBLE_EQ(bookings().Fields(Booking::MwSt).AsFloat(), 7.0);
    // The panel is ready for the next booking.
    EXPECT_TRUE(form->entryValue().text.isEmpty());
    EXPECT_DOUBLE_EQ(form->entryValue().brutto, 0.0);
}

TEST_F(MainFormInterfaceTest, EveryChangeOfTheBookingsIsAnnouncedOnce) {
    start();
    post(QStringLiteral("Miete"), 500);
    QTest::qWait(20);
    QSignalSpy changed(form, &TMainForm::bookingsChanged);
    const struct {
        const char* what;
        std::function<void(DbfTable&)> change;
    } cases[] = {
        {"edit", [](DbfTable& t) { t.First(); t.Edit(); t.Fields(Booking::Text).setAsString(QStringLiteral("Pacht")); t.Post(); }},
        {"delete", [](DbfTable& t) { t.First(); t.Delete(); }},
        {"insert", [](DbfTable& t) { t.Insert(); t.Fields(Booking::Art).setAsString(QStringLiteral("E")); t.Post(); }},
    };
    int expected = 0;
    for (const auto& c : cases) {
        c.change(bookings());
        QTest::qWait(20);
        EXPECT_EQ(changed.count(), ++expected) << c.what;
    }
}

TEST_F(MainFormInterfaceTest, PeriodAndFilterStateFollowTheMenusAndTheJournalBar) {
    start();
    uitest::MainControls window(*form);
    window.periodItems[static_cast<int>(PeriodItem::N2Quartal)]->trigger();
    const Zeitraum expected = CalcZeitraum(PeriodItem::N2Quartal, m_year);
    EXPECT_EQ(form->period().vondatum, expected.vondatum);
    EXPECT_EQ(form->period().bisdatum, expected.bisdatum);
    EXPECT_FALSE(form->journalFilter().periodFilter);
    window.FilternnachZeitraum1->trigger();
    EXPECT_TRUE(form->journalFilter().periodFilter);

    EXPECT_TRUE(form->journalFilter().text.isEmpty());
    window.FilterEd->setText(QStringLiteral("müller"));
    EXPECT_TRUE(form->journalFilter().text.isEmpty());  // typed, not yet in effect
    form->FilterbtnClick();
    EXPECT_EQ(form->journalFilter().text, QStringLiteral("müller"));
    form->AllezeigenBtnClick();
    EXPECT_TRUE(form->journalFilter().text.isEmpty());
}
