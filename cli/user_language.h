// The language that update-cli speaks: the catalogue's language for the
// user's, English where the catalogue has none. On Linux from the locale's
// variables, on Windows the user interface language, as Update.exe's
// resources are chosen. One implementation file per platform.
#pragma once

#include "messages/message_id.h"

#include <functional>

Language UserLanguage();

// As gettext chooses: the first of LC_ALL, LC_MESSAGES and LANG that is set
// and not empty names the locale; unless that is C or POSIX, the languages
// that LANGUAGE lists (separated by colons) come before it. The first one
// the catalogue has wins. `variable` gives a variable's value, or null.
Language LanguageOfEnvironment(const std::function<const char*(const char*)>& variable);
