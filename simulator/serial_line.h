// The adapter's serial line as the host sees it: what it sends, and the
// receive queue in which the echo and the product's replies arrive.
//
// With line timing, bytes take their time on the line: 10 bit times each
// (start bit, 8 data bits, stop bit) at the rate set. A write returns once
// its bytes are sent; the echo of each byte arrives as it is sent, and a
// reply right after the last byte of its packet. The adapter's chip then
// hands them to the host in USB packets (usb_packets.h), with its latency
// timer, 16 ms unless set. A read waits for its last byte, or for the read
// time-out when that byte comes later or never. Without line timing nothing
// takes time, and a read that finds too few bytes ends at once.
#pragma once

#include "usb_packets.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <span>

class SerialLine {
public:
    explicit SerialLine(bool timed);

    void SetRate(std::uint32_t bitsPerSecond) { m_rate = bitsPerSecond; }
    void SetReadTimeout(std::uint32_t milliseconds) { m_readTimeoutMs = milliseconds; }
    void SetLatencyTimer(std::uint32_t milliseconds);

    // Sends bytes, which the adapter hears back as `echo`.
    void Transmit(std::span<const std::uint8_t> echo);
    // The product's answer to the bytes transmitted last.
    void Answer(std::span<const std::uint8_t> reply);
    // Waits as the driver's read does, then takes up to `count` bytes;
    // returns how many it took.
    std::size_t Read(std::uint8_t* buffer, std::size_t count);
    // Drops what has arrived; what is still on its way arrives later.
    void DropReceived();

private:
    using Clock = std::chrono::steady_clock;

    struct Arrival {
        Clock::time_point at;
        std::uint8_t byte;
    };

    Clock::duration ByteTimes(std::size_t count) const;
    Clock::duration ReadWait() const;
    // Queues bytes whose first arrives on the line one byte time after `start`.
    void Queue(std::span<const std::uint8_t> bytes, Clock::time_point start);

    bool m_timed;
    std::uint32_t m_rate = 9600;      // the driver's default
    std::uint32_t m_readTimeoutMs = 0;  // the driver's default: no time-out
    Clock::time_point m_lastSent;
    UsbPackets m_usbPackets;
    std::deque<Arrival> m_queue;  // in the order of arrival
};
