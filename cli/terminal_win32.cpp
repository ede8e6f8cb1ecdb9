#include "cli/terminal.h"

#include <windows.h>

bool IsTerminal(StandardStream stream)
{
    // Only a console has a console mode; a file or a pipe has none.
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(stream == StandardStream::Input ? STD_INPUT_HANDLE : STD_ERROR_HANDLE),
                          &mode) != 0;
}

bool PrepareTerminal()
{
    SetConsoleOutputCP(CP_UTF8);
    // Consoles before Windows 10 do not know the cursor control sequences.
    const HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
    DWORD mode = 0;
    return GetConsoleMode(error, &mode) != 0 && SetConsoleMode(error, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
}
