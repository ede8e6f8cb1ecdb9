// The whole transfer against the simulated adapter and product, seen through
// a recording view. Every test runs in a process of its own.
#include "adapter/Kestro2.h"
#include "tests/support/simulator_session.h"
#include "tests/support/working_folder.h"
#include "tests/update/recording_view.h"
#include "tests/update/update_folder.h"
#include "update/ImageTransfer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <new>
#include <optional>
#include <string>
#include <vector>

namespace {

using Events = std::vector<std::string>;

const Events kConfirmed = {
    "box question 102 after \"ABCDEFGH\"",
    "busy",
    "button off",
    "status 103",
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

Events FailureEnding(int message)
{
    return {"box failure " + std::to_string(message), "failed state (file closed)", "not busy"};
}

const Events kSuccessEnding = {"status 104", "box success 104", "button on (file closed)", "not busy"};

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
    Kestro2 m_adapter;
    RecordingView m_view;
};

}  // namespace

// Message 109 and nothing else: no busy state, no status, the button as it was.
TEST_F(ImageTransfer, WithoutAnUpdateFileSaysSoAndChangesNothing)
{
    Start();
    Run();
    EXPECT_EQ(m_view.events, Events{"box file problem 109"});
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
    EXPECT_EQ(m_view.events, (Events{"box file problem 113", "box file problem 114"}));
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
        EXPECT_EQ(m_view.events, Events{"box question 102 after \"ABCDEFGH\""}) << answer;
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
    EXPECT_EQ(m_view.events, Concat({kConfirmed, FailureEnding(106)}));
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
    EXPECT_EQ(Events(m_view.events.end() - 3, m_view.events.end()), FailureEnding(108));
    EXPECT_EQ(Writes().size(), 2u) << "the header and block 0, then nothing";
}
