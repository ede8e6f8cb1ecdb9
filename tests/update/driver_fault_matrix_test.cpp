// Every driver call that the program makes, failing in every way a driver
// can fail, at every place where the call is made: at the start, and in the
// exchanges of the header, block 0, a middle block, the last block, a second
// sending and a 100th. Each row runs in a process of its own, against the
// simulated adapter and product, through the recording view.
#include "adapter/configuration.h"
#include "adapter/kestro2.h"
#include "tests/support/file_bytes.h"
#include "tests/support/recording_view.h"
#include "tests/support/simulator_session.h"
#include "tests/support/update_folder.h"
#include "tests/support/working_folder.h"
#include "update/image_transfer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <ostream>
#include <cstdio>
#include <string>
#include <string_view>
#include <typeinfo>
#include <utility>
#include <vector>

namespace {

// The time-outs that the main window sets for the update.
constexpr std::uint32_t kUpdateTimeoutMs = 5000;

enum class Ending {
    OpenError,        // the start ends with the box "no adapter"
    ConnectionError,  // the same box, raised by the base class itself
    Succeeded,
    NoProduct,  // message 106
};

// The start-up calls of the main window, in its order.
struct StartUpCall {
    const char* name;
    const char* entry;
    unsigned call;  // of that entry, from 1
    Ending ending;  // when it fails
};

const StartUpCall kStartUpCalls[] = {
    {"ListDevices", "FT_ListDevices", 1, Ending::OpenError},
    {"Open", "FT_Open", 1, Ending::OpenError},
    {"SetBaudRate", "FT_SetBaudRate", 1, Ending::OpenError},
    {"SetTimeoutsAtOpen", "FT_SetTimeouts", 1, Ending::OpenError},
    {"SetDataCharacteristics", "FT_SetDataCharacteristics", 1, Ending::OpenError},
    {"SetTimeoutsForTheUpdate", "FT_SetTimeouts", 2, Ending::ConnectionError},
};

// The calls of one sending: purge, write 269, read the 269 of the echo, read
// the 4 of the reply.
struct SendingCall {
    const char* name;
    const char* entry;
    unsigned callsPerSending;
    unsigned callInSending;  // from 1
    std::uint32_t count;     // bytes moved; 0 for the purge
};

const SendingCall kPurge{"Purge", "FT_Purge", 1, 1, 0};
const SendingCall kWrite{"Write", "FT_Write", 1, 1, 269};
const SendingCall kReadEcho{"ReadEcho", "FT_Read", 2, 1, 269};
const SendingCall kReadReply{"ReadReply", "FT_Read", 2, 2, 4};
const SendingCall kSendingCalls[] = {kPurge, kWrite, kReadEcho, kReadReply};

unsigned CallNumber(const SendingCall& call, unsigned sending)
{
    return call.callsPerSending * sending + call.callInSending;
}

// An image of three blocks. Block 1 is the middle one; the second and the
// 100th sending are block 1's, after the product rejected it before.
struct Place {
    const char* name;
    const char* packet;  // in the scenario's words
    unsigned attempt;
    unsigned sending;  // of the transfer, from 0 for the header's
    int blocksTaken;   // before it
};

const Place kHeader{"Header", "header", 1, 0, 0};
const Place kBlock0{"Block0", "0", 1, 1, 0};
const Place kPlaces[] = {
    kHeader,
    kBlock0,
    {"MiddleBlock", "1", 1, 2, 1},
    {"LastBlock", "2", 1, 3, 2},
    {"SecondSending", "1", 2, 3, 1},
    {"HundredthSending", "1", 100, 101, 1},
};

std::string RejectionsBefore(const Place& place)
{
    std::string scenario;
    for (unsigned attempt = 1; attempt < place.attempt; ++attempt)
        scenario += "at " + std::string(place.packet) + " " + std::to_string(attempt) + " status 5\n";
    return scenario;
}

const std::uint32_t kFailingStatuses[] = {1, 2, 3, 4, 18, 0xFFFFFFFF};

struct MatrixRow {
    std::string name;
    std::string scenario;
    Ending ending = Ending::Succeeded;
    int blocksTaken = 3;  // when the update fails
    bool headerTaken = true;
    std::string noticingEntry;  // the call at which the failure shows, the last one made
    unsigned noticingCall = 0;
};

void PrintTo(const MatrixRow& row, std::ostream* out)
{
    *out << row.name;
}

std::string Hex(std::uint32_t value)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", value);
    return text;
}

// A call that takes its time and still succeeds.
MatrixRow SlowRow(std::string name, std::string scenario)
{
    MatrixRow row;
    row.name = std::move(name);
    row.scenario = std::move(scenario);
    row.ending = Ending::Succeeded;
    return row;
}

std::vector<MatrixRow> StartUpRows()
{
    std::vector<MatrixRow> rows;
    for (const StartUpCall& call : kStartUpCalls) {
        const std::string number = " " + std::to_string(call.call) + "\n";
        for (const std::uint32_t status : kFailingStatuses) {
            rows.push_back({std::string(call.name) + "_Status" + Hex(status), "fail " + std::string(call.entry) + " " +
                            std::to_string(status) + number, call.ending, 0, false, call.entry, call.call});
        }
        // Just under the 1000 ms that the opening sets: slow, but not failed.
        rows.push_back(SlowRow(std::string(call.name) + "_Slow", "delay " + std::string(call.entry) + " 900" + number));
    }
    return rows;
}

std::vector<MatrixRow> SendingRows()
{
    std::vector<MatrixRow> rows;
    for (const SendingCall& call : kSendingCalls) {
        for (const Place& place : kPlaces) {
            const unsigned number = CallNumber(call, place.sending);
            const std::string prefix = std::string(call.name) + "_" + place.name + "_";
            const std::string at = std::string(call.entry) + " ";
            const std::string suffix = " " + std::to_string(number) + "\n";
            const auto failing = [&](const std::string& kind, const std::string& fault) {
                return MatrixRow{prefix + kind,        RejectionsBefore(place) + fault, Ending::NoProduct,
                                 place.blocksTaken,    place.sending > 0,               call.entry,
                                 number};
            };
            for (const std::uint32_t status : kFailingStatuses)
                rows.push_back(failing("Status" + Hex(status), "fail " + at + std::to_string(status) + suffix));
            if (call.count == 0)
                continue;
            const bool isWrite = std::string_view(call.entry) == kWrite.entry;
            for (const std::uint32_t count : {0u, 1u, call.count - 1}) {
                MatrixRow row =
                    failing("Count" + std::to_string(count), "short " + at + std::to_string(count) + suffix);
                // A write's count is not examined: the shortfall shows in the
                // read of the echo that follows.
                if (isWrite) {
                    row.noticingEntry = kReadEcho.entry;
                    row.noticingCall = CallNumber(kReadEcho, place.sending);
                }
                rows.push_back(row);
            }
            // A driver that claims a byte more than asked: what a read
            // delivered cannot be trusted; a write's count is not examined.
            MatrixRow over = failing("OverCount", "over " + at + "1" + suffix);
            if (isWrite)
                over.ending = Ending::Succeeded;
            rows.push_back(over);
        }
        // Just under the update's 5000 ms time-out: slow, but not failed.
        const std::string callOfBlock0 = std::to_string(CallNumber(call, 1));
        rows.push_back(SlowRow(std::string(call.name) + "_Block0_Slow",
                               "delay " + std::string(call.entry) + " 4900 " + callOfBlock0 + "\n"));
    }
    // Reads that end at the time-out with nothing, on a line that takes its
    // time: the reply never comes, and the echo of a write that sent nothing.
    rows.push_back({"ReadReply_Block0_TimedOutEmpty", "line-timing\nat 0 1 no-reply\n", Ending::NoProduct, 0, true,
                    kReadReply.entry, CallNumber(kReadReply, 1)});
    rows.push_back({"ReadEcho_Block0_TimedOutEmpty", "line-timing\nshort FT_Write 0 2\n", Ending::NoProduct, 0, true,
                    kReadEcho.entry, CallNumber(kReadEcho, 1)});
    return rows;
}

std::vector<MatrixRow> AllRows()
{
    std::vector<MatrixRow> rows = StartUpRows();
    const std::vector<MatrixRow> sending = SendingRows();
    rows.insert(rows.end(), sending.begin(), sending.end());
    return rows;
}

// Which of the adapter's exceptions the start raised, if any.
std::optional<std::string> StartAsTheWindowDoes(Kestro2& adapter)
{
    try {
        adapter.Initialize();
        adapter.Open();
        adapter.SetTimeouts(kUpdateTimeoutMs, kUpdateTimeoutMs);
    } catch (const Kestro2::ConnectionError& error) {
        return typeid(error).name();
    }
    return std::nullopt;
}

std::size_t CallsOfEntry(const std::vector<std::string>& calls, const std::string& entry)
{
    return static_cast<std::size_t>(
        std::ranges::count_if(calls, [&](const std::string& call) { return call.starts_with(entry + " "); }));
}

}  // namespace

class DriverFaults : public testing::TestWithParam<MatrixRow> {};

// At the start a failing call ends the program with the box that says no
// adapter answers. During an update every failure ends with message 106:
// status "Failed", WRITE back, the bar where it stood, no further driver
// call and the update file free again. A slow call is no failure.
TEST_P(DriverFaults, EndAsTheProgramPromises)
{
    const MatrixRow& row = GetParam();
    WorkingFolder folder;
    SimulatorSession session(row.scenario);
    Kestro2 adapter(kCurrentLineRate);

    const std::optional<std::string> raised = StartAsTheWindowDoes(adapter);
    if (row.ending == Ending::OpenError || row.ending == Ending::ConnectionError) {
        EXPECT_EQ(raised, row.ending == Ending::OpenError ? typeid(Kestro2::OpenError).name()
                                                          : typeid(Kestro2::ConnectionError).name());
        const std::vector<std::string> calls = session.Calls();
        ASSERT_FALSE(calls.empty());
        EXPECT_TRUE(calls.back().starts_with(row.noticingEntry + " ")) << calls.back();
        EXPECT_EQ(CallsOfEntry(calls, row.noticingEntry), row.noticingCall);
        return;
    }
    ASSERT_EQ(raised, std::nullopt);

    std::vector<std::uint8_t> payload(600);
    std::ranges::generate(payload, [n = 0]() mutable { return static_cast<std::uint8_t>(n++ * 13); });
    WriteUpdateFile("image.bin", NameOf("ABCDEFGH"), payload);
    RecordingView view;
    const TransferResult result = RunImageTransfer(adapter, view);

    EXPECT_FALSE(SearchRefusal().has_value()) << "the update file was left open";
    if (row.ending == Ending::Succeeded) {
        EXPECT_EQ(result, (TransferResult{TransferResult::Ending::Succeeded, MessageId::Succeeded}));
        payload.resize(3 * 256, 0xFF);
        EXPECT_EQ(ReadFileBytes(session.ImagePath()), payload);
        return;
    }
    EXPECT_EQ(result, (TransferResult{TransferResult::Ending::Failed, MessageId::NoProduct}));
    const std::vector<std::string> ending = {"box failure NoProduct", "failed state (file closed)", "not busy"};
    ASSERT_GE(view.events.size(), ending.size());
    EXPECT_EQ(std::vector<std::string>(view.events.end() - 3, view.events.end()), ending);
    EXPECT_EQ(std::ranges::count(view.events, "progress step it"), row.blocksTaken);
    EXPECT_EQ(std::ranges::count(view.events, "progress range 0..3"), row.headerTaken ? 1 : 0)
        << "the bar is untouched until the header is taken";

    const std::vector<std::string> calls = session.Calls();
    EXPECT_TRUE(calls.back().starts_with(row.noticingEntry + " "))
        << "a driver call after the failure: " << calls.back();
    EXPECT_EQ(CallsOfEntry(calls, row.noticingEntry), row.noticingCall);
}

INSTANTIATE_TEST_SUITE_P(Matrix, DriverFaults, testing::ValuesIn(AllRows()),
                         [](const testing::TestParamInfo<MatrixRow>& info) { return info.param.name; });
