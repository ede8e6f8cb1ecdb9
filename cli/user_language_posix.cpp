#include "cli/user_language.h"

#include <cstdlib>

Language UserLanguage()
{
    return LanguageOfEnvironment([](const char* name) { return std::getenv(name); });
}
