#include "simulated_call.h"

#include <chrono>
#include <cstdio>
#include <thread>
#include <utility>

SimulatedCall ScriptedCall(const CallFault* fault, const char* entry, std::string arguments)
{
    SimulatedCall call(entry, std::move(arguments));
    if (fault == nullptr)
        return call;
    switch (fault->kind) {
    case CallFault::Kind::Status:
        call.scripted = fault->value;
        break;
    case CallFault::Kind::ShortCount:
        call.shortCount = fault->value;
        break;
    case CallFault::Kind::OverCount:
        call.overCount = fault->value;
        break;
    case CallFault::Kind::Delay:
        std::this_thread::sleep_for(std::chrono::milliseconds(fault->value));
        break;
    }
    return call;
}

FT_STATUS TraceCall(Trace& trace, const SimulatedCall& call, FT_STATUS status, const std::string& result)
{
    std::string line = call.entry;
    if (!call.arguments.empty())
        line += " " + call.arguments;
    line += " -> " + std::to_string(status);
    if (!result.empty())
        line += " " + result;
    trace.Line(line);
    return status;
}

std::string HexNumber(std::uintptr_t value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%#llx", static_cast<unsigned long long>(value));
    return text;
}
