// The whole transfer against the simulated adapter and product, seen through
// a recording view. Every test runs in a process of its own.
#include "adapter/configuration.h"
#include "adapter/kestro2.h"
#include "messages/catalogue.h"
#include "tests/support/file_bytes.h"
#include "tests/support/param_name.h"
#include "tests/support/recording_view.h"
#include "tests/support/simulator_session.h"
#include "tests/support/update_folder.h"
#include "tests/support/working_folder.h"
#include "update/image_transfer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <new>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace {

using Events = std::vector<std::string>;

const Events kConfirmed = {
    "box question Confirm after \"ABCDEFGH\"",
    "busy",
    "button off",
    "status Writing",
};

Events Concat(std::initializer_list<Events> parts)
{
    Events all;
    for (const Events& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

// From the header's accepted exchange on.
Events ProgressFor(int blocks)
{
    Events events = {"exchanged", "progress range 0.." + std::to_string(blocks), "progress position 0",
                     "progress step 1"};
    for (int block = 0; block < blocks; ++block) {
        events.push_back("exchanged");
        events.push_back("progress step it");
        events.push_back("repaint");
    }
    return events;
}

Events FailureEnding(MessageId message)
{
    return {"box failure " + std::string(MessageName(message)), "failed state (file closed)", "not busy"};
}

const Events kSuccessEnding = {"status Succeeded", "box success Succeeded", "button on (file closed)", "not busy"};

class ImageTransfer : public testing::Test {
protected:
    // A product named ABCDEFGH with the adapter open, as after the start.
    void Start(std::string_view scenario = {})
    {
        m_session.emplace(scenario);
        m_adapter.Initialize();
        m_adapter.Open();
    }

    std::vector<std::string> CallsAfterStart() const
    {
        std::vector<std::string> calls = m_session->Calls();
        calls.erase(calls.begin(), calls.begin() + 5);
        return calls;
    }

    TransferResult Run() { return RunImageTransfer(m_adapter, m_view); }

    std::vector<std::string> Writes() const
    {
        const std::vector<std::string> calls = CallsAfterStart();
        std::vector<std::string> writes;
        std::ranges::copy_if(calls, std::back_inserter(writes),
                             [](const std::string& call) { return call.starts_with("FT_Write"); });
        return writes;
    }

    WorkingFolder m_folder;
    std::optional<SimulatorSession> m_session;
    Kestro2 m_adapter{kCurrentLineRate};
    RecordingView m_view;
};

}  // namespace

// Message 109 and nothing else: no busy state, no status, the button as it was.
TEST_F(ImageTransfer, WithoutAnUpdateFileSaysSoAndChangesNothing)
{
    Start();
    Run();
    EXPECT_EQ(m_view.events, Events{"box file problem NoUpdateFile"});
    EXPECT_TRUE(CallsAfterStart().empty());
}

// Files that cannot be sent whole are refused before the question.
TEST_F(ImageTransfer, RefusesFilesThatCannotBeSentWhole)
{
    Start();
    WriteFileBytes("short.bin", std::vector<std::uint8_t>(7, 0x41));
    Run();
    std::filesystem::remove("short.bin");

    // One byte more than 65535 blocks, as a sparse file.
    WriteUpdateFile("large.bin", NameOf("ABCDEFGH"));
    std::filesystem::resize_file("large.bin", 8 + 65535 * 256 + 1);
    Run();
    EXPECT_EQ(m_view.events, (Events{"box file problem FileTooShort", "box file problem FileTooLarge"}));
    EXPECT_TRUE(CallsAfterStart().empty());
}

TEST_F(ImageTransfer, CancelledAtTheQuestionSendsNothing)
{
    Start();
    WriteUpdateFile("image.bin", NameOf("ABCDEFGH"), std::vector<std::uint8_t>(300, 0x11));
    // Cancel, Esc and the close box; a box that failed to show; any other
    // button the platform might report. Only OK consents.
    for (const int answer : {2, 0, 6}) {
        m_view.events.clear();
        m_view.answer = static_cast<BoxAnswer>(answer);
        EXPECT_EQ(Run(), (TransferResult{TransferResult::Ending::Declined, MessageId::Confirm})) << answer;
        EXPECT_EQ(m_view.events, Events{"box question Confirm after \"ABCDEFGH\""}) << answer;
        EXPECT_TRUE(CallsAfterStart().empty()) << answer;
        EXPECT_FALSE(SearchRefusal().has_value()) << "the update file was left open";
    }
}

TEST_F(ImageTransfer, SendsTheHeaderAndEveryBlock)
{
    Start();
    WriteUpdateFile("image.bin", NameOf("ABCDEFGH"), std::vector<std::uint8_t>(300, 0x11));
    EXPECT_EQ(Run(), (TransferResult{TransferResult::Ending::Succeeded, MessageId::Succeeded}));
    EXPECT_EQ(m_view.events, Concat({kConfirmed, ProgressFor(2), kSuccessEnding}));

    // Three exchanges: the header and blocks 0 and 1, each after a purge.
    const std::vector<std::string> exchange = {"FT_Purge device0 1 -> 0", "FT_Write device0 269 -> 0",
                                               "FT_Read device0 269 -> 0", "FT_Read device0 4 -> 0"};
    EXPECT_EQ(CallsAfterStart(), Concat({exchange, exchange, exchange}));
}

// A file of the header alone: the header packet, a range of 0..0, success.
TEST_F(ImageTransfer, AnEmptyImageIsTheHeaderAlone)
{
    Start();
    WriteUpdateFile("image.bin", NameOf("ABCDEFGH"));
    Run();
    EXPECT_EQ(m_view.events, Concat({kConfirmed, ProgressFor(0), kSuccessEnding}));
}

// The reply to the header never comes: the read falls short of its 4 bytes.
TEST_F(ImageTransfer, AnAdapterFailureEndsWithNoProduct)
{
    Start("short FT_Read 0 2");
    WriteUpdateFile("image.bin", NameOf("ABCDEFGH"), std::vector<std::uint8_t>(300, 0x11));
    Run();
    EXPECT_EQ(m_view.events, Concat({kConfirmed, FailureEnding(MessageId::NoProduct)}));
}

// The view hears of every exchange, resends included, so that the window
// answers other programs however long the product keeps rejecting a block.
TEST_F(ImageTransfer, TellsTheViewOfEveryExchange)
{
    Start("at 0 1 status 5\nat 0 2 bad-checksum\n");
    WriteUpdateFile("image.bin", NameOf("ABCDEFGH"), std::vector<std::uint8_t>(300, 0x11));
    Run();
    Events expected = Concat({kConfirmed, ProgressFor(2), kSuccessEnding});
    const auto firstBlock = std::ranges::find(expected, "progress step 1") + 1;
    expected.insert(firstBlock, {"exchanged", "exchanged"});
    EXPECT_EQ(m_view.events, expected);
}

// A view that gives up after an exchange ends the transfer there: no more
// sendings, no closing box, the file closed and WRITE back.
TEST_F(ImageTransfer, AViewThatGivesUpAbandonsTheTransferAfterTheExchange)
{
    Start("at 1 * status 5\n");
    WriteUpdateFile("image.bin", NameOf("ABCDEFGH"), std::vector<std::uint8_t>(600, 0x11));
    for (const int exchanges : {1, 2, 4}) {
        int seen = 0;
        m_view.events.clear();
        m_view.keepGoing = [&] { return ++seen < exchanges; };
        const std::size_t writesBefore = Writes().size();
        EXPECT_EQ(Run(), (TransferResult{TransferResult::Ending::Abandoned, MessageId::Writing}));
        EXPECT_EQ(Writes().size() - writesBefore, static_cast<std::size_t>(exchanges));
        const Events ending = {"exchanged", "failed state (file closed)", "not busy"};
        EXPECT_EQ(Events(m_view.events.end() - 3, m_view.events.end()), ending) << exchanges;
    }
}

// Anything unexpected while the image goes out ends it as a failed write.
TEST_F(ImageTransfer, AnUnexpectedFailureTakesTheFailureEnding)
{
    Start();
    WriteUpdateFile("image.bin", NameOf("ABCDEFGH"), std::vector<std::uint8_t>(600, 0x11));
    m_view.onStep = [] { throw std::bad_alloc(); };
    EXPECT_EQ(Run(), (TransferResult{TransferResult::Ending::Failed, MessageId::WriteError}));
    EXPECT_EQ(Events(m_view.events.end() - 3, m_view.events.end()), FailureEnding(MessageId::WriteError));
    EXPECT_EQ(Writes().size(), 2u) << "the header and block 0, then nothing";
}

namespace {

// "at PACKET N FAULT" for each of the first `sendings` sendings of `packet`.
std::string OnFirstSendings(int sendings, std::string_view packet, std::string_view fault)
{
    std::string scenario;
    for (int sending = 1; sending <= sendings; ++sending)
        scenario += "at " + std::string(packet) + " " + std::to_string(sending) + " " + std::string(fault) + "\n";
    return scenario;
}

// An image of three blocks: 0, the middle one 1, and 2, the last.
struct RetryCase {
    const char* name;
    std::string scenario;
    TransferResult result;
    std::size_t sendings;  // writes of packets, the header's included
    int blocksTaken;       // steps of the progress bar
};

void PrintTo(const RetryCase& retry, std::ostream* out)
{
    *out << retry.name;
}

constexpr TransferResult kSucceeded{TransferResult::Ending::Succeeded, MessageId::Succeeded};

constexpr TransferResult FailedWith(MessageId message)
{
    return {TransferResult::Ending::Failed, message};
}

const RetryCase kRetryCases[] = {
    {"RejectedOnceByStatus", OnFirstSendings(1, "1", "status 5"), kSucceeded, 5, 3},
    {"RejectedThreeTimesByStatus", OnFirstSendings(3, "1", "status 255"), kSucceeded, 7, 3},
    {"RejectedOnceByEcho", OnFirstSendings(1, "1", "swap-echo"), kSucceeded, 5, 3},
    {"RejectedThreeTimesByEcho", OnFirstSendings(3, "1", "swap-echo"), kSucceeded, 7, 3},
    {"RejectedOnceByChecksum", OnFirstSendings(1, "1", "bad-checksum"), kSucceeded, 5, 3},
    {"RejectedThreeTimesByChecksum", OnFirstSendings(3, "1", "bad-checksum"), kSucceeded, 7, 3},
    {"Rejected99TimesThenTaken", OnFirstSendings(99, "1", "status 5"), kSucceeded, 103, 3},
    // The 100th rejection ends it: no 101st sending.
    {"Rejected100Times", OnFirstSendings(100, "1", "status 5"), FailedWith(MessageId::WriteError), 102, 1},
    {"Rejected100TimesByEchoAtTheLastBlock", OnFirstSendings(100, "2", "swap-echo"),
     FailedWith(MessageId::WriteError), 103, 2},
    {"WriteFailedAtTheHeader", "at header 1 status 3\n", FailedWith(MessageId::WriteError), 1, 0},
    {"WriteFailedAtABlock", "at 1 1 status 3\n", FailedWith(MessageId::WriteError), 3, 1},
    {"WriteFailedAtAResend", "at 1 1 bad-checksum\nat 1 2 status 3\n", FailedWith(MessageId::WriteError), 4, 1},
    {"MismatchAtTheHeader", "at header 1 status 4\n", FailedWith(MessageId::ProductMismatch), 1, 0},
    {"AnotherProduct", "product ABCDEFGX\n", FailedWith(MessageId::ProductMismatch), 1, 0},
    {"AdapterFailureAtTheHeader", "at header 1 read-error\n", FailedWith(MessageId::NoProduct), 1, 0},
    {"AdapterFailureAtBlock0", "at 0 1 no-reply\n", FailedWith(MessageId::NoProduct), 2, 0},
    {"AdapterFailureAtTheMiddleBlock", "at 1 1 write-error\n", FailedWith(MessageId::NoProduct), 3, 1},
    {"AdapterFailureAtTheLastBlock", "unplug 2\n", FailedWith(MessageId::NoProduct), 4, 2},
    {"AdapterFailureAtAResend", "at 2 1 status 5\nat 2 2 read-error\n", FailedWith(MessageId::NoProduct), 5, 2},
};

}  // namespace

class TransferRetries : public ImageTransfer, public testing::WithParamInterface<RetryCase> {};

// However a block is rejected, it goes out again until it is taken, the
// bound is reached or the product or adapter fails; each ending shows its
// message once, frees the update file and brings WRITE back, and the
// progress bar stays at the blocks taken.
TEST_P(TransferRetries, EndAsTheProductAndAdapterDecide)
{
    const RetryCase& retry = GetParam();
    Start(retry.scenario);
    std::vector<std::uint8_t> payload(600);
    std::ranges::generate(payload, [n = 0]() mutable { return static_cast<std::uint8_t>(n++ * 7); });
    WriteUpdateFile("image.bin", NameOf("ABCDEFGH"), payload);

    EXPECT_EQ(Run(), retry.result);
    EXPECT_EQ(Writes().size(), retry.sendings);
    EXPECT_EQ(std::ranges::count(m_view.events, "progress step it"), retry.blocksTaken);
    EXPECT_EQ(std::ranges::count(m_view.events, "progress range 0..3"), retry.sendings > 1 ? 1 : 0)
        << "the bar is untouched until the header is taken";
    const Events ending = retry.result == kSucceeded ? kSuccessEnding
                                                     : FailureEnding(retry.result.message);
    ASSERT_GE(m_view.events.size(), ending.size());
    EXPECT_EQ(Events(m_view.events.end() - static_cast<std::ptrdiff_t>(ending.size()), m_view.events.end()),
              ending);
    EXPECT_EQ(std::ranges::count_if(m_view.events, [](const std::string& e) { return e.starts_with("box "); }), 2)
        << "the question and one closing box";
    EXPECT_FALSE(SearchRefusal().has_value()) << "the update file was left open";
    if (retry.result == kSucceeded) {
        payload.resize(3 * 256, 0xFF);
        EXPECT_EQ(ReadFileBytes(m_session->ImagePath()), payload);
    }
}

INSTANTIATE_TEST_SUITE_P(Endings, TransferRetries, testing::ValuesIn(kRetryCases), ParamName<RetryCase>);
