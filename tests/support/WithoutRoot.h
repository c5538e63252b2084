// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

namespace testsupport {

// Runs `body`, a part of a test, as a user without root rights, so that write protection and unreadable
// files are really exercised when the suite runs as root (as it does in CI).
//
// Not root: `body` runs in place. Root: `body` runs in a forked child that first gives up root for good
// (supplementary groups dropped, then group and user "nobody") and gets a scratch folder of its own as
// TMPDIR and HOME, so the temporary folders the body makes belong to it. Every assertion, failure and
// skip of the body is sent to the parent through a pipe and reported there at its own file and line; a
// child that dies or throws is a failure of the test. Only where root cannot be given up (no permission to
// change the user, as in some containers) does the test skip, saying why. The child ends with _exit, so
// nothing of the parent (the application object, open files) is torn down twice.
//
// Call it from the test body itself (it reports skips with GTEST_SKIP); the body may use every gtest
// macro. Keep the body to plain logic: a forked child of a process with a window system is not safe.
void runWithoutRoot(const std::function<void()>& body);

// True in the child that runWithoutRoot made, and in a process that never had root.
bool withoutRoot();

}  // namespace testsupport
