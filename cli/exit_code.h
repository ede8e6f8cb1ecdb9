// The exit codes of update-cli, which scripts rely on: they never change
// meaning. The README's table lists them.
#pragma once

#include "update/image_transfer.h"

enum class ExitCode : int {
    Succeeded = 0,
    WriteError = 1,
    Usage = 2,
    NoDriver = 3,
    NoAdapter = 4,
    NoProduct = 5,
    ProductMismatch = 6,
    NoUpdateFile = 7,
    UpdateFileRefused = 8,
    UpdateFileReadError = 9,
    SomeAdapterFailed = 10,  // with --all; each adapter's own code is in its result
    Abandoned = 11,          // by the user, before or during the write
};

// The code of a transfer's ending; a failure by the message that closes it.
ExitCode ExitCodeOf(const TransferResult& result);
