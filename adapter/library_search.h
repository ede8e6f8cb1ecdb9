// Where the program's libraries may come from. The driver library is loaded
// by its bare name; a file of that name in the working folder, beside an
// update file, must never be the one loaded. Every program of the project
// calls this first thing, before anything loads a library.
#pragma once

// Windows: libraries come from the program's own folder and the system
// folder only (SetDefaultDllDirectories, looked up at run time). Where the
// loader lacks it (Windows Vista, and 7 without its loader update), the
// working folder is taken out of the usual search order instead
// (SetDllDirectoryW with an empty folder). Elsewhere nothing is needed: the
// loader never searches the working folder for a bare name.
void RemoveWorkingFolderFromLibrarySearch();
