// SPDX-License-Identifier: GPL-3.0-or-later
// The main window over a booking year of 100,000 bookings, offscreen: posting with "Buchen" (receipt
// proposal and VAT summary included, grid and navigator attached) and the start-up of the window
// (tables opened, lists, receipt proposal and VAT summary). Run by hand with QT_QPA_PLATFORM=offscreen.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <QDate>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "journal/Booking.h"
#include "journal/DetachedView.h"
#include "journal/JournalModel.h"
#include "journal/Posting.h"
#include "journal/ReceiptProposal.h"
#include "journal/VatSummary.h"
#include "startup/TableSet.h"
#include "storage/DayNumber.h"
#include "ui/AmountField.h"
#include "ui/AppForms.h"
#include "ui/DBNavigator.h"
#include "ui/MainUnit.h"

namespace {

constexpr int windowBookings = 100000;

// A per-user data folder and option store of their own, holding the current year with 100,000 bookings.
class WindowYear {
public:
    static WindowYear& instance() {
        static WindowYear year;
        return year;
    }

    // Creates the windows and shows the main window; returns once its start-up has run.
    TMainForm* start() {
        TMainForm* form = createAppForms();
        form->show();
        QElapsedTimer wait;
        wait.start();
        while (!form->tablesUsable() && wait.elapsed() < 60000) QApplication::processEvents();
        QApplication::processEvents();
        return form;
    }

private:
    WindowYear() {
        qputenv("XDG_DATA_HOME", m_dataHome.path().toUtf8());
        qputenv("XDG_CONFIG_HOME", m_configHome.path().toUtf8());
        // A first start creates the table set in the user folder; then the year is filled there.
        TMainForm* form = start();
        const QString folder = form->progpath();
        const int year = QDate::currentDate().year();
        destroyAppForms();

        TableSet set;
        set.setNames(1, year);
        set.InitDB(folder);
        DbfTable& b = set.Dbf1;
        QRandomGenerator rng(2024);
        const double first = DayNumber::fromDate(QDate(year, 1, 1));
        for (int i = 0; i < windowBookings; ++i) {
            b.Insert();
            b.Fields(Booking::Datum).setAsDateTime(first + rng.bounded(365));
            b.Fields(Booking::Art).setAsString(QString(QLatin1Char(i % 2 ? 'A' : 'E')));
            b.Fields(Booking::Beleg).setAsString(QString::number(i + 1));
            b.Fields(Booking::Text).setAsString(QStringLiteral("Buchung %1").arg(i));
            b.Fields(Booking::Brutto).setAsFloat(rng.bounded(10000000) / 100.0);
            b.Fields(Booking::MwSt).setAsFloat(i % 3 == 0 ? 7 : 19);
            b.Fields(Booking::Konto).setAsInteger(int(rng.bounded(2)));
            b.Post();
        }
        set.postAll();
        set.closeAll();
    }

    QTemporaryDir m_dataHome;
    QTemporaryDir m_configHome;
};

// "Buchen" as the user presses it: one posting, then the receipt proposal and the VAT summary walk the
// table while the journal grid and the navigator stand on it.
void BM_WindowPostWithNavigatorAttached(benchmark::State& state) {
    WindowYear& year = WindowYear::instance();
    TMainForm* form = year.start();
    for (auto _ : state) {
        EntryValue entry = form->entryValue();
        entry.text = QStringLiteral("Benchmark");
        entry.brutto = 119;
        form->fillEntry(entry);
        form->BuchenBtnClick();
        QApplication::processEvents();
    }
    state.counters["bookings"] = form->tables().Dbf1.RecordCount();
    destroyAppForms();
}

// The same two walks with only the grid's model detached, as before: the navigator follows every step.
void BM_WalksWithOnlyTheGridDetached(benchmark::State& state) {
    WindowYear& year = WindowYear::instance();
    TMainForm* form = year.start();
    DbfTable& bookings = form->tables().Dbf1;
    for (auto _ : state) {
        DetachedView detached(bookings, form->journalModel());
        benchmark::DoNotOptimize(FindMaxBel(bookings));
        benchmark::DoNotOptimize(calcMwst(bookings, Zeitraum{form->vondatum(), form->bisdatum()}));
    }
    destroyAppForms();
}

void BM_WalksWithEveryViewDetached(benchmark::State& state) {
    WindowYear& year = WindowYear::instance();
    TMainForm* form = year.start();
    DbfTable& bookings = form->tables().Dbf1;
    for (auto _ : state) {
        DetachedView detached(bookings, {form->journalModel(), form->findChild<DBNavigator*>(QStringLiteral("DBNavigator1"))->tableObserver()});
        benchmark::DoNotOptimize(FindMaxBel(bookings));
        benchmark::DoNotOptimize(calcMwst(bookings, Zeitraum{form->vondatum(), form->bisdatum()}));
    }
    destroyAppForms();
}

// From creating the windows to the started main window: tables opened, lists filled, receipt proposal
// and VAT summary computed, first screen of the journal painted.
void BM_WindowStartUp(benchmark::State& state) {
    WindowYear& year = WindowYear::instance();
    for (auto _ : state) {
        TMainForm* form = year.start();
        benchmark::DoNotOptimize(form->entryValue().beleg);
        state.PauseTiming();
        destroyAppForms();
        state.ResumeTiming();
    }
}

BENCHMARK(BM_WindowPostWithNavigatorAttached)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WalksWithOnlyTheGridDetached)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WalksWithEveryViewDetached)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WindowStartUp)->Unit(benchmark::kMillisecond);

}  // namespace
