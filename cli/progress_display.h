// Where the progress of the transfers goes: bars on a terminal, plain lines
// on standard error that is not one, or JSON events on standard output.
// Each adapter has a slot, numbered from 0; the transfers of several
// adapters report from their own threads.
#pragma once

#include "cli/standard_streams.h"
#include "cli/texts.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class ProgressDisplay {
public:
    virtual ~ProgressDisplay() = default;
    // The product took the header; `blocks` blocks follow.
    virtual void Start(std::size_t slot, std::uint32_t blocks) = 0;
    virtual void Advance(std::size_t slot, std::uint32_t blocksDone) = 0;
    // The work on the adapter has ended, started or not: its last state
    // shows, even when that means waiting for the next report to be due.
    virtual void Finish(std::size_t slot) = 0;
};

enum class ProgressForm {
    TerminalBars,  // redrawn in place, ten times a second at most
    PlainLines,    // a line every ten percent
    JsonEvents,    // on standard output, ten a second at most per adapter
};

// `adapters` names each slot's adapter by serial number where it is known;
// the texts are kept by reference.
std::unique_ptr<ProgressDisplay> MakeProgressDisplay(ProgressForm form, StandardStreams& streams, const Texts& texts,
                                                     std::vector<std::optional<std::string>> adapters);
