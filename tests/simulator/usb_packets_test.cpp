// When the bytes that the adapter's chip receives reach the host: in USB
// packets of 62 bytes of data, or sooner when the latency timer runs out,
// counted from the last packet. Bytes of 0.1 ms each, as at 100000 bit/s.
#include "simulator/simulated_driver.h"
#include "simulator/usb_packets.h"
#include "tests/support/test_folder.h"
#include "tests/support/param_name.h"

#include <gtest/gtest.h>

#include <chrono>
#include <vector>

using namespace std::chrono_literals;
using Clock = UsbPackets::Clock;

namespace {

const Clock::time_point kStart{};

// `count` bytes on the line, the first one byte time after the last packet.
std::vector<Clock::time_point> Arrivals(std::size_t count)
{
    std::vector<Clock::time_point> arrivals;
    for (std::size_t i = 1; i <= count; ++i)
        arrivals.push_back(kStart + i * 100us);
    return arrivals;
}

struct TimerCase {
    const char* name;
    std::size_t bytes;
    Clock::duration timer;
    Clock::duration lastArrives;  // when the last byte reaches the host
    Clock::duration firstArrives;
};

void PrintTo(const TimerCase& timer, std::ostream* out)
{
    *out << timer.name;
}

}  // namespace

class UsbPacketsTimer : public testing::TestWithParam<TimerCase> {};

TEST_P(UsbPacketsTimer, HandsOnBytesWhenAPacketFillsOrTheTimerRunsOut)
{
    UsbPackets packets(kStart, GetParam().timer);
    const std::vector<Clock::time_point> deliveries = packets.Deliveries(Arrivals(GetParam().bytes));
    ASSERT_EQ(deliveries.size(), GetParam().bytes);
    EXPECT_EQ(deliveries.front() - kStart, GetParam().firstArrives);
    EXPECT_EQ(deliveries.back() - kStart, GetParam().lastArrives);
}

// Below a packet the timer decides; a full packet goes at its 62nd byte;
// above one, the rest waits for the timer again, counted from that packet.
INSTANTIATE_TEST_SUITE_P(
    Reads, UsbPacketsTimer,
    testing::Values(TimerCase{"Below16", 25, 16ms, 16ms, 16ms}, TimerCase{"Below2", 25, 2ms, 4ms, 2ms},
                    TimerCase{"Below1", 25, 1ms, 3ms, 1ms}, TimerCase{"AtAPacket16", 62, 16ms, 6200us, 6200us},
                    TimerCase{"AtAPacket2", 62, 2ms, 8ms, 2ms}, TimerCase{"AtAPacket1", 62, 1ms, 7ms, 1ms},
                    TimerCase{"Above16", 105, 16ms, 22200us, 6200us}, TimerCase{"Above2", 105, 2ms, 12ms, 2ms},
                    TimerCase{"Above1", 105, 1ms, 11ms, 1ms}),
    ParamName<TimerCase>);

// A packet's echo leaves its last 21 bytes waiting for the timer; the
// 4-byte reply, on the line right after, goes with them.
TEST(UsbPackets, TheReplyJoinsTheEchoesLastPacket)
{
    UsbPackets packets(kStart, 16ms);
    const std::vector<Clock::time_point> echo = packets.Deliveries(Arrivals(269));
    EXPECT_EQ(echo[247] - kStart, 24800us);
    EXPECT_EQ(echo.back() - kStart, 40800us);
    std::vector<Clock::time_point> reply;
    for (int i = 1; i <= 4; ++i)
        reply.push_back(kStart + 26900us + i * 100us);
    for (const Clock::time_point delivery : packets.Deliveries(reply))
        EXPECT_EQ(delivery - kStart, 40800us);
}

// The timer keeps its beat on an idle line: a byte long after the last
// packet waits only for the next beat.
TEST(UsbPackets, AnIdleLineKeepsTheTimersBeat)
{
    UsbPackets packets(kStart, 16ms);
    const std::vector<Clock::time_point> late = {kStart + 1000ms + 100us};
    EXPECT_EQ(packets.Deliveries(late).front() - kStart, 1008ms);
}

// The adapter takes 2 to 255 ms, as the chip maker's guide gives.
TEST(UsbPackets, TheAdapterTakesLatencyTimersOf2To255Ms)
{
    SimulatedDriver driver(Scenario{}, {}, FolderForCurrentTest("latency-") / "image.bin");
    FT_HANDLE device = nullptr;
    ASSERT_EQ(driver.Open(0, &device), FT_OK);
    const auto set = [&](std::uint8_t milliseconds) {
        return driver.OnAdapter("FT_SetLatencyTimer", &SimulatedAdapter::SetLatencyTimer, device, milliseconds);
    };
    EXPECT_EQ(set(0), FT_INVALID_PARAMETER);
    EXPECT_EQ(set(1), FT_INVALID_PARAMETER);
    EXPECT_EQ(set(2), FT_OK);
    EXPECT_EQ(set(255), FT_OK);
}
