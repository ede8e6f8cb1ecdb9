// The simulated driver library as a whole: the adapters of the scenario,
// in the order of their indexes, and the calls that concern none of them
// (the number of adapters, an index or serial number that no adapter has, a
// handle that is no adapter's). Those are counted and scripted by the lines
// before the scenario's first `adapter` line and traced in the library's
// trace. A refused scenario has no adapters: every call fails.
//
// Without `adapter` lines there is one adapter, which traces into the
// library's trace and keeps the library's image file. Declared adapters each
// write a trace and an image of their own, named after the library's with
// "-SERIAL" before the extension.
#pragma once

#include "adapter/d2xx.h"
#include "scenario.h"
#include "simulated_adapter.h"
#include "simulated_call.h"
#include "trace.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class SimulatedDriver {
public:
    SimulatedDriver(Scenario scenario, const std::filesystem::path& tracePath,
                    const std::filesystem::path& imagePath);
    SimulatedDriver(const SimulatedDriver&) = delete;
    SimulatedDriver& operator=(const SimulatedDriver&) = delete;

    FT_STATUS ListDevices(void* arg1, void* arg2, std::uint32_t flags);
    FT_STATUS Open(int deviceNumber, FT_HANDLE* handle);
    FT_STATUS OpenEx(void* arg1, std::uint32_t flags, FT_HANDLE* handle);
    // `method` of the adapter that owns `handle`; with a handle that is no
    // adapter's, the scripted status, else FT_INVALID_HANDLE.
    template <typename... Parameters, typename... Arguments>
    FT_STATUS OnAdapter(const char* entry, FT_STATUS (SimulatedAdapter::*method)(FT_HANDLE, Parameters...),
                        FT_HANDLE handle, Arguments... arguments)
    {
        if (SimulatedAdapter* adapter = AdapterWithHandle(handle))
            return (adapter->*method)(handle, arguments...);
        return WithUnknownHandle(entry, handle);
    }
    // An entry point without a handle that the program never calls: the
    // scripted status, else `normal`.
    FT_STATUS WithoutHandle(const char* entry, FT_STATUS normal);

private:
    SimulatedAdapter* AdapterWithHandle(FT_HANDLE handle);
    FT_STATUS WithUnknownHandle(const char* entry, FT_HANDLE handle);
    // Counts a call that concerns no adapter and applies the script to it.
    SimulatedCall Begin(const char* entry, std::string arguments);
    FT_STATUS Finish(const SimulatedCall& call, FT_STATUS status, const std::string& result = {});

    Scenario m_scenario;
    Trace m_trace;
    std::vector<std::unique_ptr<Trace>> m_adapterTraces;  // declared adapters' own
    std::vector<std::unique_ptr<SimulatedAdapter>> m_adapters;  // fixed once made
    std::mutex m_mutex;  // for the calls that concern no adapter
    CallCounts m_calls;
};
