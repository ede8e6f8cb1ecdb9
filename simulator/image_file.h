// The image that the product has accepted, kept in a file that a test can
// compare byte for byte. Every change reaches the file at once, so that it
// is complete even when the process is killed later.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <span>

class ImageFile {
public:
    static constexpr std::size_t kBlockSize = 256;

    // Removes an image that an earlier process left, so that the file holds
    // only what this process's product accepted. With an empty path, or one
    // that cannot be written, nothing is kept.
    explicit ImageFile(std::filesystem::path path);

    // A new image of `blockCount` blocks of 0xFF in place of the old one.
    void Start(std::uint16_t blockCount);
    void Store(std::uint16_t blockNumber, std::span<const std::uint8_t, kBlockSize> block);

private:
    std::filesystem::path m_path;
    std::ofstream m_file;
};
