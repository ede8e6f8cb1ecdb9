// One call into the simulated driver library as the scenario shapes it and
// the trace tells it.
#pragma once

#include "adapter/d2xx.h"
#include "scenario.h"
#include "trace.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>

struct SimulatedCall {
    SimulatedCall(const char* entry, std::string arguments) : entry(entry), arguments(std::move(arguments)) {}

    const char* entry;
    std::string arguments;
    std::optional<FT_STATUS> scripted;        // pre-empts the call's own behaviour
    std::optional<std::uint32_t> shortCount;  // bytes that a read or write moves
    std::uint32_t overCount = 0;              // bytes that a read or write claims beyond those it moved
};

// Counts the calls of each entry point, from 1.
class CallCounts {
public:
    unsigned Count(const char* entry) { return ++m_counts[entry]; }

private:
    std::map<std::string, unsigned> m_counts;
};

// The call with the scripted fault, if any, applied: a delay is waited out
// here, before the call does its work.
SimulatedCall ScriptedCall(const CallFault* fault, const char* entry, std::string arguments);

// Writes the call's line to the trace and returns its status:
// "ENTRY ARGUMENTS -> STATUS [RESULT]".
FT_STATUS TraceCall(Trace& trace, const SimulatedCall& call, FT_STATUS status, const std::string& result = {});

// A number or an address as the trace shows it: 0x1f.
std::string HexNumber(std::uintptr_t value);
