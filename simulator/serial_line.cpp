#include "serial_line.h"

#include <algorithm>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;

constexpr unsigned kBitsPerByte = 10;
constexpr auto kLatencyTimer = 16ms;
// A read never waits longer, whatever time-out was set (0: none), so that a
// test cannot hang on a reply that never comes.
constexpr auto kLongestReadWait = 10s;

}  // namespace

void SerialLine::Transmit(std::span<const std::uint8_t> echo)
{
    m_lastSent = Clock::now() + ByteTimes(echo.size());
    std::this_thread::sleep_until(m_lastSent);
    Queue(echo, m_lastSent);
}

void SerialLine::Answer(std::span<const std::uint8_t> reply)
{
    Queue(reply, m_lastSent + ByteTimes(reply.size()) + LatencyTimer());
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

SerialLine::Clock::duration SerialLine::LatencyTimer() const
{
    return m_timed ? Clock::duration(kLatencyTimer) : Clock::duration{};
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
void SerialLine::Queue(std::span<const std::uint8_t> bytes, Clock::time_point at)
{
    std::vector<Arrival> arrivals;
    for (const std::uint8_t byte : bytes)
        arrivals.push_back({at, byte});
    const auto place = std::ranges::upper_bound(m_queue, at, {}, &Arrival::at);
    m_queue.insert(place, arrivals.begin(), arrivals.end());
}
