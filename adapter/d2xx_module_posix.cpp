#include "d2xx_module.h"

#include <dlfcn.h>

D2xxModule LoadD2xxModule()
{
    return dlopen("libftd2xx.so", RTLD_NOW | RTLD_LOCAL);
}

D2xxProc FindD2xxEntry(D2xxModule module, const char* name)
{
    return reinterpret_cast<D2xxProc>(dlsym(module, name));
}
