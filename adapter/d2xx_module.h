// Finding the D2XX driver library and its entry points: the one place where
// the binding touches the platform (one implementation file per platform).
#pragma once

using D2xxModule = void*;
using D2xxProc = void (*)();

// Loads the driver library by its bare file name, so that the platform's
// usual search order applies. Null when it cannot be loaded.
D2xxModule LoadD2xxModule();

// The address of the named entry point, or null when the library lacks it.
D2xxProc FindD2xxEntry(D2xxModule module, const char* name);
