// The Kestro adapter as a byte device: binds the driver library, lists the
// connected adapters, opens and configures one of them at the line rate it
// was given, and turns every failing driver call into one of the exceptions
// of ComDevice's family, which it names as its own (Kestro2::ReadError,
// ...). Its exceptions carry no message and no status: the class alone tells
// the kind of failure. Each object has a device handle of its own, so
// several objects may run at once, each on a thread of its own.
#pragma once

#include "com_device.h"
#include "d2xx_library.h"

#include <cstdint>
#include <string>
#include <vector>

// One connected adapter as the driver lists it, trailing blanks trimmed.
struct AdapterListing {
    std::uint32_t index;
    std::string serialNumber;
    std::string description;

    bool operator==(const AdapterListing&) const = default;
};

class Kestro2 final : public ComDevice {
public:
    // The family is ComDevice's; InitializeError means that the driver
    // library is missing or lacks one of its entry points.
    using ComDevice::ConnectionError;
    using ComDevice::InitializeError;
    using ComDevice::OpenError;
    using ComDevice::ReadError;
    using ComDevice::WriteError;

    // `lineRate` in bit/s: one of configuration.h's.
    explicit Kestro2(std::uint32_t lineRate) : m_lineRate(lineRate) {}
    // Leaves the device open and the library loaded until the process ends.
    ~Kestro2() override = default;

    void Initialize();
    // The adapters connected now; a failing listing raises OpenError.
    std::vector<AdapterListing> ListAdapters();
    // Opens device 0: Open(0).
    void Open() override;
    // Lists the description of device `index`, opens it by that index and
    // sets the line rate, 1000 ms time-outs and 8 data bits, 1 stop bit, no
    // parity. A failing step raises OpenError; nothing is undone.
    void Open(std::uint32_t index);
    // The same configuration for the adapter with this serial number.
    void OpenBySerialNumber(const std::string& serialNumber);
    std::uint32_t Close() override;
    // Succeeds only when the driver reports exactly `count` bytes read.
    void Read(void* buffer, std::uint32_t count) override;
    // A write that the driver reports as successful counts as complete.
    void Write(const void* buffer, std::uint32_t count) override;
    // Drops what has been received: Purge(FT_PURGE_RX).
    void Purge() override;
    void Purge(std::uint32_t mask);
    void SetTimeouts(std::uint32_t readTimeoutMs, std::uint32_t writeTimeoutMs) override;
    // FT_SetLatencyTimer: 2 to 255 ms, so that 1 is set as 2.
    LatencyTimerSetting SetLatencyTimer(unsigned milliseconds) override;

private:
    // One field (FT_OPEN_BY_SERIAL_NUMBER or FT_OPEN_BY_DESCRIPTION) of a
    // listed device, trailing blanks trimmed.
    std::string ListedText(std::uint32_t index, std::uint32_t field);
    // The line rate, time-outs and frame format of an opened device.
    void ConfigureLine();

    D2xxLibrary m_library;
    std::uint32_t m_lineRate;
};
