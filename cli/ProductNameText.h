// The product name as update-cli writes it: the window program's text of it
// (each byte the character of the same value) in UTF-8.
#pragma once

#include <string>
#include <string_view>

std::string Utf8FromLatin1(std::wstring_view text);
