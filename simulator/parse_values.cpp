#include "parse_values.h"

#include <algorithm>
#include <charconv>

namespace {

constexpr std::string_view kHexPrefix = "0x";

bool IsPrintableAscii(char c)
{
    return c >= 0x20 && c <= 0x7E;
}

}  // namespace

bool HasHexPrefix(const std::string& word)
{
    return word.size() > 2 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X');
}

std::optional<std::uint32_t> ParseNumber(const std::string& word)
{
    const bool hex = HasHexPrefix(word);
    const char* first = word.data() + (hex ? kHexPrefix.size() : 0);
    const char* last = word.data() + word.size();
    std::uint32_t value = 0;
    const auto [end, error] = std::from_chars(first, last, value, hex ? 16 : 10);
    if (error != std::errc() || end != last || first == last)
        return std::nullopt;
    return value;
}

std::optional<std::string> ParseHexBytes(const std::string& word)
{
    if (!HasHexPrefix(word) || word.size() % 2 != 0)
        return std::nullopt;
    std::string bytes;
    for (std::size_t at = kHexPrefix.size(); at < word.size(); at += 2) {
        std::uint8_t byte = 0;
        const char* first = word.data() + at;
        const auto [end, error] = std::from_chars(first, first + 2, byte, 16);
        if (error != std::errc() || end != first + 2)
            return std::nullopt;
        bytes.push_back(static_cast<char>(byte));
    }
    return bytes;
}

std::optional<SimulatedProduct::Name> ParseProductName(const std::string& word)
{
    SimulatedProduct::Name name{};
    if (word.size() == name.size()) {
        for (std::size_t i = 0; i < name.size(); ++i) {
            if (!IsPrintableAscii(word[i]))
                return std::nullopt;
            name[i] = static_cast<std::uint8_t>(word[i]);
        }
        return name;
    }
    const std::optional<std::string> bytes = ParseHexBytes(word);
    if (!bytes || bytes->size() != name.size())
        return std::nullopt;
    std::ranges::copy(*bytes, name.begin());
    return name;
}
