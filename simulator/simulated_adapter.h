// The simulated Kestro adapter with one product attached: device 0 of the
// driver library. Every call is counted per entry point, may be overridden by
// a fault from the scenario, and is written to the trace. Every sending of a
// packet is counted per block number and shaped by the scenario's faults for
// that packet and attempt.
#pragma once

#include "adapter/d2xx.h"
#include "packet_framing.h"
#include "product.h"
#include "scenario.h"
#include "serial_line.h"
#include "trace.h"

#include <cstdint>
#include <deque>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

class SimulatedAdapter {
public:
    SimulatedAdapter(Scenario scenario, const std::filesystem::path& tracePath,
                     const std::filesystem::path& imagePath);

    FT_STATUS ListDevices(void* arg1, void* arg2, std::uint32_t flags);
    FT_STATUS Open(int deviceNumber, FT_HANDLE* handle);
    // By serial number only: the other ways of FT_OpenEx find no device.
    FT_STATUS OpenEx(void* arg1, std::uint32_t flags, FT_HANDLE* handle);
    FT_STATUS Close(FT_HANDLE handle);
    FT_STATUS SetBaudRate(FT_HANDLE handle, std::uint32_t rate);
    FT_STATUS SetTimeouts(FT_HANDLE handle, std::uint32_t readTimeoutMs, std::uint32_t writeTimeoutMs);
    FT_STATUS SetDataCharacteristics(FT_HANDLE handle, std::uint8_t wordLength, std::uint8_t stopBits,
                                     std::uint8_t parity);
    FT_STATUS Purge(FT_HANDLE handle, std::uint32_t mask);
    FT_STATUS Write(FT_HANDLE handle, const void* buffer, std::uint32_t count, std::uint32_t* written);
    FT_STATUS Read(FT_HANDLE handle, void* buffer, std::uint32_t count, std::uint32_t* received);

    // The entry points that the program looks up but never calls: scripted
    // faults, a check of the device handle where they take one, and else
    // `normal`. Their outputs are left to the caller.
    FT_STATUS WithHandle(const char* entry, FT_HANDLE handle);
    FT_STATUS WithoutHandle(const char* entry, FT_STATUS normal);

private:
    struct Call {
        const char* entry;
        std::string arguments;
        std::optional<FT_STATUS> scripted;        // pre-empts the call's own behaviour
        std::optional<std::uint32_t> shortCount;  // bytes that a read or write moves
        std::uint32_t overCount = 0;              // bytes that a read or write claims beyond those it moved
    };

    // One packet on its way to the product.
    struct Sending {
        std::uint16_t blockNumber;
        unsigned attempt;  // 1 for the first sending of this block number
        PacketFaults faults;
    };

    // Counts the call and applies the scenario to it.
    Call Begin(const char* entry, std::string arguments);
    // Writes the call to the trace and returns its status.
    FT_STATUS Finish(const Call& call, FT_STATUS status, const std::string& result = {});
    // Opens device 0 for a call that has found it.
    FT_STATUS OpenDevice(const Call& call, FT_HANDLE* handle);
    bool IsOpenDevice(FT_HANDLE handle) const;
    std::string HandleText(FT_HANDLE handle) const;
    // The bytes a call moved, for the trace; nothing when there is no trace.
    std::string HexIfTraced(const std::uint8_t* bytes, std::size_t count) const;
    // Hands a complete packet to the product and its reply to the line, as
    // the scenario has them; returns the packet's trace line.
    std::string Deliver(const SimulatedProduct::Packet& packet);

    Scenario m_scenario;
    Trace m_trace;
    std::map<std::string, unsigned> m_calls;
    SimulatedProduct m_product;
    PacketFraming m_framing;
    SerialLine m_line;
    // Sendings so far, per block number: all of them from the start, so
    // that memory does not grow with the image.
    std::vector<unsigned> m_attempts = std::vector<unsigned>(0x10000, 0);
    std::deque<Sending> m_sendings;                // on their way to the product, the oldest first
    bool m_open = false;
    bool m_unplugged = false;    // from now on every call fails
    bool m_failNextRead = false;  // a packet's read-error waits for its read
    char m_device = 0;  // its address is device 0's handle
};
