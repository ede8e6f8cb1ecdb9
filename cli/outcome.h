// How the work on one adapter ended: its exit code and its closing line, in
// the English words of the window program's closing messages.
#pragma once

#include "cli/exit_code.h"
#include "update/image_transfer.h"

#include <cstdint>
#include <string>

struct Outcome {
    ExitCode code;
    std::string text;

    friend bool operator==(const Outcome&, const Outcome&) = default;
};

// The texts that name the adapter differ between its generations, which the
// line rate tells apart.
Outcome OutcomeOf(const TransferResult& result, std::uint32_t lineRate);
Outcome NoDriverOutcome(std::uint32_t lineRate);
Outcome NoAdapterOutcome(std::uint32_t lineRate);
// The user's "no" to the question, or no question could be asked.
Outcome DeclinedOutcome();
