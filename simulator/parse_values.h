// How the scenario file and the update file tool read the values they are
// given: numbers and product names.
#pragma once

#include "product.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Decimal, or hexadecimal after "0x".
std::optional<std::uint32_t> ParseNumber(const std::string& word);

// What ParseProductName takes, for messages about names that it refused.
inline constexpr std::string_view kProductNameForm = "8 printable characters, or 0x and 16 hexadecimal digits";

// Exactly 8 printable ASCII characters, or "0x" and 16 hexadecimal digits for
// a name that holds other bytes. The two forms differ in length, so a name
// of 8 characters that begins with "0x" is read as text.
std::optional<SimulatedProduct::Name> ParseProductName(const std::string& word);
