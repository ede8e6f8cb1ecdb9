// A byte device: opened once, then read and written with exact counts.
// Failures of Open, Read and Write are raised as exceptions, never returned.
#pragma once

#include <cstdint>

class ComDevice {
public:
    virtual ~ComDevice() = default;

    virtual void Open() = 0;
    // The platform's status, 0 for success.
    virtual std::uint32_t Close() = 0;
    // Returns only when all `count` bytes have arrived.
    virtual void Read(void* buffer, std::uint32_t count) = 0;
    virtual void Write(const void* buffer, std::uint32_t count) = 0;

protected:
    ComDevice() = default;
    ComDevice(const ComDevice&) = delete;
    ComDevice& operator=(const ComDevice&) = delete;
};
