// The transfer when the update file cannot be read on: a failing disk.
#include "adapter/configuration.h"
#include "adapter/kestro2.h"
#include "tests/support/recording_view.h"
#include "tests/support/simulator_session.h"
#include "tests/support/update_folder.h"
#include "tests/support/working_folder.h"
#include "tests/update/failing_reads_posix.h"
#include "update/image_transfer.h"

#include "tests/support/param_name.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include <string>
#include <vector>

// The first block goes out; reading the second fails: message 115, the file
// closed, the button back, and nothing more sent.
TEST(ImageTransferPosix, AFailingReadOfTheUpdateFileEndsTheTransfer)
{
    WorkingFolder folder;
    SimulatorSession session;
    Kestro2 adapter(kCurrentLineRate);
    adapter.Initialize();
    adapter.Open();
    WriteUpdateFile("image.bin", NameOf("ABCDEFGH"), std::vector<std::uint8_t>(600, 0x11));

    RecordingView view;
    view.onStep = [] { ASSERT_TRUE(MakeReadsFail("image.bin")); };
    RunImageTransfer(adapter, view);

    const std::vector<std::string> ending = {"box failure FileReadError", "failed state (file closed)", "not busy"};
    ASSERT_GE(view.events.size(), ending.size());
    EXPECT_EQ(std::vector<std::string>(view.events.end() - 3, view.events.end()), ending);
    EXPECT_EQ(std::count(view.events.begin(), view.events.end(), "progress step it"), 1);

    // The header and block 0: two writes.
    const std::vector<std::string> calls = session.Calls();
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "FT_Write device0 269 -> 0"), 2);
}

// The image sent is the one counted at the opening: a file that shrinks or
// grows under the transfer (here, where a lock keeps only the willing out)
// ends it with message 115 at the block that shows it, before that block
// goes out.
struct FileChange {
    const char* name;
    std::size_t payload;    // bytes when the file is opened
    std::size_t changedTo;  // payload bytes once block 0 has gone out
};

void PrintTo(const FileChange& change, std::ostream* out)
{
    *out << change.name;
}

class ImageTransferFileChange : public testing::TestWithParam<FileChange> {};

TEST_P(ImageTransferFileChange, EndsWithAReadError)
{
    const FileChange change = GetParam();
    WorkingFolder folder;
    SimulatorSession session;
    Kestro2 adapter(kCurrentLineRate);
    adapter.Initialize();
    adapter.Open();
    WriteUpdateFile("image.bin", NameOf("ABCDEFGH"), std::vector<std::uint8_t>(change.payload, 0x11));

    RecordingView view;
    view.onStep = [&] { std::filesystem::resize_file("image.bin", 8 + change.changedTo); };
    EXPECT_EQ(RunImageTransfer(adapter, view),
              (TransferResult{TransferResult::Ending::Failed, MessageId::FileReadError}));

    const std::vector<std::string> ending = {"box failure FileReadError", "failed state (file closed)", "not busy"};
    EXPECT_EQ(std::vector<std::string>(view.events.end() - 3, view.events.end()), ending);
    const std::vector<std::string> calls = session.Calls();
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "FT_Write device0 269 -> 0"), 2) << "the header and block 0";
}

INSTANTIATE_TEST_SUITE_P(Changes, ImageTransferFileChange,
                         testing::Values(FileChange{"ShrinksInTheLastBlock", 300, 290},
                                         FileChange{"ShrinksToABlockEnd", 600, 256},
                                         FileChange{"GrowsInTheLastBlock", 300, 301},
                                         FileChange{"GrowsAfterAFullLastBlock", 512, 513}),
                         ParamName<FileChange>);
