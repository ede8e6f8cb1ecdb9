// One simulated Kestro adapter with its product attached: a device of the
// driver library, listed and opened by its index or serial number. Every
// call on it is counted per entry point, may be overridden by a fault from
// its script, and is written to its trace. Every sending of a packet is
// counted per block number and shaped by the script's faults for that
// packet and attempt. Calls on one adapter are taken one at a time; calls on
// different adapters run side by side, line timing included.
#pragma once

#include "adapter/d2xx.h"
#include "packet_framing.h"
#include "product.h"
#include "scenario.h"
#include "serial_line.h"
#include "simulated_call.h"
#include "trace.h"

#include <cstdint>
#include <deque>
#include <filesystem>
#include <mutex>
#include <string>
#include <vector>

class SimulatedAdapter {
public:
    // `trace` outlives the adapter and may be shared with the library.
    SimulatedAdapter(std::uint32_t index, DeclaredAdapter declared, Trace& trace,
                     const std::filesystem::path& imagePath);
    SimulatedAdapter(const SimulatedAdapter&) = delete;
    SimulatedAdapter& operator=(const SimulatedAdapter&) = delete;

    const std::string& SerialNumber() const { return m_serialNumber; }
    // Whether the handle is this adapter's, open or not.
    bool Owns(FT_HANDLE handle) const { return handle == &m_device; }

    // FT_ListDevices with FT_LIST_BY_INDEX and this adapter's index.
    FT_STATUS ListDevices(void* arg1, void* arg2, std::uint32_t flags);
    // FT_Open with this adapter's index, FT_OpenEx with its serial number.
    FT_STATUS Open(int deviceNumber, FT_HANDLE* handle);
    FT_STATUS OpenEx(const std::string& serialNumber, std::uint32_t flags, FT_HANDLE* handle);
    FT_STATUS Close(FT_HANDLE handle);
    FT_STATUS SetBaudRate(FT_HANDLE handle, std::uint32_t rate);
    FT_STATUS SetTimeouts(FT_HANDLE handle, std::uint32_t readTimeoutMs, std::uint32_t writeTimeoutMs);
    FT_STATUS SetDataCharacteristics(FT_HANDLE handle, std::uint8_t wordLength, std::uint8_t stopBits,
                                     std::uint8_t parity);
    FT_STATUS Purge(FT_HANDLE handle, std::uint32_t mask);
    // 2 to 255 ms, as the chip maker's guide gives; another value is refused.
    FT_STATUS SetLatencyTimer(FT_HANDLE handle, std::uint8_t milliseconds);
    FT_STATUS Write(FT_HANDLE handle, const void* buffer, std::uint32_t count, std::uint32_t* written);
    FT_STATUS Read(FT_HANDLE handle, void* buffer, std::uint32_t count, std::uint32_t* received);

    // The entry points that the program looks up but never calls: scripted
    // faults and a check of the device handle. Their outputs are left to
    // the caller.
    FT_STATUS WithHandle(FT_HANDLE handle, const char* entry);

private:
    // One packet on its way to the product.
    struct Sending {
        std::uint16_t blockNumber;
        unsigned attempt;  // 1 for the first sending of this block number
        PacketFaults faults;
    };

    // Counts the call and applies the script to it.
    SimulatedCall Begin(const char* entry, std::string arguments);
    FT_STATUS Finish(const SimulatedCall& call, FT_STATUS status, const std::string& result = {});
    FT_STATUS OpenDevice(const SimulatedCall& call, FT_HANDLE* handle);
    bool IsOpenDevice(FT_HANDLE handle) const;
    std::string HandleText(FT_HANDLE handle) const;
    // The bytes a call moved, for the trace; nothing when there is no trace.
    std::string HexIfTraced(const std::uint8_t* bytes, std::size_t count) const;
    // Hands a complete packet to the product and its reply to the line, as
    // the script has them; returns the packet's trace line.
    std::string Deliver(const SimulatedProduct::Packet& packet);

    const std::uint32_t m_index;
    const std::string m_serialNumber;
    const std::string m_description;
    const AdapterScript m_script;
    Trace& m_trace;
    std::mutex m_mutex;  // one call at a time on this adapter
    CallCounts m_calls;
    SimulatedProduct m_product;
    PacketFraming m_framing;
    SerialLine m_line;
    // Sendings so far, per block number: all of them from the start, so
    // that memory does not grow with the image.
    std::vector<unsigned> m_attempts = std::vector<unsigned>(0x10000, 0);
    std::deque<Sending> m_sendings;  // on their way to the product, the oldest first
    bool m_open = false;
    bool m_unplugged = false;     // from now on every call fails
    bool m_failNextRead = false;  // a packet's read-error waits for its read
    char m_device = 0;            // its address is the device handle
};
