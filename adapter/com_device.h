// A byte link to the product: opened once, then it drops what it has
// received, takes its read and write time-outs, and is read and written with
// exact counts. Every failure is raised as one of the exceptions below,
// whoever implements the link; none is returned.
#pragma once

#include "latency_timer.h"

#include <cstdint>
#include <stdexcept>
#include <string>

class ComDevice {
public:
    // The family of every failure. The class tells the kind of failure; the
    // message is empty unless the link has a reason to give a person.
    class ConnectionError : public std::runtime_error {
    public:
        explicit ConnectionError(const std::string& message) : std::runtime_error(message) {}
    };
    // The link's driver is missing or incomplete.
    class InitializeError : public ConnectionError {
    public:
        InitializeError() : ConnectionError(std::string()) {}
    };
    class OpenError : public ConnectionError {
    public:
        OpenError() : ConnectionError(std::string()) {}
        explicit OpenError(const std::string& reason) : ConnectionError(reason) {}
    };
    class ReadError : public ConnectionError {
    public:
        ReadError() : ConnectionError(std::string()) {}
    };
    class WriteError : public ConnectionError {
    public:
        WriteError() : ConnectionError(std::string()) {}
    };

    virtual ~ComDevice() = default;

    virtual void Open() = 0;
    // The platform's status, 0 for success.
    virtual std::uint32_t Close() = 0;
    // Returns only when all `count` bytes have arrived within the read
    // time-out; raises ReadError otherwise.
    virtual void Read(void* buffer, std::uint32_t count) = 0;
    virtual void Write(const void* buffer, std::uint32_t count) = 0;
    // Drops what has been received and not yet read; raises ConnectionError.
    virtual void Purge() = 0;
    // Raises ConnectionError.
    virtual void SetTimeouts(std::uint32_t readTimeoutMs, std::uint32_t writeTimeoutMs) = 0;
    // Asks for a latency timer of 1 to 255 ms; what cannot be set is said in
    // the result, never raised: the update goes on with what is in force.
    virtual LatencyTimerSetting SetLatencyTimer(unsigned milliseconds) = 0;

protected:
    ComDevice() = default;
    ComDevice(const ComDevice&) = delete;
    ComDevice& operator=(const ComDevice&) = delete;
};
