// Makes update files for tests and demonstrations: the product name
// scrambled into the 8-byte header, then the payload as it is.
//
//   make-update-file OUTPUT NAME (--size BYTES | --payload FILE) [--seed N]
//
// The payload is a copy of FILE, or BYTES bytes of a pattern that a test can
// recompute: byte i is the high byte of a 32-bit linear congruential
// generator (state × 1664525 + 1013904223) after i + 1 steps from the seed,
// 1 unless --seed gives another.
#pragma once

#include <ostream>
#include <string>
#include <vector>

// Exit codes of the tool.
inline constexpr int kMadeUpdateFile = 0;
inline constexpr int kCannotWriteUpdateFile = 1;  // a file could not be read or written
inline constexpr int kBadArguments = 2;

// Runs the tool with its command line arguments (without the program's
// name); reports on `out` what it made and on `errors` what went wrong.
// OUTPUT is replaced only by a complete file.
int MakeUpdateFile(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& errors);
