// The tool that makes update files, run in a working folder of its own.
#include "simulator/update_file_maker.h"
#include "tests/support/file_bytes.h"
#include "tests/support/working_folder.h"
#include "update/header_keystream.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

const ProductName kName = {'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H'};

// The pattern as the tool's documentation gives it.
std::vector<std::uint8_t> Pattern(std::size_t size, std::uint32_t seed)
{
    std::vector<std::uint8_t> bytes;
    for (std::uint32_t state = seed; bytes.size() < size;) {
        state = state * 1664525u + 1013904223u;
        bytes.push_back(static_cast<std::uint8_t>(state >> 24));
    }
    return bytes;
}

std::set<std::string> FilesIn(const std::filesystem::path& folder)
{
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

}  // namespace

TEST(MakeUpdateFile, WritesTheScrambledNameAndThePayload)
{
    WorkingFolder folder;
    std::vector<std::uint8_t> firmware(300);
    std::ranges::generate(firmware, [byte = 0]() mutable { return static_cast<std::uint8_t>(byte++ * 7); });
    std::ofstream("firmware.bin", std::ios::binary)
        .write(reinterpret_cast<const char*>(firmware.data()), static_cast<std::streamsize>(firmware.size()));

    const struct {
        std::vector<std::string> arguments;
        ProductName name;
        std::vector<std::uint8_t> payload;
    } cases[] = {
        {{"made.bin", "ABCDEFGH", "--size", "600", "--seed", "7"}, kName, Pattern(600, 7)},
        {{"made.bin", "ABCDEFGH", "--size", "0x101"}, kName, Pattern(257, 1)},
        {{"made.bin", "ABCDEFGH", "--size", "0"}, kName, {}},
        {{"made.bin", "0x00FF7F80E9FEFF01", "--payload", "firmware.bin"},
         {0x00, 0xFF, 0x7F, 0x80, 0xE9, 0xFE, 0xFF, 0x01},
         firmware},
    };
    for (const auto& c : cases) {
        std::ostringstream out;
        std::ostringstream errors;
        ASSERT_EQ(MakeUpdateFile(c.arguments, out, errors), kMadeUpdateFile) << errors.str();
        EXPECT_EQ(errors.str(), "");

        const std::vector<std::uint8_t> made = ReadFileBytes("made.bin");
        ASSERT_EQ(made.size(), kProductNameSize + c.payload.size()) << c.arguments[3];
        ScrambledHeader header{};
        std::copy_n(made.begin(), header.size(), header.begin());
        EXPECT_EQ(DescrambleHeader(header), c.name) << c.arguments[3];
        EXPECT_TRUE(std::ranges::equal(made.begin() + kProductNameSize, made.end(), c.payload.begin(),
                                       c.payload.end()))
            << c.arguments[3];
    }
    EXPECT_EQ(FilesIn(folder.Path()), (std::set<std::string>{"firmware.bin", "made.bin"}));
}

// Nothing is written, and an existing OUTPUT keeps what it held.
TEST(MakeUpdateFile, RefusesWithAMessageAndLeavesOutputAlone)
{
    WorkingFolder folder;
    std::ofstream("old.bin") << "old";
    const struct {
        std::vector<std::string> arguments;
        int exitCode;
        const char* message;
    } cases[] = {
        {{"old.bin"}, kBadArguments, "OUTPUT and NAME are needed"},
        {{"old.bin", "ABCDEFG", "--size", "1"}, kBadArguments,
         "not a product name (8 printable characters, or 0x and 16 hexadecimal digits): ABCDEFG"},
        {{"old.bin", "ABCDEFGH"}, kBadArguments, "give either --size or --payload"},
        {{"old.bin", "ABCDEFGH", "--size", "1", "--payload", "old.bin"}, kBadArguments,
         "give either --size or --payload"},
        {{"old.bin", "ABCDEFGH", "--size", "1", "--size", "2"}, kBadArguments, "--size given twice"},
        {{"old.bin", "ABCDEFGH", "--size"}, kBadArguments, "--size needs a value"},
        {{"old.bin", "ABCDEFGH", "--size", "-1"}, kBadArguments, "not a number of bytes: -1"},
        {{"old.bin", "ABCDEFGH", "--size", "16777217"}, kBadArguments,
         "--size 16777217 is more than 16777216 bytes"},
        {{"old.bin", "ABCDEFGH", "--size", "1", "--seed", "x"}, kBadArguments, "not a seed (0 to 4294967295): x"},
        {{"old.bin", "ABCDEFGH", "--payload", "old.bin", "--seed", "2"}, kBadArguments,
         "--seed goes with --size only"},
        {{"old.bin", "ABCDEFGH", "--colour", "red"}, kBadArguments, "unknown option: --colour"},
        {{"old.bin", "ABCDEFGH", "--payload", "missing.bin"}, kCannotWriteUpdateFile, "cannot read missing.bin"},
        {{"old.bin", "ABCDEFGH", "--payload", "."}, kCannotWriteUpdateFile, "cannot read ."},
        {{"missing/new.bin", "ABCDEFGH", "--size", "1"}, kCannotWriteUpdateFile, "cannot write missing/new.bin"},
    };
    for (const auto& c : cases) {
        std::ostringstream out;
        std::ostringstream errors;
        EXPECT_EQ(MakeUpdateFile(c.arguments, out, errors), c.exitCode) << c.message;
        EXPECT_EQ(errors.str().rfind("make-update-file: " + std::string(c.message) + "\n", 0), 0u) << errors.str();
        EXPECT_EQ(out.str(), "") << c.message;
    }
    EXPECT_EQ(FilesIn(folder.Path()), std::set<std::string>{"old.bin"});
    EXPECT_EQ(ReadFileBytes("old.bin"), (std::vector<std::uint8_t>{'o', 'l', 'd'}));
}
