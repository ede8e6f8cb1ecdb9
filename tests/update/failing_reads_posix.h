// Makes the reads of an open file fail, as a failing disk would: the
// descriptor through which this process holds the file is swapped for one of
// a directory, whose reads fail with EISDIR.
#pragma once

#include <filesystem>

// False when this process does not hold `path` open.
bool MakeReadsFail(const std::filesystem::path& path);
