// Folders of the system's temporary folder, one per running test.
#pragma once

#include <filesystem>
#include <string_view>

// Named after the running test, so that tests running side by side keep
// apart. Neither made nor removed here.
std::filesystem::path FolderForCurrentTest(std::string_view prefix);
