// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QProgressBar>
#include <QProgressDialog>
#include <QWidget>
#include <vector>

#include "ui/ProgressWindow.h"

namespace {

// The bar of a long work moves in steps of 2 % (each move repaints it and takes the window's events), never
// lags the work by 2 % or more, ends full, and "Abbrechen" is answered at the next call whether or not
// the bar moved then.
TEST(ProgressWindowTest, TheBarFollowsTheWorkInStepsOfTwoPercentAndAnswersAbbrechenAtOnce) {
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
        const auto step = ProgressWindow::step(dialog.get());
        for (qint64 done = c.every; done <= c.total; done += c.every) {
            ASSERT_TRUE(step(done, c.total));
            EXPECT_LT(done * 1000 / c.total - bar->value(), 20) << done;
        }
        EXPECT_TRUE(step(c.total, c.total));
        EXPECT_EQ(bar->value(), 1000);
        EXPECT_LE(shown.size(), 51u);
        dialog->cancel();
        EXPECT_FALSE(step(c.total, c.total));
    }
}

}  // namespace
