#include "d2xx_module.h"

#include <windows.h>

D2xxModule LoadD2xxModule()
{
    return LoadLibraryW(L"Ftd2xx.dll");
}

D2xxProc FindD2xxEntry(D2xxModule module, const char* name)
{
    // FARPROC and the generic void(*)() are both plain function pointers.
    return reinterpret_cast<D2xxProc>(GetProcAddress(static_cast<HMODULE>(module), name));
}
