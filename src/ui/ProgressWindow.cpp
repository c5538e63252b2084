// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/ProgressWindow.h"

#include <QCoreApplication>
#include <QProgressDialog>

#include "ui/UiMessages.h"

namespace ProgressWindow {

namespace {
constexpr int kShownStep = 50;  // per mille: the bar moves
constexpr int kEventStep = 20;  // per mille: the window takes its events
}  // namespace

std::unique_ptr<QProgressDialog> make(QWidget* parent, const QString& label) {
    auto progress = std::make_unique<QProgressDialog>(label, QStringLiteral("Abbrechen"), 0, 1000, parent);
    progress->setObjectName(QStringLiteral("ProgressWindow"));
    progress->setWindowTitle(UiMessages::appTitle());
    progress->setWindowModality(Qt::ApplicationModal);
    progress->setMinimumDuration(0);
    progress->setAutoReset(false);
    progress->setAutoClose(false);
    progress->show();
    return progress;
}

std::function<bool(qint64, qint64)> step(QProgressDialog* bar) {
    if (!bar) return {};
    // Each move of the bar repaints it at once, which took one to seven milliseconds under X (a report
    // over a million bookings spent about 60 ms on forty moves). So the bar moves in steps of 5 %, and
    // the window takes its events (paints, "Abbrechen") every 2 % in between: a long import stays
    // responsive every tenth of a second. The answer to "Abbrechen" is read at every call.
    return [bar, eventsAt = 0](qint64 done, qint64 total) mutable {
        const int value = total > 0 ? int(done * 1000 / total) : 1000;
        const bool move = value >= bar->value() + kShownStep || value == 1000 || value < bar->value();
        if (move) bar->setValue(value);
        // The dialog's own move takes the events too, but not at its first move: then it only shows.
        if (move || value >= eventsAt + kEventStep || value < eventsAt) {
            QCoreApplication::processEvents();
            eventsAt = value;
        }
        return !bar->wasCanceled();
    };
}

}  // namespace ProgressWindow
