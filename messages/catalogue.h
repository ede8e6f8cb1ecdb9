// The message catalogue: every text of Update.exe and update-cli, in every
// language and, where the two configurations differ, in each of them. The
// texts are written in messages/<language>.toml, one file per language, and
// the build makes the ids (messages/message_id.h) and the tables from them.
#pragma once

#include "adapter/configuration.h"
#include "messages/message_id.h"

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

// The text of `message` in `language` for `configuration`, in UTF-8.
std::string_view MessageText(MessageId message, Language language, Configuration configuration);

// The id's name as the catalogue writes it, "NoProduct".
std::string_view MessageName(MessageId message);

// The language that serves a locale's language code ("ja", "de_DE"), where
// the catalogue has one.
std::optional<Language> LanguageOfLocaleCode(std::string_view code);
// The language that serves a Windows primary language id (LANG_JAPANESE),
// where the catalogue has one.
std::optional<Language> LanguageOfWindowsPrimaryLanguage(unsigned primaryLanguage);

// `text` with its numbered blanks, {1} to {9}, filled with `values` in order;
// a blank without a value stays as it is.
std::string FillIn(std::string_view text, std::initializer_list<std::string_view> values);
