// The product name: the 8 descrambled header bytes of an update file. It opens
// every packet as raw bytes and is shown to the user in the confirmation.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

inline constexpr std::size_t kProductNameSize = 8;

using ProductName = std::array<std::uint8_t, kProductNameSize>;
