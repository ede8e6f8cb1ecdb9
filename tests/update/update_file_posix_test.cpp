// The update file where this platform differs from Windows: entries that are
// not plain files, and reads that fail.
#include "tests/support/working_folder.h"
#include "tests/update/update_folder.h"
#include "update/UpdateImage.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The descriptor through which this process has `path` open, or -1.
int DescriptorOf(const std::filesystem::path& path)
{
    const std::filesystem::path target = std::filesystem::canonical(path);
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code gone;  // the iterator's own descriptor closes meanwhile
        if (std::filesystem::read_symlink(entry.path(), gone) == target)
            return std::stoi(entry.path().filename().string());
    }
    return -1;
}

}  // namespace

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

// The image's descriptor is swapped for one of a directory, whose reads fail.
TEST_F(UpdateFilePosix, AFailingReadRaisesUpdateFileError)
{
    WriteUpdateFile("image.bin", NameOf("ABCDEFGH"), std::vector<std::uint8_t>(600, 0x11));
    UpdateImage image = OpenImage();
    std::array<std::uint8_t, 256> block;
    image.ReadNextBlock(block);

    const int descriptor = DescriptorOf("image.bin");
    ASSERT_NE(descriptor, -1);
    const int directory = open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_EQ(dup2(directory, descriptor), descriptor);
    close(directory);
    EXPECT_THROW(image.ReadNextBlock(block), UpdateFileError);
}
