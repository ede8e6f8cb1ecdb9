// The adapter device against the simulated driver library. Every test runs
// in a process of its own, so the library starts fresh with its scenario.
#include "adapter/configuration.h"
#include "adapter/kestro2.h"
#include "tests/support/param_name.h"
#include "tests/support/simulator_session.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <ostream>
#include <string>
#include <typeinfo>
#include <vector>

namespace {

using Calls = std::vector<std::string>;

const Calls kOpenCalls = {
    "FT_ListDevices 0 0x40000002 -> 0",
    "FT_Open 0 -> 0",
    "FT_SetBaudRate device0 100000 -> 0",
    "FT_SetTimeouts device0 1000 1000 -> 0",
    "FT_SetDataCharacteristics device0 8 0 0 -> 0",
};

void OpenDevice(Kestro2& adapter)
{
    adapter.Initialize();
    adapter.Open();
}

}  // namespace

TEST(Kestro2WithoutLibrary, InitializeRaisesInitializeErrorFirst)
{
    Kestro2 adapter(kCurrentLineRate);
    const char* caught = "nothing";
    try {
        adapter.Initialize();
    } catch (const Kestro2::InitializeError& error) {
        caught = "InitializeError";
        EXPECT_STREQ(error.what(), "");
    } catch (const Kestro2::ConnectionError&) {
        caught = "ConnectionError";
    }
    EXPECT_STREQ(caught, "InitializeError");
}

TEST(Kestro2LackingEntry, InitializeRaisesInitializeError)
{
    SimulatorSession session;
    Kestro2 adapter(kCurrentLineRate);
    EXPECT_THROW(adapter.Initialize(), Kestro2::InitializeError);
}

TEST(Kestro2, StartsWithTheExactCallSequence)
{
    SimulatorSession session;
    Kestro2 adapter(kCurrentLineRate);
    adapter.Initialize();
    ComDevice& device = adapter;  // the dialog opens it through the interface
    device.Open();
    adapter.SetTimeouts(5000, 5000);

    Calls expected = kOpenCalls;
    expected.push_back("FT_SetTimeouts device0 5000 5000 -> 0");
    EXPECT_EQ(session.Calls(), expected);
}

namespace {

struct LineRateCase {
    const char* name;
    std::uint32_t lineRate;
    const char* rateCall;
};

void PrintTo(const LineRateCase& rate, std::ostream* out)
{
    *out << rate.lineRate;
}

}  // namespace

class Kestro2LineRate : public testing::TestWithParam<LineRateCase> {};

// The two adapter generations differ in the line rate alone.
TEST_P(Kestro2LineRate, OpensTheLineAtTheRateItWasGiven)
{
    SimulatorSession session;
    Kestro2 adapter(GetParam().lineRate);
    OpenDevice(adapter);

    Calls expected = kOpenCalls;
    expected[2] = GetParam().rateCall;
    EXPECT_EQ(session.Calls(), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Generations, Kestro2LineRate,
    testing::Values(LineRateCase{"Current", kCurrentLineRate, "FT_SetBaudRate device0 100000 -> 0"},
                    LineRateCase{"FirstGeneration", kFirstGenerationLineRate, "FT_SetBaudRate device0 9600 -> 0"}),
    ParamName<LineRateCase>);

namespace {

using OpenCall = void (*)(Kestro2&);

struct ChosenAdapter {
    const char* name;
    const char* scenario;
    OpenCall open;
    Calls calls;      // the whole sequence, the failing call included
    bool raises;      // OpenError
    bool deviceOpen;  // whether the device is open afterwards
};

void PrintTo(const ChosenAdapter& chosen, std::ostream* out)
{
    *out << chosen.name;
}

const Calls kLineSetUp = {
    "FT_SetBaudRate device0 100000 -> 0",
    "FT_SetTimeouts device0 1000 1000 -> 0",
    "FT_SetDataCharacteristics device0 8 0 0 -> 0",
};

Calls Concatenated(Calls first, const Calls& second)
{
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

}  // namespace

class Kestro2ChosenAdapter : public testing::TestWithParam<ChosenAdapter> {};

// By index, the steps of Open() for that index; by serial number, FT_OpenEx
// and then the same line set-up. Either stops at its first failing step.
TEST_P(Kestro2ChosenAdapter, OpensOnlyTheAdapterAskedFor)
{
    const ChosenAdapter& chosen = GetParam();
    SimulatorSession session(chosen.scenario);
    Kestro2 adapter(kCurrentLineRate);
    adapter.Initialize();
    if (chosen.raises)
        EXPECT_THROW(chosen.open(adapter), Kestro2::OpenError);
    else
        EXPECT_NO_THROW(chosen.open(adapter));

    EXPECT_EQ(session.Calls(), chosen.calls);
    if (chosen.deviceOpen)
        EXPECT_NO_THROW(adapter.Purge(FT_PURGE_RX));
    else
        EXPECT_THROW(adapter.Purge(FT_PURGE_RX), Kestro2::ConnectionError);
}

INSTANTIATE_TEST_SUITE_P(
    ByIndexAndSerialNumber, Kestro2ChosenAdapter,
    testing::Values(
        ChosenAdapter{"IndexZero", "", [](Kestro2& adapter) { adapter.Open(0); }, kOpenCalls, false, true},
        ChosenAdapter{"AbsentIndex", "", [](Kestro2& adapter) { adapter.Open(1); },
                      {"FT_ListDevices 1 0x40000002 -> 2"}, true, false},
        ChosenAdapter{"SerialNumber", "", [](Kestro2& adapter) { adapter.OpenBySerialNumber("KS000001"); },
                      Concatenated({"FT_OpenEx KS000001 1 -> 0"}, kLineSetUp), false, true},
        ChosenAdapter{"UnknownSerialNumber", "", [](Kestro2& adapter) { adapter.OpenBySerialNumber("KS000009"); },
                      {"FT_OpenEx KS000009 1 -> 2"}, true, false},
        ChosenAdapter{"SerialNumberFrameFormatRefused", "fail FT_SetDataCharacteristics 6",
                      [](Kestro2& adapter) { adapter.OpenBySerialNumber("KS000001"); },
                      Concatenated({"FT_OpenEx KS000001 1 -> 0"},
                                   {kLineSetUp[0], kLineSetUp[1], "FT_SetDataCharacteristics device0 8 0 0 -> 6"}),
                      true, true}),
    ParamName<ChosenAdapter>);

TEST(Kestro2, ListsEachAdapterWithItsSerialNumberAndDescription)
{
    SimulatorSession session;
    Kestro2 adapter(kCurrentLineRate);
    adapter.Initialize();
    const std::vector<AdapterListing> expected = {{0, "KS000001", "Kestro-3 USB serial adapter (simulated)"}};
    EXPECT_EQ(adapter.ListAdapters(), expected);
}

namespace {

struct ListingStep {
    const char* name;
    const char* failingCall;
};

void PrintTo(const ListingStep& step, std::ostream* out)
{
    *out << step.failingCall;
}

}  // namespace

class Kestro2ListingFailure : public testing::TestWithParam<ListingStep> {};

// The count, the serial number and the description are three calls; any of
// them failing fails the listing. The adapter counts the calls that list it,
// the library the one that counts the adapters.
TEST_P(Kestro2ListingFailure, RaisesOpenError)
{
    SimulatorSession session(GetParam().failingCall);
    Kestro2 adapter(kCurrentLineRate);
    adapter.Initialize();
    EXPECT_THROW(adapter.ListAdapters(), Kestro2::OpenError);
}

INSTANTIATE_TEST_SUITE_P(EachCall, Kestro2ListingFailure,
                         testing::Values(ListingStep{"Count", "fail FT_ListDevices 2 1"},
                                         ListingStep{"SerialNumber", "adapter KS000001\nfail FT_ListDevices 4 1"},
                                         ListingStep{"Description", "adapter KS000001\nfail FT_ListDevices 4 2"}),
                         ParamName<ListingStep>);

namespace {

struct OpenStep {
    const char* name;
    const char* failingCall;  // scenario line that makes the step fail
    std::size_t callsMade;    // of kOpenCalls, the failing one included
    bool deviceOpen;          // whether the device stays open afterwards
};

void PrintTo(const OpenStep& step, std::ostream* out)
{
    *out << step.failingCall;
}

}  // namespace

class Kestro2OpenFailure : public testing::TestWithParam<OpenStep> {};

// Each step stops the sequence: the later steps are not attempted and
// nothing is undone.
TEST_P(Kestro2OpenFailure, RaisesOpenErrorAndStopsThere)
{
    const OpenStep step = GetParam();
    SimulatorSession session(step.failingCall);
    Kestro2 adapter(kCurrentLineRate);
    adapter.Initialize();
    EXPECT_THROW(adapter.Open(), Kestro2::OpenError);

    Calls calls = session.Calls();
    ASSERT_EQ(calls.size(), step.callsMade);
    for (std::size_t i = 0; i + 1 < step.callsMade; ++i)
        EXPECT_EQ(calls[i], kOpenCalls[i]);
    EXPECT_NE(calls.back(), kOpenCalls[step.callsMade - 1]) << "the failing step reported success";

    // The device opened in step 2 stays open with its handle in the binding.
    if (step.deviceOpen)
        EXPECT_NO_THROW(adapter.Purge(FT_PURGE_RX));
    else
        EXPECT_THROW(adapter.Purge(FT_PURGE_RX), Kestro2::ConnectionError);
}

INSTANTIATE_TEST_SUITE_P(EachStep, Kestro2OpenFailure,
                         testing::Values(OpenStep{"List", "fail FT_ListDevices 2", 1, false},
                                         OpenStep{"Open", "fail FT_Open 3", 2, false},
                                         OpenStep{"LineRate", "fail FT_SetBaudRate 7", 3, true},
                                         OpenStep{"Timeouts", "fail FT_SetTimeouts 4", 4, true},
                                         OpenStep{"FrameFormat", "fail FT_SetDataCharacteristics 6", 5, true}),
                         ParamName<OpenStep>);

namespace {

struct TransferFault {
    const char* name;
    const char* scenario;
    bool readFails;
    bool writeFails;
};

void PrintTo(const TransferFault& fault, std::ostream* out)
{
    *out << '"' << fault.scenario << '"';
}

}  // namespace

class Kestro2Transfer : public testing::TestWithParam<TransferFault> {};

// A read must deliver exactly the count asked; a write that the driver calls
// successful counts as complete whatever its count.
TEST_P(Kestro2Transfer, RaisesOnlyForDriverErrorsAndShortReads)
{
    const TransferFault fault = GetParam();
    SimulatorSession session(fault.scenario);
    Kestro2 adapter(kCurrentLineRate);
    OpenDevice(adapter);

    const std::array<std::uint8_t, 8> sent = {1, 2, 3, 4, 5, 6, 7, 8};
    if (fault.writeFails)
        EXPECT_THROW(adapter.Write(sent.data(), sent.size()), Kestro2::WriteError);
    else
        EXPECT_NO_THROW(adapter.Write(sent.data(), sent.size()));

    std::array<std::uint8_t, 8> echo = {};
    if (fault.readFails)
        EXPECT_THROW(adapter.Read(echo.data(), 4), Kestro2::ReadError);
    else
        EXPECT_NO_THROW(adapter.Read(echo.data(), 4));
}

INSTANTIATE_TEST_SUITE_P(
    Faults, Kestro2Transfer,
    testing::Values(TransferFault{"None", "", false, false},
                    // 4 of 8 bytes went out, enough for the read of 4 that follows
                    TransferFault{"ShortWrite", "short FT_Write 4", false, false},
                    // nothing went out: the read times out
                    TransferFault{"NothingWritten", "short FT_Write 0", true, false},
                    TransferFault{"WriteStatus", "fail FT_Write 4", true, true},
                    TransferFault{"ShortRead", "short FT_Read 3", true, false},
                    // the driver claims a byte beyond the buffer it was given
                    TransferFault{"OverCountedRead", "over FT_Read 1", true, false},
                    TransferFault{"OverCountedWrite", "over FT_Write 1", false, false},
                    TransferFault{"ReadStatus", "fail FT_Read 4", true, false}),
    ParamName<TransferFault>);

// The adapter hears its own transmission, then the product's reply. This
// packet comes without a header before it and with its checksum byte left
// 0, so the product refuses it: status 5.
TEST(Kestro2, ExchangesAPacketWithTheProduct)
{
    SimulatorSession session;
    Kestro2 adapter(kCurrentLineRate);
    OpenDevice(adapter);

    std::array<std::uint8_t, 269> packet = {};
    packet[8] = 0x00;
    packet[9] = 0x02;
    adapter.Purge(FT_PURGE_RX);
    adapter.Write(packet.data(), packet.size());
    std::array<std::uint8_t, 269> echo = {};
    adapter.Read(echo.data(), echo.size());
    std::array<std::uint8_t, 4> reply = {};
    adapter.Read(reply.data(), reply.size());

    EXPECT_EQ(echo, packet);
    EXPECT_EQ(reply, (std::array<std::uint8_t, 4>{0x00, 0x02, 0x05, 0x07}));
}

// Purge and SetTimeouts fail with the base class itself, not a derived one.
TEST(Kestro2, PurgeAndSetTimeoutsRaiseTheBaseClass)
{
    SimulatorSession session("fail FT_Purge 4\nfail FT_SetTimeouts 4 2\n");
    Kestro2 adapter(kCurrentLineRate);
    OpenDevice(adapter);

    const auto raisedType = [](auto&& operation) -> std::string {
        try {
            operation();
        } catch (const Kestro2::ConnectionError& error) {
            EXPECT_STREQ(error.what(), "");
            return typeid(error).name();
        }
        return "nothing";
    };
    const std::string baseClass = typeid(Kestro2::ConnectionError).name();
    EXPECT_EQ(raisedType([&] { adapter.Purge(FT_PURGE_RX); }), baseClass);
    EXPECT_EQ(raisedType([&] { adapter.SetTimeouts(5000, 5000); }), baseClass);
}

TEST(Kestro2, CloseReturnsTheDriversStatusAndRaisesNothing)
{
    SimulatorSession session("fail FT_Close 4");
    Kestro2 adapter(kCurrentLineRate);
    OpenDevice(adapter);
    EXPECT_EQ(adapter.Close(), FT_IO_ERROR);
}
