// Ctrl-C and SIGTERM (on Windows, the console's control events). Before and
// after a write they end the program at once. While a product is being
// written they do not: the first says that a second one abandons the
// update, the second asks every transfer to stop after its current
// exchange. The handlers only touch atomic counters and write to standard
// error, which is safe in a signal handler.
#pragma once

// Installs the handlers; once, before anything is written.
void InstallInterruptionHandlers();

// Brackets the writing of one product; transfers on several threads nest.
void BeginWriting();
void EndWriting();

// The user has asked twice, while writing, to stop.
bool AbandonRequested();

// What the first and the second interruption say on standard error.
inline constexpr char kFirstInterruptionNotice[] =
    "\nAn update is being written. Press Ctrl-C again to abandon it; the product then needs a new update.\n";
inline constexpr char kSecondInterruptionNotice[] = "\nAbandoning the update after the current exchange.\n";
