// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "storage/StorageError.h"

// A print or PDF run that failed (device refused a page, file not writable). The message is German.
class ReportOutputError : public QuorvelError {
public:
    using QuorvelError::QuorvelError;
};

// A print or PDF run the user cancelled; nothing is left behind.
class ReportOutputCancelled : public QuorvelError {
public:
    using QuorvelError::QuorvelError;
};
