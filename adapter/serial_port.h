// The system's own serial port as the byte link to the product: a device
// path on Linux (/dev/ttyUSB0), COMn on Windows. Opened for this program
// alone, raw, 8 data bits, 1 stop bit, no parity, no flow control, at the
// line rate it was given; reads wait for the exact count up to the read
// time-out. Every failure is one of ComDevice's exceptions; a path that is no
// serial port, or one that another program holds, is refused when it is
// opened, with the reason in the exception's message. One implementation
// file per platform.
#pragma once

#include "com_device.h"

#include <cstdint>
#include <string>
#include <utility>

class SerialPort final : public ComDevice {
public:
    SerialPort(std::string path, std::uint32_t lineRate) : m_path(std::move(path)), m_lineRate(lineRate) {}
    // Closes the port if it is open.
    ~SerialPort() override;

    const std::string& Path() const { return m_path; }

    // Opens and configures the port, with 1000 ms time-outs.
    void Open() override;
    std::uint32_t Close() override;
    void Read(void* buffer, std::uint32_t count) override;
    void Write(const void* buffer, std::uint32_t count) override;
    void Purge() override;
    void SetTimeouts(std::uint32_t readTimeoutMs, std::uint32_t writeTimeoutMs) override;
    // Linux: the device's latency_timer attribute where this user may write
    // it; else, for 1 ms or in its place, the serial driver's low-latency
    // flag, which the FTDI driver makes 1 ms. Windows: nothing can be set.
    LatencyTimerSetting SetLatencyTimer(unsigned milliseconds) override;

private:
    std::string m_path;
    std::uint32_t m_lineRate;
    std::intptr_t m_handle = -1;  // a descriptor on Linux, a HANDLE on Windows; -1 when closed
    // How long a read and a write wait on Linux; Windows keeps them itself.
    std::uint32_t m_readTimeoutMs = 0;
    std::uint32_t m_writeTimeoutMs = 0;
};
