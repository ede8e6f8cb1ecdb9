// How the adapter's chip passes the bytes it receives on the line to the
// host: in USB packets of at most 62 bytes of data. A packet goes as soon as
// it is full, or when the latency timer runs out, counted from the last
// packet sent to the host (the chip sends a packet of status alone when it
// has no data, so the timer keeps its beat on an idle line). A byte that
// arrives by the time of the packet sent last, with room in it, goes with
// that packet.
#pragma once

#include <chrono>
#include <cstddef>
#include <span>
#include <vector>

class UsbPackets {
public:
    using Clock = std::chrono::steady_clock;

    static constexpr std::size_t kDataPerPacket = 62;

    UsbPackets(Clock::time_point lastPacket, Clock::duration latencyTimer)
        : m_lastPacket(lastPacket), m_latencyTimer(latencyTimer)
    {
    }

    void SetLatencyTimer(Clock::duration latencyTimer) { m_latencyTimer = latencyTimer; }

    // When the bytes that arrive on the line at `arrivals` (in order, and
    // after those given before) reach the host.
    std::vector<Clock::time_point> Deliveries(std::span<const Clock::time_point> arrivals);

private:
    Clock::time_point m_lastPacket;
    std::size_t m_lastPacketBytes = 0;
    Clock::duration m_latencyTimer;
};
