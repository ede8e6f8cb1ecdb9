// The serial line rates of the two adapter generations, in bit/s. The
// program that opens an adapter chooses one.
#pragma once

#include <cstdint>

inline constexpr std::uint32_t kCurrentLineRate = 100000;
inline constexpr std::uint32_t kFirstGenerationLineRate = 9600;
