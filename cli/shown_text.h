// Texts from outside the program as update-cli writes them: the product
// name from the update file, and the serial numbers and descriptions that
// the driver lists.
#pragma once

#include <string>
#include <string_view>

// The product name: the window program's text of it (each byte the
// character of the same value, control bytes already blanks) in UTF-8.
std::string Utf8FromLatin1(std::wstring_view text);

// A serial number or description as the driver listed it, control bytes
// shown as blanks like those of the product name: whatever an adapter's
// memory holds, it cannot move the cursor, end the line or restyle the
// terminal. Other bytes go out as they are.
std::string ShownListedText(std::string_view listed);
