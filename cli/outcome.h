// How the work on one adapter ended: the exit code that scripts rely on
// (they never change meaning; the README's table lists them) and the message
// that closes it, a text of the catalogue.
#pragma once

#include "messages/message_id.h"
#include "update/image_transfer.h"

#include <optional>

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

struct Outcome {
    ExitCode code;
    MessageId message;
    // The latency timer in force during the update, where it is known.
    std::optional<unsigned> latencyTimerMs = std::nullopt;

    friend bool operator==(const Outcome&, const Outcome&) = default;
};

// A transfer's ending; a failure by the message that closes it.
Outcome OutcomeOf(const TransferResult& result);
Outcome NoDriverOutcome();
Outcome NoAdapterOutcome();
// The user's "no" to the question, or no question could be asked.
Outcome DeclinedOutcome();
