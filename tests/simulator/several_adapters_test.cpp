// Several simulated adapters in one driver library, as update-cli meets
// them: listed, opened by index or serial number, each with its own product,
// faults, trace and image, and used from threads of their own at once.
#include "adapter/configuration.h"
#include "adapter/kestro2.h"
#include "tests/support/file_bytes.h"
#include "tests/support/simulator_session.h"
#include "update/packet_exchange.h"

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

namespace {

using Reply = std::array<std::uint8_t, TransferReply::kSize>;

constexpr std::uint16_t kHeader = TransferPacket::kHeaderBlockNumber;

// A packet of an image of one block for ABCDEFGH; the block is all 0x5A.
TransferPacket MakePacket(std::uint16_t blockNumber)
{
    TransferPacket packet;
    packet.SetProductName({'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H'});
    packet.SetBlockCount(1);
    packet.SetBlockNumber(blockNumber);
    packet.FillPayload(blockNumber == kHeader ? 0x00 : 0x5A);
    packet.Finalize();
    return packet;
}

Reply Exchange(Kestro2& adapter, std::uint16_t blockNumber)
{
    TransferReply reply;
    ExchangePacket(adapter, MakePacket(blockNumber), reply);
    Reply bytes{};
    std::ranges::copy(reply.Bytes(), bytes.begin());
    return bytes;
}

const std::vector<std::uint8_t> kBlockImage(TransferPacket::kPayloadSize, 0x5A);

}  // namespace

TEST(SeveralAdapters, AreListedInTheOrderOfTheScenario)
{
    SimulatorSession session(
        "adapter KS000101 Kestro-3 on the bench\n"
        "adapter KS000102\n"
        "adapter KS000103 Kestro-2 at the end of the line\n");
    Kestro2 adapter(kCurrentLineRate);
    adapter.Initialize();
    const std::vector<AdapterListing> expected = {
        {0, "KS000101", "Kestro-3 on the bench"},
        {1, "KS000102", "Kestro-3 USB serial adapter (simulated)"},
        {2, "KS000103", "Kestro-2 at the end of the line"},
    };
    EXPECT_EQ(adapter.ListAdapters(), expected);
}

// One adapter's product, faults, trace and image never reach another's.
TEST(SeveralAdapters, EachHasItsOwnProductFaultsTraceAndImage)
{
    SimulatorSession session(
        "adapter KS1\n"
        "product ABCDEFGH\n"
        "adapter KS2\n"
        "product ABCDEFGX\n"
        "adapter KS3\n"
        "at 0 1 status 5\n");
    Kestro2 first(kCurrentLineRate);
    Kestro2 second(kCurrentLineRate);
    Kestro2 third(kCurrentLineRate);
    for (Kestro2* adapter : {&first, &second, &third})
        adapter->Initialize();
    first.OpenBySerialNumber("KS1");
    second.Open(1);
    third.OpenBySerialNumber("KS3");

    EXPECT_EQ(Exchange(first, kHeader), (Reply{0xFF, 0xFF, 0x00, 0xFE}));
    EXPECT_EQ(Exchange(second, kHeader), (Reply{0xFF, 0xFF, 0x01, 0xFF}));  // another product
    EXPECT_EQ(Exchange(third, kHeader), (Reply{0xFF, 0xFF, 0x00, 0xFE}));
    EXPECT_EQ(Exchange(first, 0), (Reply{0x00, 0x00, 0x00, 0x00}));
    EXPECT_EQ(Exchange(third, 0), (Reply{0x00, 0x00, 0x05, 0x05}));  // refused once
    EXPECT_EQ(Exchange(third, 0), (Reply{0x00, 0x00, 0x00, 0x00}));

    EXPECT_EQ(ReadFileBytes(session.ImagePath("KS1")), kBlockImage);
    EXPECT_FALSE(std::filesystem::exists(session.ImagePath("KS2")));
    EXPECT_EQ(ReadFileBytes(session.ImagePath("KS3")), kBlockImage);
    EXPECT_EQ(session.Packets("KS3"), (std::vector<std::string>{"packet header attempt 1 -> 0",
                                                                "packet 0 attempt 1 -> 0 status 5",
                                                                "packet 0 attempt 2 -> 0"}));
    EXPECT_EQ(session.Calls("KS2").front(), "FT_ListDevices 1 0x40000002 -> 0");
    EXPECT_EQ(session.Calls("KS2")[1], "FT_Open 1 -> 0");
    EXPECT_EQ(session.Calls("KS2")[2], "FT_SetBaudRate device1 100000 -> 0");
    EXPECT_EQ(session.Calls("KS3").front(), "FT_OpenEx KS3 1 -> 0");
}

// Calls are counted per adapter: the third read of each adapter fails, and
// an unplugged adapter leaves the others working.
TEST(SeveralAdapters, CountCallsAndUnplugApart)
{
    SimulatorSession session(
        "fail FT_Read 4 3\n"
        "adapter KS1\n"
        "unplug 0\n"
        "adapter KS2\n");
    Kestro2 first(kCurrentLineRate);
    Kestro2 second(kCurrentLineRate);
    for (Kestro2* adapter : {&first, &second}) {
        adapter->Initialize();
        adapter->Open(adapter == &first ? 0 : 1);
    }
    EXPECT_EQ(Exchange(first, kHeader), (Reply{0xFF, 0xFF, 0x00, 0xFE}));
    EXPECT_EQ(Exchange(second, kHeader), (Reply{0xFF, 0xFF, 0x00, 0xFE}));
    EXPECT_THROW(Exchange(first, 0), Kestro2::WriteError);   // unplugged at block 0
    EXPECT_THROW(Exchange(second, 0), Kestro2::ReadError);   // its third read
    EXPECT_THROW(first.Purge(FT_PURGE_RX), Kestro2::ConnectionError);
    EXPECT_NO_THROW(second.Purge(FT_PURGE_RX));
}

// Line timing sleeps on each adapter's own: four adapters exchanging at once
// take about as long as one (10 exchanges of 40.8 ms each: four full USB
// packets of the echo by 24.8 ms, then the latency timer's 16 ms for the
// rest of it and the reply). Had they waited
// for each other, they would take at least four times as long; the bound
// leaves room for a busy machine.
TEST(SeveralAdapters, FourAtOnceTakeAboutAsLongAsOne)
{
    const std::vector<std::string> serialNumbers = {"KS1", "KS2", "KS3", "KS4"};
    std::string scenario = "line-timing\nno-trace\n";
    for (const std::string& serialNumber : serialNumbers)
        scenario += "adapter " + serialNumber + "\n";
    SimulatorSession session(scenario);

    constexpr int kExchanges = 10;
    const auto start = std::chrono::steady_clock::now();
    std::vector<std::thread> threads;
    for (const std::string& serialNumber : serialNumbers) {
        threads.emplace_back([serialNumber] {
            Kestro2 adapter(kCurrentLineRate);
            adapter.Initialize();
            adapter.OpenBySerialNumber(serialNumber);
            EXPECT_EQ(Exchange(adapter, kHeader), (Reply{0xFF, 0xFF, 0x00, 0xFE}));
            for (int i = 1; i < kExchanges; ++i)
                EXPECT_EQ(Exchange(adapter, 0), (Reply{0x00, 0x00, 0x00, 0x00}));
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    const std::chrono::duration<double, std::milli> elapsed = std::chrono::steady_clock::now() - start;

    const double oneAdapterMs = kExchanges * 40.8;
    EXPECT_GE(elapsed.count(), oneAdapterMs);
    EXPECT_LT(elapsed.count(), 3 * oneAdapterMs) << "the adapters waited for each other";
    for (const std::string& serialNumber : serialNumbers)
        EXPECT_EQ(ReadFileBytes(session.ImagePath(serialNumber)), kBlockImage) << serialNumber;
}
