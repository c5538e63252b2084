// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

// Runs a command of the command line without a window (the offscreen platform, no display needed) and
// returns the exit status: 0 done, 1 failure, 2 wrong call, 3 the data folder is in use by a running
// copy. Messages go to stderr in German, results to stdout.
namespace CliMain {

// The application names the option store and the per-user folder are found under; the window uses them too.
void setApplicationNames();

int run(int& argc, char** argv, const QStringList& args);

}  // namespace CliMain
