// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/ProgressWindow.h"

#include <QProgressDialog>

#include "ui/UiMessages.h"

namespace ProgressWindow {

namespace {
constexpr int kShownStep = 20;  // per mille
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
    // The bar moves in steps of 2 %: each move repaints it at once and lets the window take its events,
    // which costs about a third of a millisecond, and a report over a million bookings tells its progress
    // over a hundred times. In steps of 2 % even a long import still takes its events every tenth of a
    // second. The answer to "Abbrechen" is read at every call.
    return [bar](qint64 done, qint64 total) {
        const int value = total > 0 ? int(done * 1000 / total) : 1000;
        if (value >= bar->value() + kShownStep || value == 1000 || value < bar->value()) bar->setValue(value);
        return !bar->wasCanceled();
    };
}

}  // namespace ProgressWindow
