// The counters behind interruption.h, shared by the platform's handlers.
// Lock-free atomics only, so that a signal handler may call these.
#pragma once

// True when a product is being written.
bool IsWriting();
// Counts an interruption that came while writing; returns how many came.
int CountInterruption();
