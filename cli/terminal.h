// What the program needs to know of its terminal. One implementation file
// per platform.
#pragma once

enum class StandardStream { Input, Error };

bool IsTerminal(StandardStream stream);

// Prepares the console for UTF-8 text and for moving the cursor back over
// the progress lines; false when the cursor cannot be moved.
bool PrepareTerminal();
