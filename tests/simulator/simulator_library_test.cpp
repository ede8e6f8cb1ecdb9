// The simulated product and the scenario's packet faults as the program
// meets them: through the driver library, the adapter device and the packet
// exchange. Every test runs in a process of its own.
#include "adapter/configuration.h"
#include "adapter/kestro2.h"
#include "tests/support/file_bytes.h"
#include "tests/support/param_name.h"
#include "tests/support/simulator_session.h"
#include "update/packet_exchange.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <initializer_list>
#include <ostream>
#include <string>
#include <typeinfo>
#include <vector>

namespace {

using Lines = std::vector<std::string>;
using Reply = std::array<std::uint8_t, TransferReply::kSize>;

constexpr std::uint16_t kHeader = TransferPacket::kHeaderBlockNumber;
constexpr std::uint16_t kBlockCount = 4;

std::uint8_t PayloadByte(std::uint16_t blockNumber)
{
    return static_cast<std::uint8_t>(0x10 + blockNumber);
}

// A packet of an image for ABCDEFGH of 4 blocks.
TransferPacket MakePacket(std::uint16_t blockNumber)
{
    TransferPacket packet;
    packet.SetProductName({'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H'});
    packet.SetBlockCount(kBlockCount);
    packet.SetBlockNumber(blockNumber);
    packet.FillPayload(blockNumber == kHeader ? 0x00 : PayloadByte(blockNumber));
    packet.Finalize();
    return packet;
}

// The image file after the header and the given blocks were taken.
std::vector<std::uint8_t> ImageWith(std::initializer_list<std::uint16_t> blocks)
{
    std::vector<std::uint8_t> image(kBlockCount * TransferPacket::kPayloadSize, 0xFF);
    for (const std::uint16_t blockNumber : blocks) {
        const auto block = image.begin() + blockNumber * TransferPacket::kPayloadSize;
        std::fill_n(block, TransferPacket::kPayloadSize, PayloadByte(blockNumber));
    }
    return image;
}

const std::vector<std::uint8_t> kNoImage;

void OpenDevice(Kestro2& adapter)
{
    adapter.Initialize();
    adapter.Open();
}

Reply Exchange(Kestro2& adapter, std::uint16_t blockNumber)
{
    TransferReply reply;
    ExchangePacket(adapter, MakePacket(blockNumber), reply);
    Reply bytes{};
    std::ranges::copy(reply.Bytes(), bytes.begin());
    return bytes;
}

// Which of the adapter's exceptions `operation` raised; "nothing" when none.
template <typename Operation>
std::string Raised(Operation operation)
{
    try {
        operation();
    } catch (const Kestro2::ConnectionError& error) {
        return typeid(error).name();
    }
    return "nothing";
}

}  // namespace

TEST(SimulatorLibrary, TheProductTakesAnImageBlockByBlock)
{
    SimulatorSession session("product ABCDEFGH\n");
    Kestro2 adapter(kCurrentLineRate);
    OpenDevice(adapter);

    EXPECT_EQ(Exchange(adapter, kHeader), (Reply{0xFF, 0xFF, 0x00, 0xFE}));
    for (std::uint8_t block = 0; block < kBlockCount; ++block)
        EXPECT_EQ(Exchange(adapter, block), (Reply{0x00, block, 0x00, block}));

    EXPECT_EQ(session.Packets(), (Lines{"packet header attempt 1 -> 0", "packet 0 attempt 1 -> 0",
                                        "packet 1 attempt 1 -> 0", "packet 2 attempt 1 -> 0",
                                        "packet 3 attempt 1 -> 0"}));
    EXPECT_EQ(ReadFileBytes(session.ImagePath()), ImageWith({0, 1, 2, 3}));
}

namespace {

struct ScriptedReply {
    const char* name;
    const char* scenario;
    std::uint16_t blockNumber;  // the packet sent, after a header unless it is one
    Reply reply;
    const char* packetLine;
    std::vector<std::uint8_t> image;
};

void PrintTo(const ScriptedReply& reply, std::ostream* out)
{
    *out << '"' << reply.scenario << '"';
}

}  // namespace

class SimulatorReply : public testing::TestWithParam<ScriptedReply> {};

// The product takes a packet when its own verdict and the reply's status
// say so; a damaged reply does not undo what it took.
TEST_P(SimulatorReply, CarriesTheScriptedFaults)
{
    const ScriptedReply scripted = GetParam();
    SimulatorSession session(scripted.scenario);
    Kestro2 adapter(kCurrentLineRate);
    OpenDevice(adapter);
    if (scripted.blockNumber != kHeader)
        Exchange(adapter, kHeader);

    EXPECT_EQ(Exchange(adapter, scripted.blockNumber), scripted.reply);
    EXPECT_EQ(session.Packets().back(), scripted.packetLine);
    EXPECT_EQ(ReadFileBytes(session.ImagePath()), scripted.image);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, SimulatorReply,
    testing::Values(
        ScriptedReply{"OtherProduct", "product ABCDEFGX", kHeader, {0xFF, 0xFF, 0x01, 0xFF},
                      "packet header attempt 1 -> 1", kNoImage},
        ScriptedReply{"HeaderStatus", "at header 1 status 3", kHeader, {0xFF, 0xFF, 0x03, 0x01},
                      "packet header attempt 1 -> 0 status 3", kNoImage},
        ScriptedReply{"HeaderEchoAndChecksum", "at header 1 swap-echo\nat header 1 bad-checksum", kHeader,
                      {0xFF, 0xFF, 0x00, 0xFF}, "packet header attempt 1 -> 0 swap-echo bad-checksum",
                      ImageWith({})},
        ScriptedReply{"SwapEcho", "at 1 1 swap-echo", 1, {0x01, 0x00, 0x00, 0x01},
                      "packet 1 attempt 1 -> 0 swap-echo", ImageWith({1})},
        ScriptedReply{"BadChecksum", "at 1 1 bad-checksum", 1, {0x00, 0x01, 0x00, 0x02},
                      "packet 1 attempt 1 -> 0 bad-checksum", ImageWith({1})},
        ScriptedReply{"Status", "at 1 * status 5", 1, {0x00, 0x01, 0x05, 0x06}, "packet 1 attempt 1 -> 0 status 5",
                      ImageWith({})},
        // Block 4 of 4 blocks: the product claims to take it, and cannot.
        ScriptedReply{"StatusZeroForARefusedBlock", "at 4 1 status 0", 4, {0x00, 0x04, 0x00, 0x04},
                      "packet 4 attempt 1 -> 5 status 0", ImageWith({})}),
    ParamName<ScriptedReply>);

// Attempts count the sendings of each block number on its own.
TEST(SimulatorLibrary, CountsTheAttemptsOfEachPacketApart)
{
    SimulatorSession session("at 1 1 swap-echo\nat 1 3 status 4\nat 2 * status 5\n");
    Kestro2 adapter(kCurrentLineRate);
    OpenDevice(adapter);

    const struct {
        std::uint8_t blockNumber;
        Reply reply;
    } exchanges[] = {
        {0, {0x00, 0x00, 0x00, 0x00}}, {1, {0x01, 0x00, 0x00, 0x01}}, {0, {0x00, 0x00, 0x00, 0x00}},
        {1, {0x00, 0x01, 0x00, 0x01}}, {1, {0x00, 0x01, 0x04, 0x05}}, {2, {0x00, 0x02, 0x05, 0x07}},
        {2, {0x00, 0x02, 0x05, 0x07}},
    };
    Exchange(adapter, kHeader);
    for (const auto& exchange : exchanges)
        EXPECT_EQ(Exchange(adapter, exchange.blockNumber), exchange.reply) << int(exchange.blockNumber);

    EXPECT_EQ(session.Packets(),
              (Lines{"packet header attempt 1 -> 0", "packet 0 attempt 1 -> 0", "packet 1 attempt 1 -> 0 swap-echo",
                     "packet 0 attempt 2 -> 0", "packet 1 attempt 2 -> 0", "packet 1 attempt 3 -> 0 status 4",
                     "packet 2 attempt 1 -> 0 status 5", "packet 2 attempt 2 -> 0 status 5"}));
}

// The product took the block; only its reply was lost.
TEST(SimulatorLibrary, AReplyThatNeverComesEndsTheReadShort)
{
    SimulatorSession session("at 1 1 no-reply\n");
    Kestro2 adapter(kCurrentLineRate);
    OpenDevice(adapter);
    Exchange(adapter, kHeader);

    EXPECT_THROW(Exchange(adapter, 1), Kestro2::ReadError);
    EXPECT_EQ(session.Calls().back(), "FT_Read device0 4 -> 0");
    EXPECT_EQ(session.Trace().back().rfind("FT_Read device0 4 -> 0 read 0", 0), 0u) << session.Trace().back();
    EXPECT_EQ(Exchange(adapter, 1), (Reply{0x00, 0x01, 0x00, 0x01}));
    EXPECT_EQ(session.Packets(), (Lines{"packet header attempt 1 -> 0", "packet 1 attempt 1 -> 0 no-reply",
                                        "packet 1 attempt 2 -> 0"}));
    EXPECT_EQ(ReadFileBytes(session.ImagePath()), ImageWith({1}));
}

TEST(SimulatorLibrary, AMangledEchoDiffersInTheBlockNumbersLowByte)
{
    SimulatorSession session("at 1 1 mangle-echo\n");
    Kestro2 adapter(kCurrentLineRate);
    OpenDevice(adapter);
    Exchange(adapter, kHeader);

    const TransferPacket packet = MakePacket(1);
    adapter.Purge(FT_PURGE_RX);
    adapter.Write(packet.Bytes().data(), TransferPacket::kSize);
    std::array<std::uint8_t, TransferPacket::kSize> echo{};
    adapter.Read(echo.data(), TransferPacket::kSize);
    Reply reply{};
    adapter.Read(reply.data(), reply.size());

    std::array<std::uint8_t, TransferPacket::kSize> expected{};
    std::ranges::copy(packet.Bytes(), expected.begin());
    expected[TransferPacket::kBlockNumberOffset + 1] ^= 0xFF;
    EXPECT_EQ(echo, expected);
    EXPECT_EQ(reply, (Reply{0x00, 0x01, 0x00, 0x01}));
}

namespace {

struct FailingSending {
    const char* name;
    const char* scenario;
    const std::type_info* raised;
    const char* failingCall;
    Lines packets;
};

void PrintTo(const FailingSending& sending, std::ostream* out)
{
    *out << '"' << sending.scenario << '"';
}

}  // namespace

class SimulatorFailingSending : public testing::TestWithParam<FailingSending> {};

// The fault hits the first attempt only: the second goes through.
TEST_P(SimulatorFailingSending, FailsThatExchangeOnly)
{
    const FailingSending sending = GetParam();
    SimulatorSession session(sending.scenario);
    Kestro2 adapter(kCurrentLineRate);
    OpenDevice(adapter);
    Exchange(adapter, kHeader);

    EXPECT_EQ(Raised([&] { Exchange(adapter, 1); }), sending.raised->name());
    EXPECT_EQ(session.Calls().back(), sending.failingCall);
    EXPECT_EQ(Exchange(adapter, 1), (Reply{0x00, 0x01, 0x00, 0x01}));
    EXPECT_EQ(session.Packets(), sending.packets);
    EXPECT_EQ(ReadFileBytes(session.ImagePath()), ImageWith({1}));
}

INSTANTIATE_TEST_SUITE_P(
    Faults, SimulatorFailingSending,
    testing::Values(
        // Nothing reached the product: it judged the second attempt only.
        FailingSending{"WriteError", "at 1 1 write-error", &typeid(Kestro2::WriteError),
                       "FT_Write device0 269 -> 4", {"packet header attempt 1 -> 0", "packet 1 attempt 2 -> 0"}},
        FailingSending{"ReadError",
                       "at 1 1 read-error",
                       &typeid(Kestro2::ReadError),
                       "FT_Read device0 269 -> 4",
                       {"packet header attempt 1 -> 0", "packet 1 attempt 1 -> 0 read-error",
                        "packet 1 attempt 2 -> 0"}}),
    ParamName<FailingSending>);

TEST(SimulatorLibrary, UnpluggedAtABlockEveryCallFailsFromItsWriteOn)
{
    SimulatorSession session("unplug 3\n");
    Kestro2 adapter(kCurrentLineRate);
    OpenDevice(adapter);
    for (const std::uint16_t blockNumber : {kHeader, std::uint16_t{0}, std::uint16_t{1}, std::uint16_t{2}})
        Exchange(adapter, blockNumber);

    EXPECT_THROW(Exchange(adapter, 3), Kestro2::WriteError);
    EXPECT_THROW(adapter.Purge(FT_PURGE_RX), Kestro2::ConnectionError);
    EXPECT_EQ(adapter.Close(), FT_IO_ERROR);

    const Lines calls = session.Calls();
    ASSERT_GE(calls.size(), 3u);
    EXPECT_EQ(Lines(calls.end() - 3, calls.end()),
              (Lines{"FT_Write device0 269 -> 4", "FT_Purge device0 1 -> 4", "FT_Close device0 -> 4"}));
    EXPECT_EQ(session.Packets().size(), 4u);
    EXPECT_EQ(ReadFileBytes(session.ImagePath()), ImageWith({0, 1, 2}));
}

namespace {

using Clock = std::chrono::steady_clock;
using Milliseconds = std::chrono::duration<double, std::milli>;

template <typename Operation>
Milliseconds TimeOf(Operation operation)
{
    const Clock::time_point start = Clock::now();
    operation();
    return Clock::now() - start;
}

}  // namespace

// At 100000 bit/s: 269 bytes of 10 bits take 26.9 ms to send. The chip hands
// the echo on in four full USB packets by 24.8 ms, and its last 21 bytes with
// the reply when the 16 ms latency timer runs out: 40.8 ms in all.
TEST(SimulatorLibrary, LineTimingMakesAnExchangeTakeItsTimeOnTheLine)
{
    SimulatorSession session("line-timing\n");
    Kestro2 adapter(kCurrentLineRate);
    OpenDevice(adapter);
    ASSERT_EQ(session.Calls()[2], "FT_SetBaudRate device0 100000 -> 0");

    EXPECT_GE(TimeOf([&] { Exchange(adapter, kHeader); }).count(), 40.0);
}

// With the timer at 2 ms no packet fills: the chip hands on what it has at
// every beat, and the reply's last byte, on the line at 27.3 ms, goes at the
// next beat, by 29.3 ms: at most 1.07 times the line's own time.
TEST(SimulatorLibrary, TheLatencyTimerHoldsBackWhatFillsNoUsbPacket)
{
    SimulatorSession session("line-timing\n");
    Kestro2 adapter(kCurrentLineRate);
    OpenDevice(adapter);
    EXPECT_EQ(adapter.SetLatencyTimer(2), (LatencyTimerSetting{2, LatencyTimerSetting::Notice::None}));
    EXPECT_EQ(session.Calls().back(), "FT_SetLatencyTimer device0 2 -> 0");
    const double exchangeMs = TimeOf([&] { Exchange(adapter, kHeader); }).count();
    // Under Wine a sleep may end a few tenths of a millisecond early.
    EXPECT_GE(exchangeMs, 26.0);
    EXPECT_LT(exchangeMs, 36.0);
}

TEST(SimulatorLibrary, LineTimingWaitsTheReadTimeoutForAReplyThatNeverComes)
{
    SimulatorSession session("line-timing\nat header 1 no-reply\n");
    Kestro2 adapter(kCurrentLineRate);
    OpenDevice(adapter);
    adapter.SetTimeouts(300, 300);

    EXPECT_GE(TimeOf([&] { EXPECT_THROW(Exchange(adapter, kHeader), Kestro2::ReadError); }).count(), 300.0);
}

// A slow call still does its work: here the second purge takes 200 ms and
// the exchange after it goes through.
TEST(SimulatorLibrary, ADelayedCallTakesItsTimeAndSucceeds)
{
    SimulatorSession session("delay FT_Purge 200 2\n");
    Kestro2 adapter(kCurrentLineRate);
    OpenDevice(adapter);

    EXPECT_LT(TimeOf([&] { Exchange(adapter, kHeader); }).count(), 200.0);
    EXPECT_GE(TimeOf([&] { EXPECT_EQ(Exchange(adapter, 0), (Reply{0x00, 0x00, 0x00, 0x00})); }).count(), 200.0);
}

// For measurements: the product still works, and nothing is traced.
TEST(SimulatorLibrary, NoTraceWritesNoTrace)
{
    SimulatorSession session("no-trace\n");
    Kestro2 adapter(kCurrentLineRate);
    OpenDevice(adapter);
    EXPECT_EQ(Exchange(adapter, kHeader), (Reply{0xFF, 0xFF, 0x00, 0xFE}));
    EXPECT_TRUE(session.Trace().empty());
}
