// What a test reads back from a file that the code under test wrote.
#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

// The file's bytes; empty when it cannot be read.
std::vector<std::uint8_t> ReadFileBytes(const std::filesystem::path& path);
