// The counters behind interruption.h, shared by the platform's handlers.
// Lock-free atomics only, so that a signal handler may call these.
#pragma once

#include "cli/texts.h"

#include <string_view>

// True when a product is being written.
bool IsWriting();
// Counts an interruption that came while writing; returns how many came.
int CountInterruption();

// What the first and the second interruption say on standard error, each on
// a line of its own; chosen once, before the handlers are installed. Empty
// for any later one.
void ChooseInterruptionNotices(const Texts& texts);
std::string_view InterruptionNotice(int count);
