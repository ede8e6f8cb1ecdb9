// The update file where this platform differs from Windows: entries that are
// not plain files, and reads that fail.
#include "tests/support/update_folder.h"
#include "tests/support/working_folder.h"
#include "tests/update/failing_reads_posix.h"
#include "update/update_image.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <vector>

#include <sys/stat.h>

class UpdateFilePosix : public testing::Test {
protected:
    WorkingFolder m_folder;
};

// Opening a FIFO for reading would wait for a writer that never comes.
TEST_F(UpdateFilePosix, RefusesAFifoWithoutWaiting)
{
    ASSERT_EQ(mkfifo("pipe.bin", 0600), 0);
    EXPECT_EQ(SearchRefusal(), UpdateFileRefusal::NoUsableFile);
}

TEST_F(UpdateFilePosix, RefusesALinkToNowhere)
{
    std::filesystem::create_symlink("missing", "image.bin");
    EXPECT_EQ(SearchRefusal(), UpdateFileRefusal::NoUsableFile);
}

TEST_F(UpdateFilePosix, AFailingReadRaisesUpdateFileError)
{
    WriteUpdateFile("image.bin", NameOf("ABCDEFGH"), std::vector<std::uint8_t>(600, 0x11));
    UpdateImage image = OpenImage();
    std::array<std::uint8_t, 256> block;
    image.ReadNextBlock(block);

    ASSERT_TRUE(MakeReadsFail("image.bin"));
    EXPECT_THROW(image.ReadNextBlock(block), UpdateFileError);
}

// Nothing here keeps a writer from growing the file between the opening and
// the reading: the image read into memory must not be other than the one
// counted.
TEST_F(UpdateFilePosix, AFileThatGrewIsNotReadIntoMemory)
{
    WriteUpdateFile("image.bin", NameOf("ABCDEFGH"), std::vector<std::uint8_t>(600, 0x11));
    UpdateImageOrRefusal opened = UpdateImage::Open("image.bin");
    ASSERT_TRUE(opened.HasImage());
    std::filesystem::resize_file("image.bin", 8 + 700);
    EXPECT_THROW(opened.Image().ReadPayloadIntoMemory(), UpdateFileError);
}
