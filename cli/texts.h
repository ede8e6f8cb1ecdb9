// update-cli's words: the catalogue's texts in the user's language, for the
// configuration whose adapters are written. JSON lines carry the English
// ones, so that scripts never depend on the language.
#pragma once

#include "adapter/configuration.h"
#include "messages/catalogue.h"

#include <initializer_list>
#include <string>
#include <string_view>

class Texts {
public:
    Texts(Language language, Configuration configuration) : m_language(language), m_configuration(configuration) {}

    std::string_view operator()(MessageId message) const
    {
        return MessageText(message, m_language, m_configuration);
    }
    // The text with its numbered blanks filled with `values`.
    std::string operator()(MessageId message, std::initializer_list<std::string_view> values) const
    {
        return FillIn((*this)(message), values);
    }
    std::string_view English(MessageId message) const
    {
        return MessageText(message, Language::English, m_configuration);
    }

private:
    Language m_language;
    Configuration m_configuration;
};
