#include "cli/terminal.h"

#include <cstdio>

#include <unistd.h>

namespace {

int DescriptorOf(StandardStream stream)
{
    switch (stream) {
    case StandardStream::Input:
        return STDIN_FILENO;
    case StandardStream::Output:
        return STDOUT_FILENO;
    case StandardStream::Error:
        break;
    }
    return STDERR_FILENO;
}

}  // namespace

bool IsTerminal(StandardStream stream)
{
    return isatty(DescriptorOf(stream)) != 0;
}

bool PrepareTerminal()
{
    // Terminals here take UTF-8 and the cursor control sequences as they are.
    return true;
}

void WriteToStream(StandardStream stream, std::string_view text)
{
    std::FILE* file = stream == StandardStream::Output ? stdout : stderr;
    std::fwrite(text.data(), 1, text.size(), file);
    std::fflush(file);
}
