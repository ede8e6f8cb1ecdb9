// Finding, opening and reading the update file. Each test works in a fresh
// working directory of its own.
#include "tests/support/param_name.h"
#include "tests/support/update_folder.h"
#include "tests/support/working_folder.h"
#include "update/update_image.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace {

const ProductName kName = NameOf("ABCDEFGH");

constexpr std::uint64_t kLargestFile = 8 + 65535ull * 256;

// Payload bytes written; beyond them a file is a sparse extension of zeros,
// so that the largest file costs nothing to make.
constexpr std::size_t kWrittenPayload = 1000;

// A payload byte that differs from its neighbours and from the 0xFF fill.
std::uint8_t PayloadByte(std::size_t offset)
{
    return static_cast<std::uint8_t>(offset * 7 % 251);
}

void WriteUpdateFileOfLength(const std::filesystem::path& path, std::uint64_t length)
{
    const std::uint64_t payloadLength = length > 8 ? length - 8 : 0;
    std::vector<std::uint8_t> payload(std::min<std::uint64_t>(payloadLength, kWrittenPayload));
    for (std::size_t i = 0; i < payload.size(); ++i)
        payload[i] = PayloadByte(i);
    WriteUpdateFile(path, kName, payload);
    std::filesystem::resize_file(path, length);
}

// Block `number` as the file above holds it, filled up with 0xFF.
std::array<std::uint8_t, 256> ExpectedBlock(std::uint64_t fileLength, std::uint64_t number)
{
    std::array<std::uint8_t, 256> block;
    block.fill(0xFF);
    for (std::uint64_t i = 0; i < block.size(); ++i) {
        const std::uint64_t offset = number * 256 + i;
        if (8 + offset < fileLength)
            block[i] = offset < kWrittenPayload ? PayloadByte(offset) : 0;
    }
    return block;
}

struct FileLength {
    const char* name;
    std::uint64_t length;
    std::uint16_t blockCount;
};

void PrintTo(const FileLength& file, std::ostream* out)
{
    *out << file.length << " bytes";
}

}  // namespace

class UpdateImageOfLength : public testing::TestWithParam<FileLength> {
protected:
    WorkingFolder m_folder;
};

// The payload reaches the blocks unchanged, the last block filled up with
// 0xFF where the file ends.
TEST_P(UpdateImageOfLength, HasItsBlockCountAndReadsItsBlocks)
{
    const FileLength file = GetParam();
    WriteUpdateFileOfLength("image.bin", file.length);
    UpdateImage image = OpenImage();
    ASSERT_EQ(image.BlockCount(), file.blockCount);
    EXPECT_EQ(image.Name(), kName);

    std::array<std::uint8_t, 256> block;
    for (std::uint64_t number = 0; number < image.BlockCount(); ++number) {
        block.fill(0x00);  // the reader's own fill must show
        image.ReadNextBlock(block);
        ASSERT_EQ(block, ExpectedBlock(file.length, number)) << "block " << number;
    }
}

// Read into memory once, the payload gives every copy the same blocks, each
// copy reading from its own first block on.
TEST_P(UpdateImageOfLength, SharedCopiesReadTheSameBlocksFromMemory)
{
    const FileLength file = GetParam();
    WriteUpdateFileOfLength("image.bin", file.length);
    UpdateImage image = OpenImage();
    image.ReadPayloadIntoMemory();
    EXPECT_EQ(SearchRefusal(), std::nullopt) << "the file stayed open once its payload was in memory";
    UpdateImage first = image.SharedCopy();
    UpdateImage second = image.SharedCopy();
    ASSERT_EQ(first.BlockCount(), file.blockCount);
    EXPECT_EQ(second.Name(), kName);

    std::array<std::uint8_t, 256> block;
    for (std::uint64_t number = 0; number < file.blockCount; ++number) {
        first.ReadNextBlock(block);
        ASSERT_EQ(block, ExpectedBlock(file.length, number)) << "first copy, block " << number;
        if (number % 2 == 0) {
            second.ReadNextBlock(block);
            ASSERT_EQ(block, ExpectedBlock(file.length, number / 2)) << "second copy, block " << number / 2;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Lengths, UpdateImageOfLength,
                         testing::Values(FileLength{"HeaderOnly", 8, 0},
                                         FileLength{"OneByte", 9, 1},
                                         FileLength{"OneFullBlock", 8 + 256, 1},
                                         FileLength{"OneByteOver", 8 + 257, 2},
                                         FileLength{"Largest", kLargestFile, 65535}),
                         ParamName<FileLength>);

namespace {

struct RefusedFolder {
    const char* name;
    std::function<void()> fill;
    UpdateFileRefusal refusal;
};

void PrintTo(const RefusedFolder& folder, std::ostream* out)
{
    *out << folder.name;
}

}  // namespace

class UpdateImageRefused : public testing::TestWithParam<RefusedFolder> {
protected:
    WorkingFolder m_folder;
};

TEST_P(UpdateImageRefused, BeforeAnythingIsAsked)
{
    GetParam().fill();
    EXPECT_EQ(SearchRefusal(), GetParam().refusal);
}

INSTANTIATE_TEST_SUITE_P(
    Folders, UpdateImageRefused,
    testing::Values(RefusedFolder{"Empty", [] {}, UpdateFileRefusal::NoUsableFile},
                    RefusedFolder{"NoBinSuffix",
                                  [] {
                                      WriteUpdateFile("image.bin.txt", kName);
                                      WriteUpdateFile("bin", kName);
                                      WriteUpdateFile("image.bi", kName);
                                  },
                                  UpdateFileRefusal::NoUsableFile},
                    RefusedFolder{"Directory", [] { std::filesystem::create_directory("x.bin"); },
                                  UpdateFileRefusal::NoUsableFile},
                    RefusedFolder{"EmptyFile", [] { WriteFileBytes("image.bin", {}); },
                                  UpdateFileRefusal::ShorterThanHeader},
                    RefusedFolder{"SevenBytes",
                                  [] { WriteFileBytes("image.bin", std::vector<std::uint8_t>(7, 'A')); },
                                  UpdateFileRefusal::ShorterThanHeader},
                    RefusedFolder{"OneByteOverTheLargest",
                                  [] { WriteUpdateFileOfLength("image.bin", kLargestFile + 1); },
                                  UpdateFileRefusal::TooManyBlocks}),
    ParamName<RefusedFolder>);

namespace {

struct RefusedPath {
    const char* name;
    std::function<void()> fill;  // makes "image.bin", or leaves it out
    UpdateFileRefusal refusal;
};

void PrintTo(const RefusedPath& path, std::ostream* out)
{
    *out << path.name;
}

}  // namespace

class UpdateImageOpenedByPathRefused : public testing::TestWithParam<RefusedPath> {
protected:
    WorkingFolder m_folder;
};

TEST_P(UpdateImageOpenedByPathRefused, BeforeAnythingIsAsked)
{
    GetParam().fill();
    const UpdateImageOrRefusal opened = UpdateImage::Open("image.bin");
    ASSERT_FALSE(opened.HasImage());
    EXPECT_EQ(opened.Refusal(), GetParam().refusal);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, UpdateImageOpenedByPathRefused,
    testing::Values(RefusedPath{"Missing", [] {}, UpdateFileRefusal::NoUsableFile},
                    RefusedPath{"Directory", [] { std::filesystem::create_directory("image.bin"); },
                                UpdateFileRefusal::NoUsableFile},
                    RefusedPath{"SevenBytes",
                                [] { WriteFileBytes("image.bin", std::vector<std::uint8_t>(7, 'A')); },
                                UpdateFileRefusal::ShorterThanHeader},
                    RefusedPath{"OneByteOverTheLargest",
                                [] { WriteUpdateFileOfLength("image.bin", kLargestFile + 1); },
                                UpdateFileRefusal::TooManyBlocks}),
    ParamName<RefusedPath>);

class UpdateImageOpenedByPath : public testing::Test {
protected:
    WorkingFolder m_folder;
};

// A named file needs no ".bin" suffix, and is held for no one else as a
// file that the search found.
TEST_F(UpdateImageOpenedByPath, TakesAnyNameAndHoldsTheFile)
{
    std::filesystem::create_directory("images");
    WriteUpdateFile("images/firmware.img", kName);
    UpdateImageOrRefusal opened = UpdateImage::Open("images/firmware.img");
    ASSERT_TRUE(opened.HasImage());
    EXPECT_EQ(opened.Image().Name(), kName);
    EXPECT_FALSE(UpdateImage::Open("images/firmware.img").HasImage()) << "a second opener got the file";
}

class UpdateImageSearch : public testing::Test {
protected:
    WorkingFolder m_folder;
};

TEST_F(UpdateImageSearch, MatchesTheSuffixInAnyCase)
{
    WriteUpdateFile("Image.BiN", kName);
    EXPECT_EQ(OpenImage().Name(), kName);
}

// The file stays open, for no one else, until its image goes; meanwhile a
// search stops at it and tries none of the other files.
TEST_F(UpdateImageSearch, OpensOnlyTheFirstMatchAndHoldsItUntilTheImageGoes)
{
    const std::map<std::string, ProductName> files = {
        {"one.bin", NameOf("ONE-----")},
        {"two.bin", NameOf("TWO-----")},
        {"three.bin", NameOf("THREE---")},
    };
    for (const auto& [file, name] : files)
        WriteUpdateFile(file, name);
    WriteUpdateFile("notes.txt", NameOf("NOTES---"));
    std::string firstListed;
    for (const auto& entry : std::filesystem::directory_iterator(".")) {
        if (files.contains(entry.path().filename().string())) {
            firstListed = entry.path().filename().string();
            break;
        }
    }

    std::optional<UpdateImage> image = OpenImage();
    EXPECT_EQ(image->Name(), files.at(firstListed));
    EXPECT_EQ(SearchRefusal(), UpdateFileRefusal::NoUsableFile);

    std::optional<UpdateImage> moved(std::move(*image));
    image.reset();
    EXPECT_EQ(SearchRefusal(), UpdateFileRefusal::NoUsableFile) << "the moved-from image closed the file";
    moved.reset();
    EXPECT_EQ(SearchRefusal(), std::nullopt) << "the file stayed open after its image went";
}

namespace {

struct NameText {
    const char* name;
    ProductName bytes;
    std::wstring text;
};

void PrintTo(const NameText& name, std::ostream* out)
{
    *out << name.name;
}

}  // namespace

class UpdateImageNameText : public testing::TestWithParam<NameText> {
protected:
    WorkingFolder m_folder;
};

// One character of the same value per byte, never a code page; control bytes
// show as blanks so that the question behind the name is never cut off.
TEST_P(UpdateImageNameText, ShowsEachByteAsOneCharacter)
{
    WriteUpdateFile("image.bin", GetParam().bytes);
    const UpdateImage image = OpenImage();
    EXPECT_EQ(image.Name(), GetParam().bytes);
    EXPECT_EQ(image.NameText(), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Names, UpdateImageNameText,
    testing::Values(NameText{"Ascii", NameOf("ABCDEFGH"), L"ABCDEFGH"},
                    NameText{"Latin1", {0xE9, 'c', 'l', 'a', 'i', 'r', 0xA0, 0xFF}, L"\u00E9clair\u00A0\u00FF"},
                    NameText{"ZeroBytes", {'A', 'B', 0, 'C', 0, 0, 0, 0}, L"AB C    "},
                    NameText{"ControlBytes", {0x01, 'A', 0x09, 0x0A, 0x0D, 0x1B, 0x1F, 0x7F}, L" A      "},
                    NameText{"NextToControlBytes", {0x20, 0x7E, 0x80, 0x9F, 'x', 'y', 'z', 'w'},
                             L" ~\u0080\u009Fxyzw"}),
    ParamName<NameText>);
