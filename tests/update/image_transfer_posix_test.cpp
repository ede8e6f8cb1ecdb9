// The transfer when the update file cannot be read on: a failing disk.
#include "adapter/Kestro2.h"
#include "tests/support/simulator_session.h"
#include "tests/support/working_folder.h"
#include "tests/update/failing_reads_posix.h"
#include "tests/update/recording_view.h"
#include "tests/update/update_folder.h"
#include "update/ImageTransfer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// The first block goes out; reading the second fails: message 115, the file
// closed, the button back, and nothing more sent.
TEST(ImageTransferPosix, AFailingReadOfTheUpdateFileEndsTheTransfer)
{
    WorkingFolder folder;
    SimulatorSession session;
    Kestro2 adapter;
    adapter.Initialize();
    adapter.Open();
    WriteUpdateFile("image.bin", NameOf("ABCDEFGH"), std::vector<std::uint8_t>(600, 0x11));

    RecordingView view;
    view.onStep = [] { ASSERT_TRUE(MakeReadsFail("image.bin")); };
    RunImageTransfer(adapter, view);

    const std::vector<std::string> ending = {"box failure 115", "failed state (file closed)", "not busy"};
    ASSERT_GE(view.events.size(), ending.size());
    EXPECT_EQ(std::vector<std::string>(view.events.end() - 3, view.events.end()), ending);
    EXPECT_EQ(std::count(view.events.begin(), view.events.end(), "progress step it"), 1);

    // The header and block 0: two writes.
    const std::vector<std::string> calls = session.Calls();
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "FT_Write device0 269 -> 0"), 2);
}
