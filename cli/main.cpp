// update-cli: the update engine of the window program, for technicians and
// their scripts, with stable exit codes.
#include "adapter/library_search.h"
#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/console.h"
#include "cli/interruption.h"
#include "cli/terminal.h"

#include <variant>

namespace {

constexpr char kNoOneToAsk[] =
    "update-cli: standard input is not a terminal to ask on; nothing was sent. Give --yes to write without asking.\n";

ExitCode Run(const Options& options, Console& console)
{
    switch (options.command) {
    case Command::List:
        return ListAdapters(console);
    case Command::Info:
        return DescribeUpdateFile(*options.file, console);
    case Command::Write:
        break;
    }
    if (!options.yes && !IsTerminal(StandardStream::Input)) {
        console.Error(kNoOneToAsk);
        return ExitCode::Usage;
    }
    return WriteUpdate(options, console);
}

}  // namespace

int main(int argc, char* argv[])
{
    RemoveWorkingFolderFromLibrarySearch();
    InstallInterruptionHandlers();
    Console console;
    const std::variant<Options, EarlyExit> parsed = ParseCommandLine(argc, argv);
    if (const EarlyExit* early = std::get_if<EarlyExit>(&parsed)) {
        console.Out(early->output);
        console.Error(early->error);
        return static_cast<int>(early->code);
    }
    return static_cast<int>(Run(std::get<Options>(parsed), console));
}
