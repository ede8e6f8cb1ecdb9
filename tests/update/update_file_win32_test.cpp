// The update file's exclusive open against other programs, which open files
// with the usual sharing.
#include "tests/support/update_folder.h"
#include "tests/support/working_folder.h"
#include "update/update_image.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

const ProductName kName = NameOf("ABCDEFGH");

}  // namespace

class UpdateFileWin32 : public testing::Test {
protected:
    WorkingFolder m_folder;
};

TEST_F(UpdateFileWin32, RefusesAFileThatAnotherProgramHoldsOpen)
{
    WriteUpdateFile("image.bin", kName);
    std::ifstream other("image.bin", std::ios::binary);
    ASSERT_TRUE(other.is_open());
    EXPECT_EQ(SearchRefusal(), UpdateFileRefusal::NoUsableFile);
}

TEST_F(UpdateFileWin32, NoOtherProgramOpensTheFileWhileTheImageHoldsIt)
{
    WriteUpdateFile("image.bin", kName);
    const UpdateImage image = OpenImage();
    EXPECT_FALSE(std::ifstream("image.bin", std::ios::binary).is_open());
}
