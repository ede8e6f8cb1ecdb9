// The folder that holds the simulator library itself, where its default
// scenario and trace files live. One implementation file per platform.
#pragma once

#include <filesystem>

std::filesystem::path LibraryFolder();
