// The command line of update-cli: the command, its file and its options,
// parsed by CLI11, which also writes --help and --version.
#pragma once

#include "adapter/configuration.h"
#include "cli/outcome.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <variant>
#include <vector>

enum class Command { List, Info, Write };

struct Options {
    Command command = Command::Write;
    // info: the file to describe; write: the file to send, else the one the
    // window program would find in the working folder.
    std::optional<std::filesystem::path> file;
    // Which adapter to write: by serial number, by index, or every one.
    std::optional<std::string> serialNumber;
    std::uint32_t index = 0;
    bool all = false;
    // The system's serial ports to write through instead, as given.
    std::vector<std::string> ports;
    // Chosen by its line rate, --rate.
    Configuration configuration = Configuration::Current;
    // The adapter's latency timer to ask for, 1 to 255 ms; without it the
    // driver's own stays.
    std::optional<unsigned> latencyTimerMs;
    bool yes = false;
    bool json = false;
};

// The program ends without running a command: after --help or --version
// (code 0), or after a usage error (code 2), with what to print.
struct EarlyExit {
    ExitCode code;
    std::string output;  // for standard output
    std::string error;   // for standard error
};

std::variant<Options, EarlyExit> ParseCommandLine(int argc, const char* const* argv);
