#include "parse_values.h"

#include <charconv>

namespace {

constexpr std::string_view kHexPrefix = "0x";

bool HasHexPrefix(const std::string& word)
{
    return word.size() > 2 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X');
}

bool IsPrintableAscii(char c)
{
    return c >= 0x20 && c <= 0x7E;
}

}  // namespace

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
    if (word.size() != kHexPrefix.size() + 2 * name.size() || !HasHexPrefix(word))
        return std::nullopt;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const char* first = word.data() + kHexPrefix.size() + 2 * i;
        const auto [end, error] = std::from_chars(first, first + 2, name[i], 16);
        if (error != std::errc() || end != first + 2)
            return std::nullopt;
    }
    return name;
}
