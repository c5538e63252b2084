// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QProgressBar>
#include <QProgressDialog>
#include <QWidget>
#include <vector>

#include "ui/ProgressWindow.h"

namespace {

// The bar of a long work moves in steps of 5 % (each move repaints it), never lags the work by 5 % or more,
// and ends full; the window takes its events at least every 2 % of the work; "Abbrechen" is answered at
// the next call whether or not the bar moved then.
TEST(ProgressWindowTest, TheBarFollowsTheWorkInStepsOfFivePercentAndTheWindowTakesItsEventsEveryTwo) {
    const struct {
        const char* what;
        qint64 total;
        qint64 every;  // steps between calls
    } cases[] = {{"a report over a million bookings", 2000000, 16384},
                 {"an import told line by line", 20000, 1},
                 {"a work of few calls", 3, 1}};
    QWidget parent;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto dialog = ProgressWindow::make(&parent, QStringLiteral("Es läuft..."));
        auto* bar = dialog->findChild<QProgressBar*>();
        ASSERT_NE(bar, nullptr);
        std::vector<int> shown;
        QObject::connect(bar, &QProgressBar::valueChanged, [&](int value) { shown.push_back(value); });
        // An event waits in the queue from one call to the next; the work done when it is taken is noted.
        QObject receiver;
        qint64 done = 0;
        qint64 takenAt = 0;
        bool waiting = false;
        const auto post = [&] {
            if (waiting) return;
            waiting = true;
            QMetaObject::invokeMethod(
                &receiver, [&] { waiting = false, takenAt = done; }, Qt::QueuedConnection);
        };
        const auto step = ProgressWindow::step(dialog.get());
        for (done = c.every; done <= c.total; done += c.every) {
            post();
            ASSERT_TRUE(step(done, c.total));
            EXPECT_LT(done * 1000 / c.total - bar->value(), 50) << done;
            EXPECT_LE((done - takenAt) * 1000 / c.total, 21 + c.every * 1000 / c.total) << done;
        }
        EXPECT_TRUE(step(c.total, c.total));
        EXPECT_EQ(bar->value(), 1000);
        EXPECT_LE(shown.size(), 21u);
        dialog->cancel();
        EXPECT_FALSE(step(c.total, c.total));
    }
}

}  // namespace
