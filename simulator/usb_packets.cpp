#include "usb_packets.h"

#include <algorithm>

std::vector<UsbPackets::Clock::time_point> UsbPackets::Deliveries(std::span<const Clock::time_point> arrivals)
{
    std::vector<Clock::time_point> deliveries;
    std::size_t next = 0;
    while (next < arrivals.size()) {
        const Clock::time_point arrival = arrivals[next];
        if (arrival <= m_lastPacket && m_lastPacketBytes < kDataPerPacket) {
            deliveries.push_back(m_lastPacket);
            ++m_lastPacketBytes;
            ++next;
            continue;
        }
        // The first beat of the timer at or after the byte's arrival.
        const auto beats = (arrival - m_lastPacket + m_latencyTimer - Clock::duration(1)) / m_latencyTimer;
        const Clock::time_point timerRunsOut = m_lastPacket + m_latencyTimer * std::max<decltype(beats)>(beats, 1);
        std::size_t end = next;
        while (end < arrivals.size() && end - next < kDataPerPacket && arrivals[end] <= timerRunsOut)
            ++end;
        const Clock::time_point sent = end - next == kDataPerPacket ? arrivals[end - 1] : timerRunsOut;
        deliveries.insert(deliveries.end(), end - next, sent);
        m_lastPacket = sent;
        m_lastPacketBytes = end - next;
        next = end;
    }
    return deliveries;
}
