// Ctrl-C and SIGTERM (on Windows, the console's control events). Before and
// after a write they end the program at once. While a product is being
// written they do not: the first says that a second one abandons the
// update, the second asks every transfer to stop after its current
// exchange. The handlers only touch atomic counters and write to standard
// error, which is safe in a signal handler.
#pragma once

#include "cli/texts.h"

// Installs the handlers, whose notices speak in the language of `texts`;
// once, before anything is written.
void InstallInterruptionHandlers(const Texts& texts);

// Brackets the writing of one product; transfers on several threads nest.
void BeginWriting();
void EndWriting();

// The user has asked twice, while writing, to stop.
bool AbandonRequested();
