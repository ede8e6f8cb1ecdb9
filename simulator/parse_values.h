// How the scenario file and the update file tool read the values they are
// given: numbers, bytes spelled in hexadecimal and product names.
#pragma once

#include "product.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// "0x" or "0X" and at least one more character.
bool HasHexPrefix(const std::string& word);

// Decimal, or hexadecimal after "0x".
std::optional<std::uint32_t> ParseNumber(const std::string& word);

// "0x" and pairs of hexadecimal digits: the bytes they spell, at least one.
std::optional<std::string> ParseHexBytes(const std::string& word);

// What ParseProductName takes, for messages about names that it refused.
inline constexpr std::string_view kProductNameForm = "8 printable characters, or 0x and 16 hexadecimal digits";

// Exactly 8 printable ASCII characters, or "0x" and 16 hexadecimal digits for
// a name that holds other bytes. The two forms differ in length, so a name
// of 8 characters that begins with "0x" is read as text.
std::optional<SimulatedProduct::Name> ParseProductName(const std::string& word);
