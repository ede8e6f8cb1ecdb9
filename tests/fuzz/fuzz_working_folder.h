// Every fuzz target works in a folder of its process's own, which becomes the
// working directory (so the fuzzer must be given absolute paths) and is
// removed when the process ends.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

#include <unistd.h>

inline std::filesystem::path& FuzzWorkingFolder()
{
    static std::filesystem::path folder;
    return folder;
}

inline void EnterFuzzWorkingFolder(std::string_view target)
{
    FuzzWorkingFolder() =
        std::filesystem::temp_directory_path() / (std::string(target) + "-fuzzer-" + std::to_string(getpid()));
    std::filesystem::create_directories(FuzzWorkingFolder());
    std::filesystem::current_path(FuzzWorkingFolder());
    std::atexit([] {
        std::error_code ignored;
        std::filesystem::remove_all(FuzzWorkingFolder(), ignored);
    });
}
