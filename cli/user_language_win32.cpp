#include "cli/user_language.h"

#include "messages/catalogue.h"

#include <windows.h>

Language UserLanguage()
{
    return LanguageOfWindowsPrimaryLanguage(PRIMARYLANGID(GetUserDefaultUILanguage())).value_or(Language::English);
}
