#include "adapter/library_search.h"

// dlopen searches a bare name in LD_LIBRARY_PATH, the program's run path and
// the system folders, never in the working folder.
void RemoveWorkingFolderFromLibrarySearch() {}
