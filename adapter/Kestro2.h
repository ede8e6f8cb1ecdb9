// The Kestro adapter as a byte device: binds the driver library, opens and
// configures device 0, and turns every failing driver call into one of the
// exceptions below. The exceptions carry no message and no status: the class
// alone tells the kind of failure.
#pragma once

#include "ComDevice.h"
#include "D2xxLibrary.h"

#include <cstdint>
#include <stdexcept>
#include <string>

class Kestro2 final : public ComDevice {
public:
    class ConnectionError : public std::runtime_error {
    public:
        explicit ConnectionError(const std::string& message) : std::runtime_error(message) {}
    };
    // The driver library is missing or lacks one of its entry points.
    class InitializeError : public ConnectionError {
    public:
        InitializeError() : ConnectionError(std::string()) {}
    };
    class OpenError : public ConnectionError {
    public:
        OpenError() : ConnectionError(std::string()) {}
    };
    class ReadError : public ConnectionError {
    public:
        ReadError() : ConnectionError(std::string()) {}
    };
    class WriteError : public ConnectionError {
    public:
        WriteError() : ConnectionError(std::string()) {}
    };

    // The serial line rate of this build's configuration, in bit/s.
    static const std::uint32_t kLineRate;

    Kestro2() = default;
    // Leaves the device open and the library loaded until the process ends.
    ~Kestro2() override = default;

    void Initialize();
    void Open() override;
    std::uint32_t Close() override;
    // Succeeds only when the driver reports exactly `count` bytes read.
    void Read(void* buffer, std::uint32_t count) override;
    // A write that the driver reports as successful counts as complete.
    void Write(const void* buffer, std::uint32_t count) override;
    void Purge(std::uint32_t mask);
    void SetTimeouts(std::uint32_t readTimeoutMs, std::uint32_t writeTimeoutMs);

private:
    D2xxLibrary m_library;
};
