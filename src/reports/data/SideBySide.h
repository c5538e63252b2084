// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

// Work shared between the calling thread and one helper thread, for the passes over a whole year on a
// machine with more than one core.
namespace SideBySide {

// True when a second thread can shorten the work (more than one core).
bool worthIt();

// Runs work(0) on a helper thread while the calling thread runs work(1), and returns when both are done.
// Where no thread is to be had, the calling thread runs both, in that order. An exception of either part
// goes on once the helper has ended (the caller's first).
void run(const std::function<void(int part)>& work);

}  // namespace SideBySide
