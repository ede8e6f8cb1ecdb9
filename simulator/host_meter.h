// The simulator lives inside the program that loads it, so it can measure
// its host from within, where Wine answers such questions about a process:
// open handles, GDI and USER objects, private bytes. A soak test asks for a
// measurement after each of its presses and reads the answer from a file.
// One implementation file per platform.
#pragma once

#include <filesystem>

// With `file` set, starts a thread of the library's own that answers each
// signal of the event "d2xx-sim-meter-ask-PID" by writing one line of names
// and values to `file` and then signalling the event
// "d2xx-sim-meter-done-PID" (PID: the host process's id): "handles N
// table-handles N gdi N user N windows N private-bytes N". Where the
// platform's own count answers 0 under Wine, a count that Wine keeps stands
// beside it: the handles in the system's handle table, the host's windows.
// Nothing without `file`.
void StartHostMeter(const std::filesystem::path& file);
