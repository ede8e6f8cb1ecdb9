// The update file reader on any bytes: the file is refused only when it is
// shorter than its header, otherwise its block count and its payload, read
// back block by block, are what its length and bytes say, and nothing stays
// open once the image is gone.
#include "tests/fuzz/fuzz_check.h"
#include "tests/fuzz/fuzz_working_folder.h"
#include "update/update_image.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

std::size_t OpenDescriptors()
{
    const auto entries = std::filesystem::directory_iterator("/proc/self/fd");
    return static_cast<std::size_t>(std::distance(begin(entries), end(entries)));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    EnterFuzzWorkingFolder("update-file");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    {
        std::ofstream file("image.bin", std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    const std::size_t descriptorsBefore = OpenDescriptors();
    {
        UpdateImageOrRefusal found = UpdateImage::FindAndOpen();
        if (size < UpdateImage::kHeaderSize) {
            CHECK(!found.HasImage() && found.Refusal() == UpdateFileRefusal::ShorterThanHeader);
        } else {
            CHECK(found.HasImage());
            UpdateImage& image = found.Image();
            const std::size_t payload = size - UpdateImage::kHeaderSize;
            const std::size_t blocks = (payload + UpdateImage::kBlockSize - 1) / UpdateImage::kBlockSize;
            CHECK(image.BlockCount() == blocks);
            CHECK(image.NameText().size() == UpdateImage::kHeaderSize);
            CHECK(std::ranges::none_of(image.NameText(), [](wchar_t c) { return c < L' ' || c == 0x7F; }));

            std::vector<std::uint8_t> readBack;
            std::array<std::uint8_t, UpdateImage::kBlockSize> block{};
            for (std::size_t n = 0; n < blocks; ++n) {
                image.ReadNextBlock(block);
                readBack.insert(readBack.end(), block.begin(), block.end());
            }
            std::vector<std::uint8_t> expected(data + UpdateImage::kHeaderSize, data + size);
            expected.resize(blocks * UpdateImage::kBlockSize, 0xFF);
            CHECK(readBack == expected);
            // Held for no other opener while the image lives.
            CHECK(!UpdateImage::FindAndOpen().HasImage());
        }
    }
    CHECK(OpenDescriptors() == descriptorsBefore);
    return 0;
}
