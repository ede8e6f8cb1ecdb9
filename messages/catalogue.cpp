#include "messages/catalogue.h"

#include <cstddef>
#include <iterator>
#include <vector>

namespace {

// One message's text in one language, in each configuration's order of
// kConfigurations.
struct MessageTexts {
    const char* texts[2];
};

struct LanguageCode {
    Language language;
    const char* code;
};

struct WindowsLanguage {
    Language language;
    unsigned primaryLanguage;
};

#include "messages/catalogue_texts.inc"

static_assert(std::size(kConfigurations) == std::size(MessageTexts{}.texts));

std::size_t IndexOf(Configuration configuration)
{
    std::size_t index = 0;
    while (index + 1 < std::size(kConfigurations) && kConfigurations[index] != configuration)
        ++index;
    return index;
}

// The language part of a locale name: "ja" of "ja_JP.UTF-8@euro".
std::string_view LanguagePart(std::string_view locale)
{
    return locale.substr(0, locale.find_first_of("_.@"));
}

}  // namespace

std::string_view MessageText(MessageId message, Language language, Configuration configuration)
{
    return kTexts[static_cast<std::size_t>(language)][static_cast<std::size_t>(message)].texts[IndexOf(configuration)];
}

std::string_view MessageName(MessageId message)
{
    return kMessageNames[static_cast<std::size_t>(message)];
}

std::optional<Language> LanguageOfLocaleCode(std::string_view code)
{
    const std::string_view language = LanguagePart(code);
    for (const LanguageCode& known : kLocaleCodes) {
        if (language == known.code)
            return known.language;
    }
    return std::nullopt;
}

std::optional<Language> LanguageOfWindowsPrimaryLanguage(unsigned primaryLanguage)
{
    for (const WindowsLanguage& known : kWindowsLanguages) {
        if (primaryLanguage == known.primaryLanguage)
            return known.language;
    }
    return std::nullopt;
}

std::string FillIn(std::string_view text, std::initializer_list<std::string_view> values)
{
    const std::vector<std::string_view> filling(values);
    std::string filled;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool blank = text[i] == '{' && i + 2 < text.size() && text[i + 1] >= '1' && text[i + 1] <= '9' &&
                           text[i + 2] == '}';
        const std::size_t number = blank ? static_cast<std::size_t>(text[i + 1] - '1') : filling.size();
        if (number < filling.size()) {
            filled += filling[number];
            i += 2;
        } else {
            filled += text[i];
        }
    }
    return filled;
}
