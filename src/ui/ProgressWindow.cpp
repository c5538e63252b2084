// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/ProgressWindow.h"

#include <QProgressDialog>

#include "ui/UiMessages.h"

namespace ProgressWindow {

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
    return [bar](qint64 done, qint64 total) {
        bar->setValue(total > 0 ? int(done * 1000 / total) : 1000);
        return !bar->wasCanceled();
    };
}

}  // namespace ProgressWindow
