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

Events ProgressFor(int blocks)
{
    Events events = {"progress range 0.." + std::to_string(blocks), "progress position 0", "progress step 1"};
    for (int block = 0; block < blocks; ++block) {
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

    void Run() { RunImageTransfer(m_adapter, m_view); }

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
    m_view.confirm = false;
    Run();
    EXPECT_EQ(m_view.events, Events{"box question 102 after \"ABCDEFGH\""});
    EXPECT_TRUE(CallsAfterStart().empty());
    EXPECT_FALSE(SearchRefusal().has_value()) << "the update file was left open";
}

TEST_F(ImageTransfer, SendsTheHeaderAndEveryBlock)
{
    Start();
    WriteUpdateFile("image.bin", NameOf("ABCDEFGH"), std::vector<std::uint8_t>(300, 0x11));
    Run();
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
