#include "cli/terminal.h"

#include <unistd.h>

bool IsTerminal(StandardStream stream)
{
    return isatty(stream == StandardStream::Input ? STDIN_FILENO : STDERR_FILENO) != 0;
}

bool PrepareTerminal()
{
    // Terminals here take UTF-8 and the cursor control sequences as they are.
    return true;
}
