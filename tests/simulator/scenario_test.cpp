#include "simulator/parse_values.h"
#include "simulator/scenario.h"

#include <gtest/gtest.h>

#include <optional>
#include <sstream>
#include <vector>

namespace {

Scenario Parse(const std::string& text)
{
    std::istringstream stream(text);
    return ParseScenario(stream);
}

}  // namespace

TEST(Scenario, AFaultForOneCallWinsOverOneForEveryCall)
{
    const Scenario scenario = Parse(
        "# the read times out on every call but the third\n"
        "short FT_Read 3\n"
        "fail FT_Read 0x12 3   # trailing comment\n"
        "\n");
    ASSERT_EQ(scenario.error, "");
    for (unsigned call : {1u, 2u, 4u}) {
        const CallFault* fault = scenario.FaultFor("FT_Read", call);
        ASSERT_NE(fault, nullptr);
        EXPECT_EQ(fault->kind, CallFault::Kind::ShortCount);
        EXPECT_EQ(fault->value, 3u);
    }
    const CallFault* third = scenario.FaultFor("FT_Read", 3);
    ASSERT_NE(third, nullptr);
    EXPECT_EQ(third->kind, CallFault::Kind::Status);
    EXPECT_EQ(third->value, 0x12u);
    EXPECT_EQ(scenario.FaultFor("FT_Write", 1), nullptr);
}

TEST(Scenario, ReadsOverCountsAndDelays)
{
    const Scenario scenario = Parse("over FT_Read 1 4\ndelay FT_Purge 4900 2\n");
    ASSERT_EQ(scenario.error, "");
    const CallFault* over = scenario.FaultFor("FT_Read", 4);
    ASSERT_NE(over, nullptr);
    EXPECT_EQ(over->kind, CallFault::Kind::OverCount);
    EXPECT_EQ(over->value, 1u);
    const CallFault* delay = scenario.FaultFor("FT_Purge", 2);
    ASSERT_NE(delay, nullptr);
    EXPECT_EQ(delay->kind, CallFault::Kind::Delay);
    EXPECT_EQ(delay->value, 4900u);
    EXPECT_EQ(scenario.FaultFor("FT_Purge", 1), nullptr);
}

// Faults for one packet add up, each sending counted on its own; a status
// for one attempt wins over the status for every attempt.
TEST(Scenario, ReadsTheProductAndWhatHappensToItsPackets)
{
    const Scenario scenario = Parse(
        "product ABCDEFGH\n"
        "at header 1 swap-echo\n"
        "at header 1 bad-checksum\n"
        "at 0x2 * status 5\n"
        "at 2 3 status 0\n"
        "at 2 3 no-reply\n"
        "at 0 1 read-error\n"
        "at 0 * write-error\n"
        "at 65534 7 mangle-echo\n"
        "unplug 3\n"
        "line-timing\n"
        "no-trace\n");
    ASSERT_EQ(scenario.error, "");
    EXPECT_FALSE(scenario.trace);
    EXPECT_EQ(scenario.productName, (SimulatedProduct::Name{'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H'}));
    EXPECT_TRUE(scenario.lineTiming);
    EXPECT_TRUE(scenario.UnplugsAt(3));
    EXPECT_FALSE(scenario.UnplugsAt(2));

    const struct {
        std::uint16_t packet;
        unsigned attempt;
        const char* faults;
    } sendings[] = {
        {SimulatedProduct::kHeaderBlockNumber, 1, " swap-echo bad-checksum"},
        {SimulatedProduct::kHeaderBlockNumber, 2, ""},
        {2, 1, " status 5"},
        {2, 3, " status 0 no-reply"},
        {0, 1, " read-error write-error"},
        {0, 2, " write-error"},
        {1, 1, ""},
        {65534, 7, " mangle-echo"},
        {65534, 1, ""},
    };
    for (const auto& sending : sendings) {
        EXPECT_EQ(scenario.FaultsFor(sending.packet, sending.attempt).Words(), sending.faults)
            << PacketText(sending.packet) << " attempt " << sending.attempt;
    }
}

TEST(Scenario, DefaultsToAnyProductNameAndAnUntimedLine)
{
    const Scenario scenario = Parse("fail FT_Open 3 2\n");
    ASSERT_EQ(scenario.error, "");
    EXPECT_EQ(scenario.productName, std::nullopt);
    EXPECT_FALSE(scenario.lineTiming);
    EXPECT_EQ(scenario.FaultsFor(SimulatedProduct::kHeaderBlockNumber, 1).Words(), "");
}

// A scenario with a mistake is refused whole, never half applied.
TEST(Scenario, RefusesMistakesWithTheLineNumber)
{
    const struct {
        const char* text;
        const char* error;
    } cases[] = {
        {"fail FT_Open 2\nfial FT_Read 4\n", "line 2: unknown directive: fial"},
        {"fail Open 2\n", "line 1: not an entry point: Open"},
        {"fail FT_Open two\n", "line 1: not a number: two"},
        {"fail FT_Open 2 0\n", "line 1: not a call number (1 is the first call): 0"},
        {"fail FT_Open\n", "line 1: expected: fail ENTRY VALUE [CALL]"},
        {"short FT_Purge 1\n", "line 1: short applies to FT_Read and FT_Write only"},
        {"over FT_Open 1\n", "line 1: over applies to FT_Read and FT_Write only"},
        {"delay FT_Open\n", "line 1: expected: delay ENTRY VALUE [CALL]"},
        {"line-timing\nproduct ABCDEFGH\nat header 0 no-reply\n",
         "line 3: not an attempt (1 is the first sending, * every one): 0"},
        {"at trailer 1 no-reply\n", "line 1: not a packet (header, or a block number from 0 to 65534): trailer"},
        {"at 65535 1 no-reply\n", "line 1: not a packet (header, or a block number from 0 to 65534): 65535"},
        {"at 1 1 flip\n", "line 1: unknown fault: flip"},
        {"at 1 1 status 256\n", "line 1: not a status (0 to 255): 256"},
        {"at 1 1 status\n", "line 1: expected: at PACKET ATTEMPT status N"},
        {"at 1 1\n", "line 1: expected: at PACKET ATTEMPT FAULT"},
        {"at 1 1 no-reply 2\n", "line 1: expected: at PACKET ATTEMPT FAULT"},
        {"at 1 * status 3\nat 1 1 status 4\nat 1 * status 4\n", "line 3: a second status for packet 1 attempt *"},
        {"unplug\n", "line 1: expected: unplug PACKET"},
        {"unplug -1\n", "line 1: not a packet (header, or a block number from 0 to 65534): -1"},
        {"product\n", "line 1: expected: product NAME"},
        {"product ABCDEFGH\nproduct ABCDEFGH\n", "line 2: a second product name"},
        {"product ABCDEFG\n",
         "line 1: not a product name (8 printable characters, or 0x and 16 hexadecimal digits): ABCDEFG"},
        {"line-timing 100000\n", "line 1: expected: line-timing"},
        {"no-trace please\n", "line 1: expected: no-trace"},
        {"adapter\n", "line 1: expected: adapter SERIAL [DESCRIPTION]"},
        {"adapter KS/1\n", "line 1: not a serial number (up to 15 letters, digits, - and _): KS/1"},
        {"adapter KS0123456789ABCD\n",
         "line 1: not a serial number (up to 15 letters, digits, - and _): KS0123456789ABCD"},
        {"adapter KS1\nadapter KS2\nadapter KS1\n", "line 3: a second adapter KS1"},
        {"adapter KS1\nadapter 0x4B5331\n", "line 2: a second adapter 0x4B5331"},
        {"adapter 0x4B00\n", "line 1: not a serial number (0x and up to 15 bytes in hexadecimal, none zero): 0x4B00"},
        {"adapter 0x4B53303132333435363738394142434445\n",
         "line 1: not a serial number (0x and up to 15 bytes in hexadecimal, none zero): "
         "0x4B53303132333435363738394142434445"},
        {"adapter 0x4B5\n", "line 1: not a serial number (0x and up to 15 bytes in hexadecimal, none zero): 0x4B5"},
        {"adapter KS1 0x420D0A00\n", "line 1: not a description (0x and up to 64 bytes in hexadecimal, none zero)"},
        {"adapter KS1 0x42 and more\n", "line 1: not a description (0x and up to 64 bytes in hexadecimal, none zero)"},
        {"adapter KS1 Bench adapter \x01\n", "line 1: a description with other than printable ASCII characters"},
        {"adapter KS1 01234567890123456789012345678901234567890123456789012345678901234\n",
         "line 1: a description longer than 64 characters"},
        {"product ABCDEFGH\nadapter KS1\nproduct ABCDEFGX\n", "line 3: a second product name"},
    };
    for (const auto& c : cases) {
        const Scenario scenario = Parse(c.text);
        EXPECT_EQ(scenario.error, c.error) << c.text;
        EXPECT_TRUE(scenario.callFaults.empty()) << c.text;
        EXPECT_TRUE(scenario.packetFaults.empty()) << c.text;
        EXPECT_EQ(scenario.productName, std::nullopt) << c.text;
        EXPECT_FALSE(scenario.lineTiming) << c.text;
        EXPECT_TRUE(scenario.declared.empty()) << c.text;
    }
}

TEST(Scenario, WithoutAdapterLinesHasOneAdapterWithTheWholeScript)
{
    const Scenario scenario = Parse("product ABCDEFGH\nline-timing\n");
    ASSERT_EQ(scenario.error, "");
    const std::vector<DeclaredAdapter> adapters = scenario.Adapters();
    ASSERT_EQ(adapters.size(), 1u);
    EXPECT_EQ(adapters[0].serialNumber, "KS000001");
    EXPECT_EQ(adapters[0].description, "Kestro-3 USB serial adapter (simulated)");
    EXPECT_EQ(adapters[0].script.productName, scenario.productName);
    EXPECT_TRUE(adapters[0].script.lineTiming);
}

// Each adapter has the lines before the first adapter line and its own;
// another adapter's lines never reach it.
TEST(Scenario, ReadsAdaptersInTheirOrderEachWithItsOwnScript)
{
    const Scenario scenario = Parse(
        "line-timing\n"
        "at 1 1 swap-echo\n"
        "adapter KS-1 Bench adapter   # the description ends before the comment\n"
        "product AAAAAAAA\n"
        "at 1 1 bad-checksum\n"
        "adapter ks_2\n"
        "at 2 * status 5\n"
        "fail FT_Read 4 3\n"
        "unplug 7\n");
    ASSERT_EQ(scenario.error, "");
    const std::vector<DeclaredAdapter> adapters = scenario.Adapters();
    ASSERT_EQ(adapters.size(), 2u);

    const AdapterScript& first = adapters[0].script;
    EXPECT_EQ(adapters[0].serialNumber, "KS-1");
    EXPECT_EQ(adapters[0].description, "Bench adapter");
    EXPECT_EQ(first.productName, (SimulatedProduct::Name{'A', 'A', 'A', 'A', 'A', 'A', 'A', 'A'}));
    EXPECT_TRUE(first.lineTiming);
    EXPECT_EQ(first.FaultsFor(1, 1).Words(), " swap-echo bad-checksum");
    EXPECT_EQ(first.FaultsFor(2, 1).Words(), "");
    EXPECT_EQ(first.FaultFor("FT_Read", 3), nullptr);
    EXPECT_FALSE(first.UnplugsAt(7));

    const AdapterScript& second = adapters[1].script;
    EXPECT_EQ(adapters[1].serialNumber, "ks_2");
    EXPECT_EQ(adapters[1].description, "Kestro-3 USB serial adapter (simulated)");
    EXPECT_EQ(second.productName, std::nullopt);
    EXPECT_TRUE(second.lineTiming);
    EXPECT_EQ(second.FaultsFor(1, 1).Words(), " swap-echo");
    EXPECT_EQ(second.FaultsFor(2, 4).Words(), " status 5");
    ASSERT_NE(second.FaultFor("FT_Read", 3), nullptr);
    EXPECT_TRUE(second.UnplugsAt(7));

    // The calls that concern no adapter have the lines before the first.
    EXPECT_EQ(scenario.FaultsFor(1, 1).Words(), " swap-echo");
    EXPECT_EQ(scenario.FaultFor("FT_Read", 3), nullptr);
}

// A serial number or description spelled in hexadecimal is listed as the
// bytes it spells; the files of the adapter are named as it is spelled.
TEST(Scenario, ReadsAdapterTextsSpelledInHexadecimal)
{
    const Scenario scenario = Parse("adapter 0x4B531B5B324A0D7F 0x42656E63680A09\nadapter 0x4B53 0x4B53\n");
    ASSERT_EQ(scenario.error, "");
    ASSERT_EQ(scenario.declared.size(), 2u);
    EXPECT_EQ(scenario.declared[0].serialNumber, "KS\x1B[2J\r\x7F");
    EXPECT_EQ(scenario.declared[0].spelledSerialNumber, "0x4B531B5B324A0D7F");
    EXPECT_EQ(scenario.declared[0].description, "Bench\n\t");
    EXPECT_EQ(scenario.declared[1].serialNumber, "KS");
    EXPECT_EQ(scenario.declared[1].description, "KS");
}

// The scenario's product directive and the update file tool read names alike.
TEST(ParseProductName, TakesEightCharactersOrSixteenHexDigits)
{
    const SimulatedProduct::Name abcdefgh = {'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H'};
    const struct {
        const char* word;
        std::optional<SimulatedProduct::Name> name;
    } cases[] = {
        {"ABCDEFGH", abcdefgh},
        {"0x4142434445464748", abcdefgh},
        {"0X00ff7F80e9FEfF01", SimulatedProduct::Name{0x00, 0xFF, 0x7F, 0x80, 0xE9, 0xFE, 0xFF, 0x01}},
        {"0x123456", SimulatedProduct::Name{'0', 'x', '1', '2', '3', '4', '5', '6'}},  // 8 characters: text
        {"~!AZaz09", SimulatedProduct::Name{'~', '!', 'A', 'Z', 'a', 'z', '0', '9'}},
        {"ABCDEFG", std::nullopt},
        {"ABCDEFGHI", std::nullopt},
        {"ABC\x01" "EFGH", std::nullopt},
        {"ABC\xE9" "EFGH", std::nullopt},
        {"0x41424344454647", std::nullopt},
        {"0x41424344454647zz", std::nullopt},
        {"0x414243444546474", std::nullopt},
        {"0x+142434445464748", std::nullopt},
        {"1x4142434445464748", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseProductName(c.word), c.name) << c.word;
}
