// What the program needs of its standard streams and its terminal. One
// implementation file per platform.
#pragma once

#include <string_view>

enum class StandardStream { Input, Output, Error };

bool IsTerminal(StandardStream stream);

// Prepares the terminal on standard error for moving the cursor back over
// the progress lines; false when the cursor cannot be moved.
bool PrepareTerminal();

// Writes UTF-8 `text` to standard output or standard error, whole, and
// flushes it. A console shows it in its characters, whatever its code page;
// a file or a pipe gets the UTF-8 bytes.
void WriteToStream(StandardStream stream, std::string_view text);
