// One packet's round trip through the system's serial port, against the
// simulated product on a pseudo-terminal: the same exchange as through the
// D2XX adapter, and the faults that a port can show.
#include "adapter/configuration.h"
#include "adapter/serial_port.h"
#include "tests/support/product_on_pty.h"
#include "tests/support/test_folder.h"
#include "update/packet_exchange.h"
#include "update/reply_verdict.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string_view>
#include <thread>
#include <vector>

namespace {

TransferPacket ExamplePacket(std::uint16_t blockNumber)
{
    TransferPacket packet;
    packet.SetProductName({'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H'});
    packet.SetBlockCount(3);
    packet.SetBlockNumber(blockNumber);
    packet.FillPayload(blockNumber == TransferPacket::kHeaderBlockNumber ? 0x00 : 0xFF);
    packet.Finalize();
    return packet;
}

class PacketExchangeThroughPort : public testing::Test {
protected:
    explicit PacketExchangeThroughPort(std::string_view scenario = {})
        : m_folder(MadeFolder()), m_product(m_folder, scenario), m_port(m_product.Port(), kCurrentLineRate)
    {
        m_port.Open();
    }
    ~PacketExchangeThroughPort() override { std::filesystem::remove_all(m_folder); }

    static std::filesystem::path MadeFolder()
    {
        const std::filesystem::path folder = FolderForCurrentTest("exchange-port-");
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        return folder;
    }

    std::filesystem::path m_folder;
    ProductOnPty m_product;
    SerialPort m_port;
};

class PacketExchangeThroughPortWithoutReply : public PacketExchangeThroughPort {
protected:
    PacketExchangeThroughPortWithoutReply() : PacketExchangeThroughPort("at 2 1 no-reply\n") {}
};

}  // namespace

TEST_F(PacketExchangeThroughPort, TakesTheEchoAndTheReply)
{
    TransferReply reply;
    ExchangePacket(m_port, ExamplePacket(TransferPacket::kHeaderBlockNumber), reply);
    EXPECT_EQ(JudgeHeaderReply(reply), Verdict::Accepted);
    const TransferPacket packet = ExamplePacket(2);
    ExchangePacket(m_port, packet, reply);
    EXPECT_EQ(JudgeDataReply(reply, packet), Verdict::Accepted);
    const std::vector<std::uint8_t> bytes(reply.Bytes().begin(), reply.Bytes().end());
    EXPECT_EQ(bytes, (std::vector<std::uint8_t>{0x00, 0x02, 0x00, 0x02}));
}

// What an earlier packet brought back waits on the port; the purge drops it.
TEST_F(PacketExchangeThroughPort, ReadsTheReplyToThisPacketNotAnEarlierOne)
{
    TransferReply reply;
    ExchangePacket(m_port, ExamplePacket(TransferPacket::kHeaderBlockNumber), reply);
    const TransferPacket earlier = ExamplePacket(1);
    m_port.Write(earlier.Bytes().data(), TransferPacket::kSize);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));

    const TransferPacket packet = ExamplePacket(2);
    ExchangePacket(m_port, packet, reply);
    EXPECT_EQ(JudgeDataReply(reply, packet), Verdict::Accepted);
}

TEST_F(PacketExchangeThroughPortWithoutReply, RaisesAReadErrorAtTheTimeout)
{
    TransferReply reply;
    ExchangePacket(m_port, ExamplePacket(TransferPacket::kHeaderBlockNumber), reply);
    m_port.SetTimeouts(200, 200);
    EXPECT_THROW(ExchangePacket(m_port, ExamplePacket(2), reply), ComDevice::ReadError);
}
