#include "Kestro2.h"

// Each configuration of the program builds this file with its own rate.
const std::uint32_t Kestro2::kLineRate = UPDATE_LINE_RATE;
