// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <exception>

// The German text a user reads for an error. The table layer keeps the dataset interface's English
// texts for the conditions callers test for ("Dataset not in edit or insert mode", ...); they are
// put into German here, where an error leaves for a window, together with what the user can do.
namespace ErrorText {

QString forUser(const std::exception& error);

}  // namespace ErrorText
