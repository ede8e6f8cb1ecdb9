#include "serial_line.h"

#include <algorithm>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;

constexpr unsigned kBitsPerByte = 10;
// The chip's own latency timer, until one is set.
constexpr auto kDefaultLatencyTimer = 16ms;
// A read never waits longer, whatever time-out was set (0: none), so that a
// test cannot hang on a reply that never comes.
constexpr auto kLongestReadWait = 10s;

}  // namespace

SerialLine::SerialLine(bool timed) : m_timed(timed), m_usbPackets(Clock::now(), kDefaultLatencyTimer) {}

void SerialLine::SetLatencyTimer(std::uint32_t milliseconds)
{
    m_usbPackets.SetLatencyTimer(std::chrono::milliseconds(milliseconds));
}

void SerialLine::Transmit(std::span<const std::uint8_t> echo)
{
    const Clock::time_point start = Clock::now();
    m_lastSent = start + ByteTimes(echo.size());
    std::this_thread::sleep_until(m_lastSent);
    Queue(echo, start);
}

void SerialLine::Answer(std::span<const std::uint8_t> reply)
{
    Queue(reply, m_lastSent);
}

std::size_t SerialLine::Read(std::uint8_t* buffer, std::size_t count)
{
    const Clock::time_point now = Clock::now();
    Clock::time_point until = now;
    if (count > 0) {
        const Clock::time_point deadline = now + ReadWait();
        until = m_queue.size() >= count ? std::min(m_queue[count - 1].at, deadline) : deadline;
    }
    std::this_thread::sleep_until(until);

    std::size_t taken = 0;
    for (; taken < count && taken < m_queue.size() && m_queue[taken].at <= until; ++taken)
        buffer[taken] = m_queue[taken].byte;
    m_queue.erase(m_queue.begin(), m_queue.begin() + static_cast<std::ptrdiff_t>(taken));
    return taken;
}

void SerialLine::DropReceived()
{
    const Clock::time_point now = Clock::now();
    while (!m_queue.empty() && m_queue.front().at <= now)
        m_queue.pop_front();
}

SerialLine::Clock::duration SerialLine::ByteTimes(std::size_t count) const
{
    if (!m_timed)
        return {};
    const std::chrono::duration<double> seconds(static_cast<double>(count) * kBitsPerByte / m_rate);
    return std::chrono::duration_cast<Clock::duration>(seconds);
}

SerialLine::Clock::duration SerialLine::ReadWait() const
{
    if (!m_timed)
        return {};
    const std::chrono::milliseconds timeout(m_readTimeoutMs);
    return timeout == timeout.zero() || timeout > kLongestReadWait ? Clock::duration(kLongestReadWait)
                                                                  : Clock::duration(timeout);
}

// The queue stays in the order of arrival: the echo of a quick write may come
// before the reply to the packet before it.
void SerialLine::Queue(std::span<const std::uint8_t> bytes, Clock::time_point start)
{
    if (bytes.empty())
        return;
    std::vector<Clock::time_point> deliveries(bytes.size(), start);
    if (m_timed) {
        std::vector<Clock::time_point> onTheLine;
        for (std::size_t i = 0; i < bytes.size(); ++i)
            onTheLine.push_back(start + ByteTimes(i + 1));
        deliveries = m_usbPackets.Deliveries(onTheLine);
    }
    std::vector<Arrival> arrivals;
    for (std::size_t i = 0; i < bytes.size(); ++i)
        arrivals.push_back({deliveries[i], bytes[i]});
    const auto place = std::ranges::upper_bound(m_queue, arrivals.front().at, {}, &Arrival::at);
    m_queue.insert(place, arrivals.begin(), arrivals.end());
}
