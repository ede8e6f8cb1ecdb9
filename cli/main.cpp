// update-cli: the update engine of the window program, for technicians and
// their scripts, with stable exit codes, in the user's language.
#include "adapter/library_search.h"
#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/interruption.h"
#include "cli/standard_streams.h"
#include "cli/terminal.h"
#include "cli/texts.h"
#include "cli/user_language.h"

#include <string>
#include <variant>

namespace {

ExitCode Run(const Options& options, StandardStreams& streams, const Texts& texts)
{
    switch (options.command) {
    case Command::List:
        return ListAdapters(streams, texts);
    case Command::Info:
        return DescribeUpdateFile(*options.file, streams, texts);
    case Command::Write:
        break;
    }
    if (!options.yes && !IsTerminal(StandardStream::Input)) {
        streams.Error(std::string(texts(MessageId::NoOneToAsk)) + '\n');
        return ExitCode::Usage;
    }
    return WriteUpdate(options, streams, texts);
}

}  // namespace

int main(int argc, char* argv[])
{
    RemoveWorkingFolderFromLibrarySearch();
    const Language language = UserLanguage();
    InstallInterruptionHandlers(Texts(language, Configuration::Current));
    StandardStreams streams;
    const std::variant<Options, EarlyExit> parsed = ParseCommandLine(argc, argv);
    if (const EarlyExit* early = std::get_if<EarlyExit>(&parsed)) {
        streams.Out(early->output);
        streams.Error(early->error);
        return static_cast<int>(early->code);
    }
    const Options& options = std::get<Options>(parsed);
    return static_cast<int>(Run(options, streams, Texts(language, options.configuration)));
}
