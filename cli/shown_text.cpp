#include "cli/shown_text.h"

#include "update/control_byte.h"

#include <cstdint>

std::string Utf8FromLatin1(std::wstring_view text)
{
    std::string utf8;
    for (const wchar_t character : text) {
        const auto value = static_cast<unsigned>(character) & 0xFF;
        if (value < 0x80) {
            utf8.push_back(static_cast<char>(value));
        } else {
            utf8.push_back(static_cast<char>(0xC0 | value >> 6));
            utf8.push_back(static_cast<char>(0x80 | (value & 0x3F)));
        }
    }
    return utf8;
}

std::string ShownListedText(std::string_view listed)
{
    std::string shown(listed);
    for (char& c : shown) {
        if (IsControlByte(static_cast<std::uint8_t>(c)))
            c = ' ';
    }
    return shown;
}
