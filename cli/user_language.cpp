#include "cli/user_language.h"

#include "messages/catalogue.h"

#include <optional>
#include <string_view>

namespace {

bool IsCLocale(std::string_view locale)
{
    return locale == "C" || locale == "POSIX" || locale.starts_with("C.");
}

}  // namespace

Language LanguageOfEnvironment(const std::function<const char*(const char*)>& variable)
{
    std::string_view locale;
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = variable(name);
        if (value != nullptr && *value != '\0') {
            locale = value;
            break;
        }
    }
    if (locale.empty() || IsCLocale(locale))
        return Language::English;

    const char* languages = variable("LANGUAGE");
    std::string_view list = languages != nullptr ? languages : "";
    while (!list.empty()) {
        const std::size_t colon = list.find(':');
        if (const std::optional<Language> language = LanguageOfLocaleCode(list.substr(0, colon)))
            return *language;
        list = colon == std::string_view::npos ? std::string_view() : list.substr(colon + 1);
    }
    return LanguageOfLocaleCode(locale).value_or(Language::English);
}
