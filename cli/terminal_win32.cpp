#include "cli/terminal.h"

#include <cstdio>
#include <string>

#include <windows.h>

namespace {

HANDLE HandleOf(StandardStream stream)
{
    switch (stream) {
    case StandardStream::Input:
        return GetStdHandle(STD_INPUT_HANDLE);
    case StandardStream::Output:
        return GetStdHandle(STD_OUTPUT_HANDLE);
    case StandardStream::Error:
        break;
    }
    return GetStdHandle(STD_ERROR_HANDLE);
}

std::wstring WideFromUtf8(std::string_view text)
{
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return wide;
}

}  // namespace

bool IsTerminal(StandardStream stream)
{
    // Only a console has a console mode; a file or a pipe has none.
    DWORD mode = 0;
    return GetConsoleMode(HandleOf(stream), &mode) != 0;
}

bool PrepareTerminal()
{
    // Consoles before Windows 10 do not know the cursor control sequences.
    const HANDLE error = HandleOf(StandardStream::Error);
    DWORD mode = 0;
    return GetConsoleMode(error, &mode) != 0 && SetConsoleMode(error, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
}

void WriteToStream(StandardStream stream, std::string_view text)
{
    if (!IsTerminal(stream)) {
        std::FILE* file = stream == StandardStream::Output ? stdout : stderr;
        std::fwrite(text.data(), 1, text.size(), file);
        std::fflush(file);
        return;
    }
    // A console takes its characters, not bytes in its code page.
    const std::wstring wide = WideFromUtf8(text);
    DWORD written = 0;
    WriteConsoleW(HandleOf(stream), wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
}
