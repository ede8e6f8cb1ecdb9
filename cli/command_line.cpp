#include "cli/command_line.h"

#include "adapter/configuration.h"
#include "update_version.h"

#include <CLI/CLI.hpp>

#include <sstream>

std::variant<Options, EarlyExit> ParseCommandLine(int argc, const char* const* argv)
{
    Options options;
    std::uint32_t lineRate = kCurrentLineRate;

    CLI::App app("Writes an update file into a product through a Kestro adapter.", "update-cli");
    app.set_version_flag("--version", std::string("update-cli ") + UPDATE_VERSION_TEXT);
    app.require_subcommand(1);

    CLI::App* list = app.add_subcommand("list", "Lists the connected adapters: index, serial number, description.");
    list->parse_complete_callback([&options] { options.command = Command::List; });

    CLI::App* info = app.add_subcommand("info", "Describes an update file: product, size, blocks, time to write.");
    info->add_option("FILE", options.file, "The update file")->required();
    info->parse_complete_callback([&options] { options.command = Command::Info; });

    CLI::App* write = app.add_subcommand("write", "Writes an update file into the product behind an adapter.");
    write->add_option("FILE", options.file, "The update file (default: the first *.bin of the working folder)");
    CLI::Option* serial = write->add_option("--adapter", options.serialNumber, "The adapter with this serial number");
    CLI::Option* index = write->add_option("--index", options.index, "The adapter listed at this index (default 0)");
    CLI::Option* all = write->add_flag("--all", options.all, "Every listed adapter at once, each on its own");
    CLI::Option* port = write->add_option("--port", options.ports,
                                          "The system's serial port to write through (a device path, or COMn on "
                                          "Windows); several write those products at once")
                            ->expected(1)
                            ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    serial->excludes(index, all, port);
    index->excludes(all, port);
    all->excludes(port);
    write->add_option("--rate", lineRate, "The serial line rate in bit/s (default 100000)")
        ->check(CLI::IsMember({kCurrentLineRate, kFirstGenerationLineRate}));
    write->add_option("--latency-timer", options.latencyTimerMs,
                      "Ask the adapter to pass on what it receives after at most MS ms (1 to 255; the driver's own, "
                      "16 ms, without it): each block goes faster; write a product that then fails without it")
        ->check(CLI::Range(1u, 255u));
    write->add_flag("--yes", options.yes, "Write without asking");
    write->add_flag("--json", options.json, "Standard output carries only JSON lines");
    write->parse_complete_callback([&options, &lineRate] {
        options.command = Command::Write;
        options.configuration = *ConfigurationAtLineRate(lineRate);
    });

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        std::ostringstream output;
        std::ostringstream errors;
        const bool usageError = app.exit(error, output, errors) != 0;
        return EarlyExit{usageError ? ExitCode::Usage : ExitCode::Succeeded, output.str(), errors.str()};
    }
    return options;
}
