// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QtGlobal>
#include <functional>
#include <memory>

class QProgressDialog;
class QWidget;

// The progress window of long work over the bookings (imports, exports, reports, the DATEV export).
namespace ProgressWindow {

// Work over more bookings than this shows the window.
inline constexpr int kFromRows = 3000;

// Modal from the start, so no other command runs meanwhile; "Abbrechen" stops the work.
std::unique_ptr<QProgressDialog> make(QWidget* parent, const QString& label);

// The callback that moves the bar and lets the window paint and take "Abbrechen"; false once the user has
// cancelled. None for no window.
std::function<bool(qint64, qint64)> step(QProgressDialog* bar);

}  // namespace ProgressWindow
