// One packet's round trip through the adapter, against the simulated driver
// library and product. Every test runs in a process of its own.
#include "adapter/configuration.h"
#include "adapter/kestro2.h"
#include "tests/support/param_name.h"
#include "tests/support/simulator_session.h"
#include "update/packet_exchange.h"
#include "update/reply_verdict.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <ostream>
#include <span>
#include <string>
#include <typeinfo>
#include <vector>

namespace {

using Calls = std::vector<std::string>;

const Calls kExchangeCalls = {
    "FT_Purge device0 1 -> 0",
    "FT_Write device0 269 -> 0",
    "FT_Read device0 269 -> 0",
    "FT_Read device0 4 -> 0",
};

// A packet of the protocol's worked example: product ABCDEFGH, 3 blocks.
TransferPacket ExamplePacket(std::uint16_t blockNumber, std::uint8_t payload)
{
    TransferPacket packet;
    packet.SetProductName({'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H'});
    packet.SetBlockCount(3);
    packet.SetBlockNumber(blockNumber);
    packet.FillPayload(payload);
    packet.Finalize();
    return packet;
}

TransferPacket DataPacketForBlock2()
{
    return ExamplePacket(2, 0xFF);
}

// The product takes data packets only after their header.
void SendHeader(Kestro2& adapter)
{
    TransferReply reply;
    ExchangePacket(adapter, ExamplePacket(TransferPacket::kHeaderBlockNumber, 0x00), reply);
}

void OpenDevice(Kestro2& adapter)
{
    adapter.Initialize();
    adapter.Open();
}

// What the session traced after the device was opened.
std::vector<std::string> LinesAfterOpen(std::vector<std::string> lines)
{
    constexpr std::size_t kOpenCalls = 5;
    lines.erase(lines.begin(), lines.begin() + std::min(kOpenCalls, lines.size()));
    return lines;
}

std::string Hex(std::span<const std::uint8_t> bytes)
{
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    for (const std::uint8_t byte : bytes) {
        text.push_back(kDigits[byte >> 4]);
        text.push_back(kDigits[byte & 0x0F]);
    }
    return text;
}

}  // namespace

// Sending again is the whole exchange once more, purge first, with the
// packet byte for byte as before.
TEST(PacketExchange, PurgesWritesAndReadsEchoThenReplyEveryTime)
{
    SimulatorSession session;
    Kestro2 adapter(kCurrentLineRate);
    OpenDevice(adapter);
    SendHeader(adapter);
    const TransferPacket packet = DataPacketForBlock2();
    TransferReply reply;

    ExchangePacket(adapter, packet, reply);
    EXPECT_EQ(JudgeDataReply(reply, packet), Verdict::Accepted);
    ExchangePacket(adapter, packet, reply);

    Calls expected;
    for (int exchange = 0; exchange < 3; ++exchange)
        expected.insert(expected.end(), kExchangeCalls.begin(), kExchangeCalls.end());
    EXPECT_EQ(LinesAfterOpen(session.Calls()), expected);
    EXPECT_EQ(session.Packets(),
              (Calls{"packet header attempt 1 -> 0", "packet 2 attempt 1 -> 0", "packet 2 attempt 2 -> 0"}));

    // Each exchange traces its four calls and, after the write, the packet.
    const std::string written = "FT_Write device0 269 -> 0 wrote 269 " + Hex(packet.Bytes());
    const std::vector<std::string> trace = LinesAfterOpen(session.Trace());
    ASSERT_EQ(trace.size(), 15u);
    EXPECT_EQ(trace[6], written);
    EXPECT_EQ(trace[11], written);
    EXPECT_EQ(trace[14], "FT_Read device0 4 -> 0 read 4 00020002");
}

// A reply that arrived too late for an earlier exchange still waits in the
// receive queue; the purge drops it, so that it is not taken for this
// packet's echo and reply.
TEST(PacketExchange, ReadsTheReplyToThisPacketNotAnEarlierOne)
{
    SimulatorSession session;
    Kestro2 adapter(kCurrentLineRate);
    OpenDevice(adapter);
    SendHeader(adapter);
    const TransferPacket earlier = ExamplePacket(1, 0xFF);
    adapter.Write(earlier.Bytes().data(), TransferPacket::kSize);

    const TransferPacket packet = DataPacketForBlock2();
    TransferReply reply;
    ExchangePacket(adapter, packet, reply);
    EXPECT_EQ(JudgeDataReply(reply, packet), Verdict::Accepted);
}

namespace {

struct ExchangeFault {
    const char* name;
    const char* scenario;
    const std::type_info* raised;
    std::size_t callsMade;  // of kExchangeCalls, the failing one included
};

void PrintTo(const ExchangeFault& fault, std::ostream* out)
{
    *out << '"' << fault.scenario << '"';
}

}  // namespace

class PacketExchangeFault : public testing::TestWithParam<ExchangeFault> {};

// The adapter's exceptions pass through, and nothing more goes out after one.
TEST_P(PacketExchangeFault, RaisesTheAdaptersExceptionAndStops)
{
    const ExchangeFault fault = GetParam();
    SimulatorSession session(fault.scenario);
    Kestro2 adapter(kCurrentLineRate);
    OpenDevice(adapter);
    TransferReply reply;

    const std::type_info* raised = nullptr;
    try {
        ExchangePacket(adapter, DataPacketForBlock2(), reply);
    } catch (const Kestro2::ConnectionError& error) {
        raised = &typeid(error);
    }
    ASSERT_NE(raised, nullptr);
    EXPECT_EQ(*raised, *fault.raised) << raised->name();

    const Calls calls = LinesAfterOpen(session.Calls());
    ASSERT_EQ(calls.size(), fault.callsMade);
    EXPECT_TRUE(std::equal(calls.begin(), calls.end() - 1, kExchangeCalls.begin()));
}

INSTANTIATE_TEST_SUITE_P(
    Faults, PacketExchangeFault,
    testing::Values(ExchangeFault{"Purge", "fail FT_Purge 4", &typeid(Kestro2::ConnectionError), 1},
                    ExchangeFault{"Write", "fail FT_Write 4", &typeid(Kestro2::WriteError), 2},
                    ExchangeFault{"ShortEcho", "short FT_Read 268 1", &typeid(Kestro2::ReadError), 3},
                    ExchangeFault{"ShortReply", "short FT_Read 3 2", &typeid(Kestro2::ReadError), 4},
                    ExchangeFault{"ReplyReadStatus", "fail FT_Read 4 2", &typeid(Kestro2::ReadError), 4}),
    ParamName<ExchangeFault>);
