// Run-time binding of the D2XX driver library: loads it by name, looks up all
// 35 entry points and forwards the eleven calls that the adapter device needs.
// Statuses pass through unchanged; an absent entry answers FT_INVALID_HANDLE.
#pragma once

#include "d2xx.h"
#include "d2xx_module.h"

#include <cstdint>

class D2xxLibrary {
public:
    D2xxLibrary() = default;
    D2xxLibrary(const D2xxLibrary&) = delete;
    D2xxLibrary& operator=(const D2xxLibrary&) = delete;
    // Destruction neither closes the device nor unloads the library: both
    // stay in use until the process ends.
    ~D2xxLibrary() = default;

    // True when the library is loaded and has all 35 entry points. A failure
    // undoes nothing: the library stays loaded with the entries found so far.
    bool Load();

    FT_STATUS ListDevices(void* arg1, void* arg2, std::uint32_t flags);
    // FT_Open stores the new device handle straight into `handle`.
    FT_STATUS Open(std::uint32_t deviceIndex);
    // FT_OpenEx, which also stores the new device handle into `handle`.
    FT_STATUS OpenEx(void* arg1, std::uint32_t flags);
    FT_STATUS SetBaudRate(std::uint32_t rate);
    FT_STATUS SetDataCharacteristics(std::uint8_t wordLength, std::uint8_t stopBits,
                                     std::uint8_t parity);
    FT_STATUS SetTimeouts(std::uint32_t readTimeoutMs, std::uint32_t writeTimeoutMs);
    FT_STATUS SetLatencyTimer(std::uint8_t milliseconds);
    FT_STATUS Purge(std::uint32_t mask);
    FT_STATUS Write(void* buffer, std::uint32_t count, std::uint32_t* written);
    FT_STATUS Read(void* buffer, std::uint32_t count, std::uint32_t* received);
    // Calls FT_Close even without an open device, then forgets the handle
    // whatever the status; with FT_Close absent, changes nothing.
    FT_STATUS Close();

    D2xxModule GetModule() const { return module; }
    FT_HANDLE GetHandle() const { return handle; }

private:
    struct Entries {
#define D2XX_DECLARE_ENTRY(name, ...) name##_Fn name = nullptr;
        D2XX_ENTRY_POINTS(D2XX_DECLARE_ENTRY)
#undef D2XX_DECLARE_ENTRY
    };

    Entries entries;
    D2xxModule module = nullptr;  // never unloaded
    FT_HANDLE handle = nullptr;
};
